# End-to-end test support (bash).
#
# A test script is called as   SCRIPT PLATFORM HOST PLUGIN WORKDIR
# (PLATFORM linux|win32|win64) with WORKDIR as its current, empty folder, and
# starts with
#     . "$(dirname "$0")/run-host.sh"
# which sets PLATFORM, HOST, PLUGIN, WORKDIR and TARVO_SOURCE_DIR from the
# script's arguments and provides:
#   run_host ARGS...         run HOST with ARGS, natively or under wine; stdout
#                            and stderr pass through (carriage returns of the
#                            Windows console removed); returns HOST's status.
#                            Arguments that are absolute paths are handed to
#                            a Windows host as Z:\... paths.
#   host_path PATH           PATH as HOST sees it (for paths written into
#                            files the host reads, e.g. a script's "save FILE")
#   compare_files EXPECTED ACTUAL
#                            text comparison ignoring CR before LF; prints a
#                            diff and returns 1 on a mismatch
#   compare_binary_files EXPECTED ACTUAL
#                            byte-for-byte comparison
#   run_ok NAME ARGS...      run_host ARGS into NAME.json (stdout) and NAME.err
#                            (stderr); fails the test unless HOST exits with 0
#   json_check FILE EXPRESSION MESSAGE
#                            fails the test with MESSAGE unless the Python
#                            EXPRESSION holds for the JSON report in FILE,
#                            loaded as r
#   check_no_overlaps EVENTS [SCRIPT FRAMES]
#                            fails the test when the events file EVENTS holds a
#                            note-on while a note of the same pitch and channel
#                            still sounds. Messages passed through from the
#                            MIDI input are not generated notes: with SCRIPT
#                            and FRAMES, the note messages of SCRIPT's "midi"
#                            actions are left out (at BLOCK x FRAMES + OFFSET,
#                            for scripts played from sample 0 with no stop or
#                            locate before them)
#   rerun_in_xvfb            runs the script again, from its start, inside an
#                            Xvfb screen of its own unless it already runs in
#                            one: editors never open on a tester's desktop
#   fail MESSAGE...          print "FAIL: MESSAGE" and exit 1
#   skip MESSAGE...          print "SKIP: MESSAGE" and exit 77 (CTest: skipped)
# Wine exits 0 when it cannot start a program: check the host's own output,
# never its exit status alone.
#
# Set TARVO_E2E_NO_WINE=1 before sourcing in a script that never runs HOST;
# otherwise a Windows script is skipped on a machine whose kernel refuses to
# run that architecture, and fails when wine is not installed.
#
# Executed rather than sourced, this file is the runner CTest calls:
#     run-host.sh --run SCRIPT PLATFORM HOST PLUGIN WORKDIR
# empties WORKDIR, runs SCRIPT in it and lets wine's server finish after a
# Windows test so that the next test starts with an idle prefix.

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -u
    if [ "${1:-}" != "--run" ] || [ $# -ne 6 ]; then
        echo "usage: run-host.sh --run SCRIPT PLATFORM HOST PLUGIN WORKDIR" >&2
        exit 2
    fi
    script="$2"; platform="$3"; workdir="$6"
    rm -rf "$workdir"
    mkdir -p "$workdir"
    cd "$workdir" || exit 1
    bash "$script" "$platform" "$4" "$5" "$workdir"
    status=$?
    if [ "$platform" != linux ]; then
        . "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
        wine_idle
    fi
    exit $status
fi

if [ $# -lt 4 ]; then
    echo "run-host.sh: the test script needs PLATFORM HOST PLUGIN WORKDIR" >&2
    exit 2
fi
PLATFORM="$1"
HOST="$2"
PLUGIN="$3"
WORKDIR="$4"
TARVO_SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

skip() {
    echo "SKIP: $*"
    exit 77
}

case "$PLATFORM" in
    linux) ;;
    win32|win64)
        . "$TARVO_SOURCE_DIR/scripts/wine-env.sh"
        if [ "${TARVO_E2E_NO_WINE:-0}" != 1 ]; then
            wine_status=0
            wine_can_run "$PLATFORM" || wine_status=$?
            case $wine_status in
                0) ;;
                3) skip "this machine does not execute 32-bit x86 programs (no IA32 support in the kernel, no emulator registered), so wine cannot run $PLATFORM binaries here" ;;
                *) fail "wine for $PLATFORM is not installed (scripts/install-deps.sh installs it)" ;;
            esac
        fi
        ;;
    *) fail "unknown platform '$PLATFORM' (linux|win32|win64)" ;;
esac

