#!/usr/bin/env bash
# Installs Tarvo3 for the current user: the Linux plug-in with the files
# that belong beside it (Tarvo3.ini, TarvoMidiMap.txt, Scales/, Scenes/, the
# guide, README.txt) into ~/.vst/Tarvo3/, or into FOLDER.
#
# Usage: scripts/install-user.sh [--from SOURCE] [FOLDER]
#   SOURCE  an unpacked release archive's Tarvo3 folder; by default the
#           built tree of this checkout (build/linux with its factory scenes
#           and guide, the example files of resources/package)
#   FOLDER  where the plug-in goes (default ~/.vst/Tarvo3)
#
# Nothing is installed anywhere else; for every user, name a system folder
# as FOLDER and run it as root (e.g. /usr/lib/vst/Tarvo3). A Tarvo3.ini or
# TarvoMidiMap.txt already in FOLDER is kept (you may have edited it); the
# new example goes beside it as *.example.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source_dir=""
while [ $# -gt 0 ]; do
    case "$1" in
        --from) [ $# -ge 2 ] || { echo "install-user: --from needs a folder" >&2; exit 2; }; source_dir="$2"; shift 2 ;;
        -h|--help) sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "install-user: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done
[ $# -le 1 ] || { echo "usage: scripts/install-user.sh [--from SOURCE] [FOLDER]" >&2; exit 2; }
target="${1:-$HOME/.vst/Tarvo3}"

# What to install: (source path, name in the folder).
files=()
if [ -n "$source_dir" ]; then
    [ -f "$source_dir/Tarvo3.so" ] || { echo "install-user: $source_dir holds no Tarvo3.so (the Linux archive's Tarvo3 folder?)" >&2; exit 1; }
    plugin="$source_dir/Tarvo3.so"
    ini="$source_dir/Tarvo3.ini"; map="$source_dir/TarvoMidiMap.txt"; readme="$source_dir/README.txt"
    scales="$source_dir/Scales"; scenes="$source_dir/Scenes"; guide="$source_dir/Tarvo3-Guide.html"
else
    plugin="$root/build/linux/Tarvo3.so"
    [ -f "$plugin" ] || { echo "install-user: $plugin is not built (scripts/build.sh linux)" >&2; exit 1; }
    ini="$root/resources/package/Tarvo3.ini"; map="$root/resources/package/TarvoMidiMap.txt"
    readme="$root/resources/package/README.txt"; scales="$root/resources/package/Scales"
    scenes="$root/build/linux/Scenes"; guide="$root/build/linux/Tarvo3-Guide.html"
fi

mkdir -p "$target/Scales" "$target/Scenes"
say() { echo "install-user: $*"; }
install -m 755 "$plugin" "$target/Tarvo3.so"
say "plug-in      $target/Tarvo3.so"
for file in "$ini" "$map"; do
    name="$(basename "$file")"
    if [ -f "$target/$name" ] && ! cmp -s "$file" "$target/$name"; then
        install -m 644 "$file" "$target/$name.example"
        say "kept         $target/$name (yours); the new example is $name.example"
    else
        install -m 644 "$file" "$target/$name"
        say "example      $target/$name"
    fi
done
[ -f "$readme" ] && install -m 644 "$readme" "$target/README.txt"
count=0
for f in "$scales"/*; do [ -f "$f" ] && install -m 644 "$f" "$target/Scales/" && count=$((count + 1)); done
say "scale files  $target/Scales ($count)"
count=0
if [ -d "$scenes" ]; then
    for f in "$scenes"/*.fxp; do [ -f "$f" ] && install -m 644 "$f" "$target/Scenes/" && count=$((count + 1)); done
fi
say "scenes       $target/Scenes ($count)"
[ "$count" -gt 0 ] || say "  (no factory scene was built: cmake --build build/linux --target factory_scenes)"
if [ -f "$guide" ]; then
    install -m 644 "$guide" "$target/Tarvo3-Guide.html"
    say "guide        $target/Tarvo3-Guide.html"
else
    say "guide        not built (scripts/make-guide.py)"
fi
say "done. Now let your host rescan its plug-ins:"
say "  REAPER: Options > Preferences > Plug-ins > VST > Re-scan (add $(dirname "$target") to the paths if needed)"
say "  Bitwig Studio: Settings > Locations > Plug-ins (add $(dirname "$target") if needed); it rescans by itself"
say "  Ardour: Window > Plugin Manager > Rescan (Preferences > Plugins > VST lists the folders)"
