#!/usr/bin/env bash
# Builds the plug-in and the host for all three platforms, Release:
#   build/linux/  Tarvo3.so,   tarvo-host,     unit tests
#   build/win32/  Tarvo32.dll, tarvo-host.exe  (mingw-w64 i686)
#   build/win64/  Tarvo64.dll, tarvo-host.exe  (mingw-w64 x86_64)
# The Linux build folder registers the Windows folders for its end-to-end
# tests, so `ctest --test-dir build/linux` checks all three.
# Usage: scripts/build.sh [linux|win32|win64 ...]   (default: all three)
# TARVO_BUILD_TARGETS="T1 T2 ..." builds only those targets (default: all).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${TARVO_JOBS:-2}"
targets=()
[ -z "${TARVO_BUILD_TARGETS:-}" ] || read -r -a targets <<<"--target $TARVO_BUILD_TARGETS"
platforms=("$@")
[ ${#platforms[@]} -gt 0 ] || platforms=(linux win32 win64)

step() { echo "== build: $*"; }

build_linux() {
    step "linux -> build/linux"
    cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=ON \
        -DTARVO_WIN32_DIR="$root/build/win32" -DTARVO_WIN64_DIR="$root/build/win64" >/dev/null
    cmake --build build/linux -j "$jobs" "${targets[@]}"
}

build_windows() {
    local platform="$1" arch="$2"
    if [ -z "${libpng_done:-}" ]; then
        scripts/build-libpng-mingw.sh
        libpng_done=1
    fi
    step "$platform -> build/$platform"
    cmake -S . -B "build/$platform" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$arch.cmake" \
        -DTARVO_LIBPNG_PREFIX="$root/build/deps/libpng-$arch" >/dev/null
    cmake --build "build/$platform" -j "$jobs" "${targets[@]}"
}

for platform in "${platforms[@]}"; do
    case "$platform" in
        linux) build_linux ;;
        win32) build_windows win32 i686 ;;
        win64) build_windows win64 x86_64 ;;
        *) echo "build: unknown platform '$platform' (linux|win32|win64)" >&2; exit 2 ;;
    esac
done

for platform in "${platforms[@]}"; do
    case "$platform" in
        linux) expected=(Tarvo3.so tarvo-host) ;;
        win32) expected=(Tarvo32.dll tarvo-host.exe) ;;
        win64) expected=(Tarvo64.dll tarvo-host.exe) ;;
    esac
    for f in "${expected[@]}"; do
        if [ -f "build/$platform/$f" ]; then
            echo "== build: build/$platform/$f"
        else
            echo "== build: build/$platform/$f was not built" >&2
            missing=1
        fi
    done
done
[ -z "${missing:-}" ]
