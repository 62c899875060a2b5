#!/usr/bin/env bash
# Builds everything and runs every check; the output ends with CTest's
# summary and the exit status is non-zero when anything failed.
#   1. install the Debian packages that are missing (as root)
#   2. scripts/build.sh: build/linux, build/win32, build/win64 (Release)
#   3. build/asan: the unit tests with AddressSanitizer and UBSan
#   4. build/tsan: the editor's thread tests with ThreadSanitizer
#   5. build/fuzz: the libFuzzer targets of tests/fuzz, built with clang
#   6. one ctest in build/linux: unit tests, end-to-end tests of all three
#      binaries (Windows ones under wine), the sanitizer runs and a bounded
#      run of each fuzzer
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${TARVO_JOBS:-2}"
started=$(date +%s)
step() { echo "== test: $* ($(( $(date +%s) - started )) s)"; }

step "packages"
scripts/install-deps.sh --if-permitted

step "release builds"
scripts/build.sh

step "sanitizer build -> build/asan"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVO_SANITIZE=ON -DTARVO_TESTS=ON >/dev/null
cmake --build build/asan -j "$jobs"

step "thread sanitizer build -> build/tsan"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVO_THREAD_SANITIZE=ON -DTARVO_TESTS=ON -DTARVO_BENCHMARKS=OFF >/dev/null
# Only the programs whose tests run several threads against the editor.
cmake --build build/tsan -j "$jobs" --target gui_tests x11_tests editor_tests

fuzz_dir=""
if [ -f tests/fuzz/CMakeLists.txt ]; then
    step "fuzzer build -> build/fuzz"
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTARVO_FUZZERS=ON -DTARVO_TESTS=ON >/dev/null
    # Only the fuzz targets: the module and the unit tests are not built
    # for libFuzzer.
    mapfile -t fuzz_targets < <(ninja -C build/fuzz -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
    if [ ${#fuzz_targets[@]} -gt 0 ]; then
        cmake --build build/fuzz -j "$jobs" --target "${fuzz_targets[@]}"
        fuzz_dir="$root/build/fuzz"
    else
        echo "== test: tests/fuzz defines no fuzz_* targets"
    fi
fi

step "ctest in build/linux"
cmake -S . -B build/linux -DTARVO_ASAN_DIR="$root/build/asan" -DTARVO_TSAN_DIR="$root/build/tsan" -DTARVO_FUZZ_DIR="$fuzz_dir" \
    -DTARVO_FUZZ_SECONDS=150 >/dev/null
# A test without its own TIMEOUT gets 5 minutes, so a hung test fails
# instead of holding the whole run; one summary ends the output.
exec ctest --test-dir build/linux --output-on-failure -j "$jobs" --no-tests=error --timeout 300