host_path() {
    case "$PLATFORM" in
        linux) printf '%s\n' "$1" ;;
        *)
            case "$1" in
                /*) printf 'Z:%s\n' "${1//\//\\}" ;;
                *) printf '%s\n' "${1//\//\\}" ;;
            esac
            ;;
    esac
}

# Only absolute paths are converted: option values such as "4/4" stay as
# they are. "--option=/path" is converted after the "=".
_host_arg() {
    case "$1" in
        /*) host_path "$1" ;;
        --*=/*) printf '%s=%s\n' "${1%%=*}" "$(host_path "${1#*=}")" ;;
        *) printf '%s\n' "$1" ;;
    esac
}

run_host() {
    if [ ! -f "$HOST" ]; then
        echo "run_host: $HOST does not exist (build it first)" >&2
        return 127
    fi
    if [ "$PLATFORM" = linux ]; then
        "$HOST" "$@"
        return
    fi
    local args=() a err status=0
    for a in "$@"; do
        args+=("$(_host_arg "$a")")
    done
    err="$(mktemp)"
    {
        wine_run "$PLATFORM" "$(host_path "$HOST")" "${args[@]}" 2>"$err" </dev/null | tr -d '\r'
        status=${PIPESTATUS[0]}
    } || true
    tr -d '\r' <"$err" >&2
    rm -f "$err"
    return "$status"
}

# tarvo-editor-snapshot (beside the host) with its output in snapshot.out;
# the test fails when it fails.
run_snapshot() {
    local snapshot status=0
    snapshot="$(dirname "$HOST")/tarvo-editor-snapshot"
    [ "$PLATFORM" = linux ] || snapshot="$snapshot.exe"
    [ -f "$snapshot" ] || fail "$snapshot does not exist (build it first)"
    if [ "$PLATFORM" = linux ]; then
        "$snapshot" "$@" >snapshot.out 2>&1 || status=$?
    else
        local args=() a
        for a in "$@"; do
            args+=("$(_host_arg "$a")")
        done
        wine_run "$PLATFORM" "$(host_path "$snapshot")" "${args[@]}" </dev/null >snapshot.out 2>&1 || status=$?
    fi
    [ "$status" -eq 0 ] || fail "the offscreen snapshot failed: $(head -n 5 snapshot.out)"
}

compare_files() {
    if [ ! -f "$1" ]; then echo "compare_files: expected file $1 missing" >&2; return 1; fi
    if [ ! -f "$2" ]; then echo "compare_files: $2 was not written" >&2; return 1; fi
    if ! diff -u --strip-trailing-cr "$1" "$2" >"$WORKDIR/.compare.diff" 2>&1; then
        echo "compare_files: $2 differs from $1:" >&2
        head -n 40 "$WORKDIR/.compare.diff" >&2
        return 1
    fi
}

compare_binary_files() {
    if [ ! -f "$1" ]; then echo "compare_binary_files: expected file $1 missing" >&2; return 1; fi
    if [ ! -f "$2" ]; then echo "compare_binary_files: $2 was not written" >&2; return 1; fi
    if ! cmp "$1" "$2" >&2; then
        echo "compare_binary_files: $2 differs from $1" >&2
        return 1
    fi
}

run_ok() {
    local name="$1" status=0
    shift
    run_host "$@" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 0 ] || fail "'$*' exited with $status: $(head -n 5 "$name.err")"
}

json_check() {
    /usr/bin/python3 - "$1" "$2" <<'PY' || fail "$3 ($(tr '\n' ' ' <"$1" | cut -c1-300))"
import json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
sys.exit(0 if eval(sys.argv[2]) else 1)
PY
}

check_no_overlaps() {
    /usr/bin/python3 - "$@" <<'PY' || fail "overlapping notes in $1"
import sys
passed = {}
if len(sys.argv) > 3:
    frames = int(sys.argv[3])
    for line in open(sys.argv[2]):
        words = line.split("#")[0].split()
        if len(words) == 6 and words[1] == "midi":
            key = (int(words[0]) * frames + int(words[2]), int(words[3], 16), int(words[4], 16), int(words[5], 16))
            passed[key] = passed.get(key, 0) + 1
sounding = set()
overlaps = []
notes = 0
for line in open(sys.argv[1]):
    sample, status, data1, data2 = line.split()
    key = (int(sample), int(status, 16), int(data1, 16), int(data2, 16))
    if passed.get(key, 0) > 0:
        passed[key] -= 1
        continue
    kind = key[1] & 0xF0
    if kind not in (0x80, 0x90):
        continue
    note = (key[1] & 0x0F, key[2])
    on = kind == 0x90 and key[3] > 0
    if on:
        notes += 1
        if note in sounding:
            overlaps.append(line.strip())
        sounding.add(note)
    else:
        sounding.discard(note)
if overlaps:
    print("%s: %d of %d note-ons start while their pitch still sounds on their channel, first: %s"
          % (sys.argv[1], len(overlaps), notes, "; ".join(overlaps[:3])), file=sys.stderr)
    sys.exit(1)
PY
}

rerun_in_xvfb() {
    [ "${TARVO_E2E_XVFB:-0}" != 1 ] || return 0
    command -v xvfb-run >/dev/null || fail "xvfb-run is missing (scripts/install-deps.sh installs xvfb)"
    exec xvfb-run -a -s "-screen 0 1280x1024x24" env TARVO_E2E_XVFB=1 \
        bash "$0" "$PLATFORM" "$HOST" "$PLUGIN" "$WORKDIR"
}
