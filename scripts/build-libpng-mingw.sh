#!/usr/bin/env bash
# Builds a static libpng for both mingw-w64 targets from Debian's libpng1.6
# source package (Debian ships no mingw libpng). Installs into
#   build/deps/libpng-i686/  and  build/deps/libpng-x86_64/
# Cached: a target whose install already holds lib/libpng16.a is skipped, so
# the download happens once per work tree.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$root/build/deps"
targets=(i686 x86_64)

installed() { [ -f "$deps/libpng-$1/lib/libpng16.a" ] && [ -f "$deps/libpng-$1/include/png.h" ]; }

todo=()
for t in "${targets[@]}"; do
    installed "$t" || todo+=("$t")
done
if [ ${#todo[@]} -eq 0 ]; then
    echo "build-libpng-mingw: cached in build/deps (libpng-i686, libpng-x86_64)"
    exit 0
fi

# Source packages need a deb-src entry; Debian 12 images ship deb lines only.
ensure_deb_src() {
    local list=/etc/apt/sources.list.d/debian.sources
    local src_list=/etc/apt/sources.list.d/tarvo-debian-src.sources
    if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "build-libpng-mingw: no deb-src entry and not root; run as root once" >&2
        exit 1
    fi
    if [ ! -f "$list" ]; then
        echo "build-libpng-mingw: $list missing; add a deb-src entry for Debian by hand" >&2
        exit 1
    fi
    echo "build-libpng-mingw: adding deb-src entries ($src_list)"
    sed -E 's/^Types:.*/Types: deb-src/' "$list" > "$src_list"
    apt-get update -qq
}

src_root="$deps/src"
find_source_dir() { find "$src_root" -maxdepth 1 -type d -name 'libpng1.6-*' | sort | tail -n 1; }

srcdir="$(mkdir -p "$src_root" && find_source_dir)"
if [ -z "$srcdir" ] || [ ! -f "$srcdir/CMakeLists.txt" ]; then
    ensure_deb_src
    (
        cd "$src_root"
        # The newest (security) version's files sometimes answer 404 on the
        # mirror while the release version is still there.
        download() {
            apt-get source --download-only libpng1.6 >>download.log 2>&1 && return 0
            echo "build-libpng-mingw: newest libpng1.6 source not downloadable; trying the bookworm release"
            apt-get source --download-only libpng1.6/bookworm >>download.log 2>&1
        }
        : >download.log
        if ! download; then
            # Package lists older than the deb-src entry know no sources.
            if [ "$(id -u)" -eq 0 ]; then
                echo "build-libpng-mingw: refreshing package lists and retrying"
                apt-get update -qq >>download.log 2>&1 || true
            fi
            if ! download; then
                cat download.log >&2
                echo "build-libpng-mingw: could not download the libpng1.6 source" >&2
                exit 1
            fi
        fi
        dsc="$(ls -1 libpng1.6_*.dsc | sort | tail -n 1)"
        dpkg-source -x --no-check "$dsc" >/dev/null
    )
    srcdir="$(find_source_dir)"
fi
echo "build-libpng-mingw: source $srcdir"

for t in "${todo[@]}"; do
    bdir="$deps/build-libpng-$t"
    prefix="$deps/libpng-$t"
    rm -rf "$bdir"
    echo "build-libpng-mingw: building $t -> ${prefix#"$root"/}"
    cmake -S "$srcdir" -B "$bdir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$t.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON \
        -DSKIP_INSTALL_FILES=ON >"$bdir.log" 2>&1 || { cat "$bdir.log" >&2; exit 1; }
    cmake --build "$bdir" -j2 >>"$bdir.log" 2>&1 || { tail -n 40 "$bdir.log" >&2; exit 1; }
    cmake --install "$bdir" >>"$bdir.log" 2>&1 || { tail -n 40 "$bdir.log" >&2; exit 1; }
    installed "$t" || { echo "build-libpng-mingw: $t install incomplete in $prefix" >&2; exit 1; }
done
echo "build-libpng-mingw: done"
