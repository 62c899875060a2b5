#!/usr/bin/env bash
# Checks the guide's Ardour recipe with a real Ardour 7 (Debian's ardour
# package, not installed by the project): a MIDI track with Tarvo3 in its
# processor box before an instrument (ACE Reasonable Synth) must sound when
# the transport rolls with a factory scene loaded into Tarvo3, and stay
# silent with Tarvo3's empty grid. Headless: ardour7-lua with Ardour's dummy
# audio backend; Ardour's caches and settings go to a scratch folder.
#
# Usage: scripts/ardour-recipe-check.sh [SCENE]   (default "First Light")
#   needs build/linux/Tarvo3.so and build/linux/Scenes (scripts/build.sh linux;
#   TARVO_LINUX_DIR names another build folder)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
scene="${1:-First Light}"
linux="${TARVO_LINUX_DIR:-$root/build/linux}"
command -v ardour7-lua >/dev/null || { echo "ardour-recipe-check: ardour7-lua missing (apt-get install ardour)" >&2; exit 77; }
fxp="$linux/Scenes/$scene.fxp"
[ -f "$fxp" ] || { echo "ardour-recipe-check: $fxp missing (build the factory_scenes target)" >&2; exit 1; }

work="$(mktemp -d /tmp/tarvo-ardour.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/vst/Tarvo3"
cp "$linux/Tarvo3.so" "$work/vst/Tarvo3/"
# Ardour trusts a scan only when its cache file is newer than the module, to
# the second: the module's time goes a minute back.
touch -d "@$(( $(date +%s) - 60 ))" "$work/vst/Tarvo3/Tarvo3.so"
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" LXVST_PATH="$work/vst"
# Ardour finds VST 2 plug-ins through the cache its scanner writes.
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -q "$work/vst/Tarvo3/Tarvo3.so"

cat >"$work/make.lua" <<'LUA'
-- A session with one MIDI track: Tarvo3 first, then the instrument.
AudioEngine:set_backend("None (Dummy)", "", "")
create_session(arg[1], "check", 48000)
local synth = ARDOUR.LuaAPI.new_plugin_info("https://community.ardour.org/node/7596", ARDOUR.PluginType.LV2)
local track = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
  ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), false, synth, nil, nil, 1, "Tarvo3",
  ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local tarvo = ARDOUR.LuaAPI.new_plugin(Session, "1365668961", ARDOUR.PluginType.LXVST, "")
assert(not tarvo:isnil(), "Ardour does not know Tarvo3")
track:add_processor_by_index(tarvo, 0, nil, true)
print("processor box: " .. track:nth_plugin(0):display_name() .. ", " .. track:nth_plugin(1):display_name())
Session:save_state("", false, false, false, false, false)
close_session()
LUA
cat >"$work/roll.lua" <<'LUA'
-- Rolls the session for four seconds; prints the track's loudest audio peak.
AudioEngine:set_backend("None (Dummy)", "", "")
load_session(arg[1], "check")
local track = Session:route_by_name("Tarvo3")
-- Nothing but Tarvo3 may feed the instrument: the dummy backend's MIDI
-- inputs play test notes.
track:input():disconnect_all(nil)
Session:request_locate(0, false, ARDOUR.LocateTransportDisposition.MustStop, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(500000)
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
-- The meter's channel 0 is the MIDI one; 1 and 2 are the audio.
local loudest = -200
for i = 1, 40 do
  ARDOUR.LuaAPI.usleep(100000)
  for c = 1, 2 do loudest = math.max(loudest, track:peak_meter():meter_level(c, ARDOUR.MeterType.MeterPeak)) end
end
print(string.format("peak %.1f", loudest))
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(200000)
close_session()
LUA

ardour7-lua "$work/make.lua" "$work/session" 2>&1 | grep '^processor box'
peak_of() { ardour7-lua "$work/roll.lua" "$1" 2>&1 | sed -n 's/^peak //p'; }
empty=$(peak_of "$work/session")
# The scene's state replaces the chunk Ardour saved for Tarvo3, as a
# project saved with the scene loaded would hold it.
/usr/bin/python3 - "$fxp" "$work/session/check.ardour" <<'PY'
import base64, re, sys
chunk = open(sys.argv[1], "rb").read()[60:]
session = open(sys.argv[2]).read()
updated = re.sub(r'(<chunk program="0">)[^<]*(</chunk>)',
                 lambda m: m.group(1) + base64.b64encode(chunk).decode() + m.group(2), session)
assert updated != session, "no Tarvo3 chunk in the session"
open(sys.argv[2], "w").write(updated)
PY
loaded=$(peak_of "$work/session")
echo "ardour-recipe-check: empty grid peak $empty dB, with \"$scene\" peak $loaded dB"
/usr/bin/python3 -c "import sys; e, l = float(sys.argv[1]), float(sys.argv[2]); sys.exit(0 if e < -90 and l > -40 else 1)" \
    "$empty" "$loaded" || { echo "ardour-recipe-check: FAIL" >&2; exit 1; }
echo "ardour-recipe-check: Tarvo3 before the instrument in Ardour's processor box plays the instrument"
