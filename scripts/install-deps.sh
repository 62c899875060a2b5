#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Safe to run repeatedly: it only asks apt for what is missing.
#
#   install-deps.sh                  as root; fails otherwise
#   install-deps.sh --if-permitted   as root, or through sudo when sudo needs
#                                    no password; otherwise it trusts that the
#                                    packages are installed. demo.sh and
#                                    test.sh use it, so that they also run for
#                                    a user who installed the packages once.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    if [ "${1:-}" = --if-permitted ]; then
        if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
            exec sudo "${BASH_SOURCE[0]}"
        fi
        echo "install-deps: not root; assuming the packages of scripts/install-deps.sh are installed"
        exit 0
    fi
    echo "install-deps: must run as root (apt-get)" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive

native_packages=(
    build-essential cmake ninja-build pkg-config git
    clang clang-format libclang-rt-14-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libpng-dev zlib1g-dev
    libx11-dev libxext-dev libxtst-dev
    libfreetype-dev libfontconfig-dev fonts-liberation
    xvfb xauth x11-utils imagemagick
    python3 python3-matplotlib python3-pil python3-markdown unzip
)
cross_packages=(
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev
    dpkg-dev
)
wine_packages=(wine wine64)
wine32_packages=(wine32:i386)
# Third-party VST 2 plug-ins that the host harness is checked against.
thirdparty_packages=(dpf-plugins-vst amsynth)

missing=()
want() {
    for p in "$@"; do
        # dpkg-query knows arch-qualified names too (wine32:i386).
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
fi

want "${native_packages[@]}" "${cross_packages[@]}" "${wine_packages[@]}" "${wine32_packages[@]}" "${thirdparty_packages[@]}"

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    echo "install-deps: installing ${missing[*]}"
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
echo "install-deps: all packages present"

# The 32-bit Windows build is tested under 32-bit wine. On kernels that do
# not run 32-bit programs (no IA32 emulation) they run through qemu's user
# emulation; the script does nothing where the kernel runs them itself.
"$(dirname "${BASH_SOURCE[0]}")/wine32-emulation.sh"
