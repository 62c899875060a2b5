#!/usr/bin/env bash
# Runs every fuzzer of tests/fuzz for a longer, chosen time, each from its
# committed corpus, and merges what new coverage it finds back into
# tests/fuzz/corpus/<fuzzer>/ (libFuzzer's merge in its set-cover form,
# -set_cover_merge=1: of the inputs that add coverage, the fewest that keep
# all of it are added, so the corpora stay small). Not part of scripts/test.sh,
# which gives all fuzzers 150 s together; run it after changing a reader of
# outside bytes (chunks, configuration, MIDI maps, scale files, PNG images)
# and commit the corpus files it adds.
# Usage: scripts/fuzz-long.sh [MINUTES]   (per fuzzer; default 10)
# Crashes are kept as build/fuzz-long/<fuzzer>/crash-*; the exit status is
# non-zero when any fuzzer found one. Each fuzzer's summary line gives the
# inputs it ran (libFuzzer's stat::number_of_executed_units) and the inputs
# per second over the run's wall-clock time; the last lines repeat them all.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
minutes="${1:-10}"
case "$minutes" in ''|*[!0-9]*) echo "usage: scripts/fuzz-long.sh [MINUTES]" >&2; exit 2 ;; esac
jobs="${TARVO_JOBS:-2}"

echo "== fuzz-long: building the fuzzers -> build/fuzz"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVO_FUZZERS=ON -DTARVO_TESTS=ON >/dev/null
mapfile -t fuzzers < <(ninja -C build/fuzz -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
[ ${#fuzzers[@]} -gt 0 ] || { echo "fuzz-long: tests/fuzz defines no fuzz_* targets" >&2; exit 1; }
cmake --build build/fuzz -j "$jobs" --target "${fuzzers[@]}"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
found=0
summary=()
for fuzzer in "${fuzzers[@]}"; do
    corpus="tests/fuzz/corpus/$fuzzer"
    work="build/fuzz-long/$fuzzer"
    rm -rf "$work"
    mkdir -p "$work/new" "$corpus"
    before=$(find "$corpus" -type f | wc -l)
    echo "== fuzz-long: $fuzzer for $minutes min from $before corpus files"
    status=0
    started=$EPOCHREALTIME
    "build/fuzz/$fuzzer" -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/" "$work/new" "$corpus" >"$work/run.log" 2>&1 || status=$?
    ended=$EPOCHREALTIME
    inputs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$work/run.log" | tail -n 1)
    line=$(awk -v n="${inputs:-0}" -v s="$started" -v e="$ended" -v f="$fuzzer" \
        'BEGIN { t = e - s; printf "%s: %d inputs in %.0f s, %.0f inputs/s", f, n, t, t > 0 ? n / t : 0 }')
    [ -n "$inputs" ] || line="$line (no final stats: the run ended early)"
    grep -E '^#[0-9]+ +DONE' "$work/run.log" | tail -n 1 || true
    echo "== fuzz-long: $line"
    summary+=("$line")
    if [ "$status" -ne 0 ] || ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* >/dev/null 2>&1; then
        echo "== fuzz-long: $fuzzer found a failure (status $status); see $work/" >&2
        found=1
    fi
    # Only what adds coverage to the committed corpus goes into it.
    "build/fuzz/$fuzzer" -set_cover_merge=1 "$corpus" "$work/new" >"$work/merge.log" 2>&1
    after=$(find "$corpus" -type f | wc -l)
    echo "== fuzz-long: $fuzzer corpus $before -> $after files"
    summary[-1]="${summary[-1]}, corpus $before -> $after files"
done
echo "== fuzz-long: summary ($minutes min per fuzzer)"
printf '==   %s\n' "${summary[@]}"
exit "$found"
