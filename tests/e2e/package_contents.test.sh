#!/usr/bin/env bash
# A release archive unpacks to one folder Tarvo3/ with the plug-in of this
# platform and the files beside it; the plug-in loads from there, reads the
# Tarvo3.ini and the MIDI map beside it (changed here so that reading them
# shows), holds the shipped scale files and plays every factory scene of
# the archive within two bars.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

dist="${TARVO_DIST_DIR:-}"
case "$PLATFORM" in
    linux) archive="$dist/Tarvo3-1.0.0-linux-x86_64.tar.gz"; plugin_name=Tarvo3.so ;;
    win64) archive="$dist/Tarvo3-1.0.0-windows-x64.zip"; plugin_name=Tarvo64.dll ;;
    win32) archive="$dist/Tarvo3-1.0.0-windows-x86.zip"; plugin_name=Tarvo32.dll ;;
esac
[ -f "$archive" ] || fail "$archive is missing (the package.archives test makes it)"
mkdir unpacked
case "$archive" in
    *.tar.gz) tar -xzf "$archive" -C unpacked ;;
    *.zip) (cd unpacked && unzip -q "$archive") ;;
esac

# The stated tree, nothing more.
(cd unpacked && find . -mindepth 1 -maxdepth 2 ! -path './Tarvo3/Scales/*' ! -path './Tarvo3/Scenes/*' | sort) >tree.txt
cat >expected-tree.txt <<TREE
./Tarvo3
./Tarvo3/README.txt
./Tarvo3/Scales
./Tarvo3/Scenes
./Tarvo3/$plugin_name
./Tarvo3/Tarvo3-Guide.html
./Tarvo3/Tarvo3.ini
./Tarvo3/TarvoMidiMap.txt
TREE
sort -o expected-tree.txt expected-tree.txt
compare_files expected-tree.txt tree.txt || fail "the archive's tree differs from the stated one"
folder="$WORKDIR/unpacked/Tarvo3"
diff -r "$TARVO_SOURCE_DIR/resources/package/Scales" "$folder/Scales" >/dev/null ||
    fail "the archive's Scales/ differs from resources/package/Scales"
[ "$(ls "$folder/Scales" | wc -l)" -ge 12 ] || fail "fewer than 12 scale files"
grep -q '<img[^>]*src="data:image/png;base64,' "$folder/Tarvo3-Guide.html" || fail "the guide holds no embedded picture"
if grep -Eq '<img[^>]*src="[^d]' "$folder/Tarvo3-Guide.html"; then fail "the guide names a picture outside itself"; fi

# The plug-in inside, with the shipped files: the example MIDI map maps
# nothing; with one line enabled (and the ini naming other note names) both
# are read from the folder.
plugin="$folder/$plugin_name"
run_ok info info "$plugin"
json_check info.json 'r["params"][21]["display"] == "D4"' "the shipped Tarvo3.ini does not keep the default note names"
run_ok unmapped play "$plugin" --blocks 8 --at "2 midi 0 b0 01 7f" --automation "$WORKDIR/unmapped.automation"
[ ! -s unmapped.automation ] || fail "the shipped MIDI map maps controller 1: $(head -n 2 unmapped.automation)"
sed -i 's/^LowestOctave 0/LowestOctave -1/' "$folder/Tarvo3.ini"
sed -i 's/^;Tilt        cc1/Tilt        cc1/' "$folder/TarvoMidiMap.txt"
run_ok info-edited info "$plugin"
json_check info-edited.json 'r["params"][21]["display"] == "D3"' "the plug-in does not read the Tarvo3.ini beside it"
run_ok mapped play "$plugin" --blocks 8 --at "2 midi 0 b0 01 7f" --automation "$WORKDIR/mapped.automation"
grep -q '^2 9 ' mapped.automation || fail "the plug-in does not read the MIDI map beside it (controller 1 moved no Tilt)"

mapfile -t scenes < <(find "$folder/Scenes" -name '*.fxp' | sort)
[ "${#scenes[@]}" -ge 12 ] || fail "only ${#scenes[@]} factory scenes in the archive"
for fxp in "${scenes[@]}"; do
    stem="scene-$(basename "$fxp" .fxp | tr -c 'A-Za-z0-9' '_')"
    run_ok "$stem" play "$plugin" --fxp-in "$fxp" --at "0 stop" --at "1 play" --bars 2 --tempo 120
    json_check "$stem.json" 'r["noteOns"] > 0' "$(basename "$fxp") plays nothing in its first two bars"
done
echo "package contents ($PLATFORM): the stated tree; the plug-in reads its ini and MIDI map there and plays ${#scenes[@]} scenes"
