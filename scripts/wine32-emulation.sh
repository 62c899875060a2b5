#!/usr/bin/env bash
# Makes 32-bit x86 Linux programs (wine's 32-bit loader, and through it the
# 32-bit Windows builds) runnable on this machine, then says how they run.
#
# Kernels built without IA32 emulation refuse every 32-bit ELF with "Exec
# format error". There the i386 ELF format is handed to qemu's user-mode
# emulator through binfmt_misc. The emulator must honour MAP_FIXED_NOREPLACE
# (QEMU 8.1 and later; checked with 10.0): older ones treat it as a mere hint,
# and wine's address-space reservation at start-up then degenerates into
# ~65,000 mmap/munmap pairs, each a page-by-page scan of the emulated 4 GiB,
# so every 32-bit wine process needs a minute of CPU before it runs a single
# instruction of the program. Debian 12's QEMU is 7.2, so on Debian 12 the
# emulator comes from bookworm-backports.
#
# Usage: scripts/wine32-emulation.sh           set up (root; safe to repeat)
#        scripts/wine32-emulation.sh --check   only report; changes nothing
# Exit status: 0 when 32-bit programs run (natively or emulated), 1 when not.
set -euo pipefail

BINFMT_DIR=/proc/sys/fs/binfmt_misc
ENTRY_NAME=qemu-i386
ENTRY="$BINFMT_DIR/$ENTRY_NAME"
# ELF32, little-endian, ET_EXEC or ET_DYN, EM_386 (the pattern QEMU ships).
MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# The registration holds the emulator open (F flag), so it keeps running the
# old binary after a package upgrade; this records which binary it holds.
STAMP=/run/tarvo-wine32-emulation.stamp
BACKPORTS_LIST=/etc/apt/sources.list.d/tarvo-bookworm-backports.sources
MIN_QEMU_MAJOR=8
MIN_QEMU_MINOR=1

check_only=0
case "${1:-}" in
    --check) check_only=1 ;;
    "") ;;
    *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

say() { echo "wine32-emulation: $*"; }
fail() { echo "wine32-emulation: $*" >&2; exit 1; }

workdir="$(mktemp -d)"
trap 'rm -rf "$workdir"' EXIT

# Two 93-byte i386 programs that call exit(0). The "native" one has a nonzero
# byte in e_ident's padding: the kernel's ELF loader ignores it, but no i386
# binfmt_misc pattern matches it, so it tells whether the kernel itself runs
# 32-bit programs even while an emulator is registered. The "any" one is
# claimed by the emulator when there is one.
write_probe() {
    local b64='f0VMRgEBAQAAVAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAMdu4AQAAAM2A'
    echo "$b64" | base64 -d >"$workdir/probe-native"
    # e_ident[9] back to zero.
    cp "$workdir/probe-native" "$workdir/probe-any"
    printf '\000' | dd of="$workdir/probe-any" bs=1 seek=9 conv=notrunc status=none
    chmod +x "$workdir/probe-native" "$workdir/probe-any"
}

runs() { "$1" >/dev/null 2>&1; }

# Prints MAJOR MINOR of a qemu user-mode binary, nothing when it does not run.
qemu_version() {
    "$1" --version 2>/dev/null | sed -n '1s/.*version \([0-9][0-9]*\)\.\([0-9][0-9]*\).*/\1 \2/p'
}

qemu_recent_enough() {
    local v major minor
    v="$(qemu_version "$1")"
    [ -n "$v" ] || return 1
    read -r major minor <<<"$v"
    [ "$major" -gt "$MIN_QEMU_MAJOR" ] || { [ "$major" -eq "$MIN_QEMU_MAJOR" ] && [ "$minor" -ge "$MIN_QEMU_MINOR" ]; }
}

# The emulator binary itself, symlinks resolved (qemu-user-static >= 9.1 is
# a set of links to qemu-user's static binaries).
find_qemu() {
    local c
    for c in /usr/bin/qemu-i386 /usr/bin/qemu-i386-static; do
        if [ -x "$c" ]; then readlink -f "$c"; return 0; fi
    done
    return 1
}

