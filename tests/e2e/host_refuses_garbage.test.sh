#!/usr/bin/env bash
# The host refuses files that are not VST 2 plug-ins, input files it cannot
# read and output files it cannot write with one message and exit status 3
# before any work, never by crashing; bad command lines get status 2 and a
# pointer to the command's help, which lists that command's options only.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

# expect_refusal STATUS PATTERN ARGS...: the host exits with STATUS and says
# PATTERN (a grep -E expression) on standard error.
expect_refusal() {
    local expected="$1" pattern="$2" status=0
    shift 2
    run_host "$@" >out.txt 2>err.txt || status=$?
    [ "$status" -eq "$expected" ] ||
        fail "'$*' exited with $status, expected $expected; stderr: $(head -n 5 err.txt)"
    grep -Eq "$pattern" err.txt || fail "'$*' did not say /$pattern/ on stderr: $(head -n 5 err.txt)"
    [ ! -s out.txt ] || fail "'$*' printed a report although it failed: $(head -n 3 out.txt)"
}

case "$PLATFORM" in
    linux) ext=so ;;
    *) ext=dll ;;
esac
printf 'this is not a plug-in\n' >"$WORKDIR/text.$ext"
: >"$WORKDIR/empty.$ext"
head -c 4096 /dev/urandom >"$WORKDIR/noise.$ext"

expect_refusal 3 "cannot load" info "$WORKDIR/text.$ext"
expect_refusal 3 "cannot load" info "$WORKDIR/empty.$ext"
expect_refusal 3 "cannot load" play "$WORKDIR/noise.$ext" --blocks 2 --events "$WORKDIR/events.txt"
[ ! -e "$WORKDIR/events.txt" ] || fail "a refused play run still wrote its events file"
expect_refusal 3 "cannot load" info "$WORKDIR/missing.$ext"

# A real module that is not a plug-in: it loads, but has no entry point.
case "$PLATFORM" in
    linux)
        library="$(/usr/bin/python3 -c 'import ctypes.util; print(ctypes.util.find_library("z") or "")')"
        library="$(/sbin/ldconfig -p | awk -v n="$library" '$1 == n && !found { print $NF; found = 1 }')"
        [ -f "$library" ] || fail "no zlib shared object found to use as a module without entry point"
        ;;
    *) library='C:\windows\system32\version.dll' ;;
esac
expect_refusal 3 "not a VST 2 plug-in: it exports neither VSTPluginMain nor main" info "$library"
if [ "$PLATFORM" = linux ]; then
    printf 'MZ\220\000' >"$WORKDIR/windows.dll"
    expect_refusal 3 "it is a Windows module" play "$WORKDIR/windows.dll"
fi

expect_refusal 2 "unknown command" frobnicate "$PLUGIN"
expect_refusal 2 "no plug-in named" play --blocks 2
expect_refusal 2 "give --blocks or --bars" play "$PLUGIN" --blocks 2 --bars 1
expect_refusal 2 "unknown action 'warp'" play "$PLUGIN" --at "0 warp"
expect_refusal 2 "usage: tarvo-host info PLUGIN" info
expect_refusal 2 "see tarvo-host render --help" render "$PLUGIN" --synth "$PLUGIN" --wav "$WORKDIR/o.wav" --frobnicate
# Unusable inputs and outputs: one line, before the plug-in is even loaded.
expect_refusal 3 "^tarvo-host: --script: cannot open" play "$PLUGIN" --script "$WORKDIR/missing.script"
[ "$(wc -l <err.txt)" -eq 1 ] || fail "an unreadable script took more than one line: $(cat err.txt)"
expect_refusal 3 "^tarvo-host: --mid: cannot create" play "$PLUGIN" --events "$WORKDIR/ok.events" \
    --mid "$WORKDIR/no-such-folder/out.mid"
[ ! -e "$WORKDIR/ok.events" ] || fail "the writability check left a file behind"
expect_refusal 3 "^tarvo-host: --json: " validate "$PLUGIN" --json "$WORKDIR/no-such-folder/report.json"
[ "$(wc -l <err.txt)" -eq 1 ] || fail "an unwritable validate report took more than one line: $(cat err.txt)"

# --version, a command's own help, and --option=VALUE as --option VALUE.
run_ok version --version
grep -qx "tarvo-host [0-9]*\.[0-9]*\.[0-9]*" version.json || fail "--version printed: $(head -n 2 version.json)"
run_ok help play --help
grep -q -- "--chunk-in FILE" help.json && grep -q "^Exit status: 0 success" help.json ||
    fail "play --help lacks its options or the exit status: $(head -n 5 help.json)"
! grep -q -- "--synth\|--png\|--level" help.json || fail "play --help lists options of other commands"
run_ok assigned play "$PLUGIN" --blocks=3 --block=256
json_check assigned.json 'r["blocks"] == 3 and r["samples"] == 768' "--blocks=3 --block=256 were not taken"

# And the real plug-in still loads after all that.
status=0
run_host info "$PLUGIN" >info.json 2>err.txt || status=$?
[ "$status" -eq 0 ] && grep -q '"numParams"' info.json || fail "info on $PLUGIN failed: $(head -n 5 err.txt)"
echo "host_refuses_garbage: $PLATFORM: text, empty, random, missing and entry-less modules, unreadable inputs and unwritable outputs (play, validate) refused with 3; usage errors exit 2; --version, play --help, --opt=value"
