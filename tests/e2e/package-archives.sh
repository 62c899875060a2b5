#!/usr/bin/env bash
# The release archives (the fixture of the package_contents tests): packs
# the built binaries twice with scripts/package.sh --no-build, into DIST and
# DIST/again; both runs must give byte-identical archives, and the Windows
# DLLs' header time stamp must be the fixed one (0: no link time).
#   package-archives.sh LINUX_BUILD WIN32_BUILD WIN64_BUILD DIST
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: package-archives.sh LINUX_BUILD WIN32_BUILD WIN64_BUILD DIST" >&2; exit 2; }
root="$(cd "$(dirname "$0")/../.." && pwd)"
export TARVO_LINUX_DIR="$1" TARVO_WIN32_DIR="$2" TARVO_WIN64_DIR="$3"
dist="$4"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$dist"
TARVO_DIST_DIR="$dist" "$root/scripts/package.sh" --no-build || fail "scripts/package.sh failed"
TARVO_DIST_DIR="$dist/again" "$root/scripts/package.sh" --no-build || fail "scripts/package.sh failed the second time"
for archive in "$dist"/Tarvo3-*; do
    [ -f "$archive" ] || continue
    cmp "$archive" "$dist/again/$(basename "$archive")" || fail "$(basename "$archive") differs between two packings"
done
[ "$(ls "$dist"/Tarvo3-* | wc -l)" -eq 3 ] || fail "expected three archives in $dist"

/usr/bin/python3 - "$TARVO_WIN32_DIR/Tarvo32.dll" "$TARVO_WIN64_DIR/Tarvo64.dll" <<'PY' || fail "a DLL carries a link time"
import struct, sys
for path in sys.argv[1:]:
    data = open(path, "rb").read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", path
    stamp = struct.unpack_from("<I", data, pe + 8)[0]
    if stamp != 0:
        sys.exit("%s: PE header time stamp %d, expected 0" % (path, stamp))
PY
echo "package: three archives, byte-identical when packed twice; the DLLs' time stamps are 0"
