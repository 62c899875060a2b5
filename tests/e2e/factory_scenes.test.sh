#!/usr/bin/env bash
# The factory scenes (built into the Linux build folder's Scenes/, the same
# files for every binary): each loads as a program file, plays at least one
# note within its first two bars from a transport started at 0, and saving
# right after the load gives the same file back.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

scenes="${TARVO_BUILD_DIR:-}/Scenes"
[ -d "$scenes" ] || fail "no factory scenes in '$scenes' (TARVO_BUILD_DIR; build the factory_scenes target)"
mapfile -t files < <(find "$scenes" -maxdepth 1 -name '*.fxp' | sort)
[ "${#files[@]}" -ge 12 ] || fail "only ${#files[@]} factory scenes in $scenes, expected at least 12"

mkdir -p saved
for fxp in "${files[@]}"; do
    name="$(basename "$fxp" .fxp)"
    stem="scene-${#name}-$(printf '%s' "$name" | tr -c 'A-Za-z0-9' '_')"
    # Loaded while stopped, then the transport starts at 0, as in a host.
    run_ok "$stem.play" play "$PLUGIN" --fxp-in "$fxp" --at "0 stop" --at "1 play" --bars 2 --tempo 120 \
        --events "$WORKDIR/$stem.events"
    json_check "$stem.play.json" 'r["loadsRefused"] == 0 and r["noteOns"] > 0' "$name plays no note in its first two bars"
    # Saved under the same file name, so that the program is named alike.
    run_ok "$stem.save" play "$PLUGIN" --fxp-in "$fxp" --at "0 stop" --blocks 1 --fxp-out "$WORKDIR/saved/$name.fxp"
    compare_binary_files "$fxp" "$WORKDIR/saved/$name.fxp" || fail "$name: saved after loading, the program file differs"
done
echo "factory scenes: ${#files[@]} load, play within two bars and save back unchanged"
