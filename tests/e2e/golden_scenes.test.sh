#!/usr/bin/env bash
# The golden scenes of scenes/scenes.txt played through tarvo-host: the MIDI
# event log and the saved state chunk of every scene must equal the expected
# files in golden/ byte for byte, on every binary (Linux, Win32 and Win64 play
# the same notes), and no generated note may overlap another of its pitch and
# channel. After an intended change of the music, regenerate them on Linux
# with TARVO_REGENERATE_GOLDEN=1 and review the difference.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

scenes="$TARVO_SOURCE_DIR/tests/e2e/scenes/scenes.txt"
golden="$TARVO_SOURCE_DIR/tests/e2e/golden"
failures=0
count=0

while read -r name options; do
    case "$name" in ''|'#'*) continue ;; esac
    args=()
    for option in $options; do
        case "$option" in
            @*) args+=("$TARVO_SOURCE_DIR/${option#@}") ;;
            *) args+=("$option") ;;
        esac
    done
    status=0
    run_host play "$PLUGIN" "${args[@]}" --events "$WORKDIR/$name.events" \
        --chunk-out "$WORKDIR/$name.chunk" >"$name.json" 2>"$name.err" || status=$?
    if [ "$status" -ne 0 ] || ! grep -q '"noteOns"' "$name.json"; then
        echo "scene $name: play failed (status $status): $(head -n 5 "$name.err")" >&2
        failures=$((failures + 1))
        continue
    fi
    if [ "${TARVO_REGENERATE_GOLDEN:-0}" = 1 ] && [ "$PLATFORM" = linux ]; then
        cp "$name.events" "$golden/$name.events"
        cp "$name.chunk" "$golden/$name.chunk"
        echo "scene $name: golden files regenerated"
    fi
    script=""
    frames=512
    for ((i = 0; i + 1 < ${#args[@]}; i++)); do
        case "${args[$i]}" in
            --script) script="${args[$((i + 1))]}" ;;
            --block) frames="${args[$((i + 1))]}" ;;
        esac
    done
    check_no_overlaps "$name.events" ${script:+"$script" "$frames"}
    compare_files "$golden/$name.events" "$name.events" || failures=$((failures + 1))
    compare_binary_files "$golden/$name.chunk" "$name.chunk" || failures=$((failures + 1))
    notes=$(grep -c ' 9[0-9a-f] [0-9a-f][0-9a-f] [0-9a-f][1-9a-f]\| 9[0-9a-f] [0-9a-f][0-9a-f] [1-9a-f][0-9a-f]' "$name.events" || true)
    echo "scene $name: $(wc -l <"$name.events") events, $notes note-ons"
    count=$((count + 1))
done <"$scenes"

[ "$failures" -eq 0 ] || fail "$failures golden comparison(s) failed"
[ "$count" -ge 4 ] || fail "only $count scenes ran"
echo "golden scenes: all $count match"