binary_id() { stat -L -c '%d:%i:%s:%Y' "$1"; }

entry_field() { sed -n "s/^$1 //p" "$ENTRY" 2>/dev/null; }

# The emulator the i386 entry runs, symlinks resolved; nothing without one.
entry_qemu() {
    local interpreter
    [ -f "$ENTRY" ] && grep -qx enabled "$ENTRY" || return 1
    interpreter="$(entry_field interpreter)"
    [ -n "$interpreter" ] && readlink -f "$interpreter"
}

# 0 when the i386 entry runs a recent enough emulator. An F entry says only
# the path it was registered with, so it counts only when the stamp shows that
# this script registered the binary now at that path.
registration_usable() {
    local qemu
    qemu="$(entry_qemu)" && [ -x "$qemu" ] && qemu_recent_enough "$qemu" || return 1
    case "$(entry_field flags:)" in
        *F*) [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$(binary_id "$qemu")" ] ;;
        *) return 0 ;;
    esac
}

report_emulated() {
    local qemu="$1" v
    v="$(qemu_version "$qemu" | tr ' ' .)"
    say "32-bit x86 programs run emulated: binfmt_misc entry $ENTRY_NAME -> $qemu (QEMU $v)"
    say "a 32-bit wine process starts in well under a second once its prefix's wineserver runs"
}

install_qemu() {
    export DEBIAN_FRONTEND=noninteractive
    local codename target=()
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    if [ "$codename" = bookworm ]; then
        if [ ! -f "$BACKPORTS_LIST" ]; then
            say "adding bookworm-backports to apt's sources (for QEMU >= $MIN_QEMU_MAJOR.$MIN_QEMU_MINOR)"
            cat >"$BACKPORTS_LIST" <<'EOF'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        fi
        target=(-t bookworm-backports)
    fi
    say "installing qemu-user-static ${target[*]}"
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${target[@]}" qemu-user-static >/dev/null
}

register() {
    local qemu="$1"
    if [ -f "$ENTRY" ]; then
        echo -1 >"$ENTRY"
    fi
    printf ':%s:M::%s:%s:%s:F\n' "$ENTRY_NAME" "$MAGIC" "$MASK" "$qemu" >"$BINFMT_DIR/register"
    binary_id "$qemu" >"$STAMP"
}

write_probe

if runs "$workdir/probe-native"; then
    say "32-bit x86 programs run natively (kernel IA32 emulation); nothing to set up"
    exit 0
fi

if [ "$check_only" -eq 1 ]; then
    if registration_usable && runs "$workdir/probe-any"; then
        report_emulated "$(entry_qemu)"
        exit 0
    fi
    say "32-bit x86 programs cannot run here yet (kernel lacks IA32 emulation); run $0 as root"
    exit 1
fi

[ "$(id -u)" -eq 0 ] || fail "must run as root (apt-get, binfmt_misc)"

if ! qemu="$(find_qemu)" || ! qemu_recent_enough "$qemu"; then
    install_qemu
    qemu="$(find_qemu)" || fail "qemu-i386 missing after installing qemu-user-static"
    qemu_recent_enough "$qemu" \
        || fail "$qemu is QEMU $(qemu_version "$qemu" | tr ' ' .); $MIN_QEMU_MAJOR.$MIN_QEMU_MINOR or later is needed"
fi

if [ ! -f "$BINFMT_DIR/register" ]; then
    mount -t binfmt_misc binfmt_misc "$BINFMT_DIR" || fail "cannot mount binfmt_misc on $BINFMT_DIR"
fi
[ "$(cat "$BINFMT_DIR/status")" = enabled ] || echo 1 >"$BINFMT_DIR/status"

if ! registration_usable; then
    register "$qemu"
fi

runs "$workdir/probe-any" || fail "a 32-bit test program still does not run through $(entry_qemu)"
report_emulated "$(entry_qemu)"
