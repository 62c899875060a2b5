#!/usr/bin/env bash
# The plug-in module shows a host exactly its two entry points and depends on
# nothing a user's machine might lack: a DLL imports only Windows system DLLs
# (the runtime is linked in statically), the .so only the C and C++ runtimes,
# X11, libpng, zlib, freetype and fontconfig.
set -euo pipefail
TARVO_E2E_NO_WINE=1
. "$(dirname "$0")/run-host.sh"

[ -f "$PLUGIN" ] || fail "$PLUGIN does not exist"

expect_entry_points() {
    # $1: the exported names, one per line
    local names count
    names="$(sort -u <<<"$1" | sed '/^$/d')"
    count="$(grep -c . <<<"$names" || true)"
    if [ "$(tr '\n' ' ' <<<"$names")" != "VSTPluginMain main " ]; then
        fail "$PLUGIN exports $count names [$(head -n 8 <<<"$names" | tr '\n' ' ')...], expected exactly [VSTPluginMain main]"
    fi
}

check_dll() {
    local expected_format="$1" dump format exports imports name bad=""
    dump="$(objdump -p "$PLUGIN")" || fail "objdump cannot read $PLUGIN"
    format="$(objdump -f "$PLUGIN" | sed -n 's/.*file format \(.*\)$/\1/p')"
    [ "$format" = "$expected_format" ] || fail "$PLUGIN is $format, expected $expected_format"

    # Export table lines look like "	[   0] +base[   1] 0000 VSTPluginMain".
    exports="$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
               sed -n 's/^[[:space:]]*\[ *[0-9]*\].* \([A-Za-z_][A-Za-z0-9_]*\)$/\1/p')"
    expect_entry_points "$exports"

    imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")"
    [ -n "$imports" ] || fail "no import table found in $PLUGIN"
    while read -r name; do
        case "${name,,}" in
            kernel32.dll|msvcrt.dll|user32.dll|gdi32.dll|comdlg32.dll|shell32.dll|\
            wininet.dll|comctl32.dll|advapi32.dll|ole32.dll|oleaut32.dll|shlwapi.dll|\
            msimg32.dll|uxtheme.dll|winmm.dll|imm32.dll|version.dll|ws2_32.dll) ;;
            *) bad="$bad $name" ;;
        esac
    done <<<"$imports"
    [ -z "$bad" ] || fail "$PLUGIN imports non-system DLLs:$bad (link the runtime statically)"
    echo "imports: $(tr '\n' ' ' <<<"$imports")"
}

check_so() {
    local exports needed name bad="" unresolved
    exports="$(nm -D --defined-only "$PLUGIN" | awk '{ print $NF }')"
    expect_entry_points "$exports"

    needed="$(objdump -p "$PLUGIN" | sed -n 's/^[[:space:]]*NEEDED[[:space:]]*//p')"
    while read -r name; do
        [ -z "$name" ] && continue
        case "$name" in
            libc.so.*|libstdc++.so.*|libm.so.*|libgcc_s.so.*|libdl.so.*|libpthread.so.*|\
            libX11.so.*|libXext.so.*|libXtst.so.*|libXrender.so.*|libXft.so.*|libxcb.so.*|\
            libpng16.so.*|libz.so.*|libfreetype.so.*|libfontconfig.so.*|ld-linux*.so.*) ;;
            *) bad="$bad $name" ;;
        esac
    done <<<"$needed"
    [ -z "$bad" ] || fail "$PLUGIN needs libraries outside the allowed set:$bad"

    # Every undefined symbol must resolve in those libraries.
    unresolved="$(ldd -r "$PLUGIN" 2>&1 | grep -E 'undefined symbol|not found' || true)"
    [ -z "$unresolved" ] || fail "$PLUGIN has unresolved symbols or libraries: $unresolved"
    echo "needed: $(tr '\n' ' ' <<<"$needed")"
}

case "$PLATFORM" in
    linux) check_so ;;
    win32) check_dll pei-i386 ;;
    win64) check_dll pei-x86-64 ;;
esac
echo "module_exports: $(basename "$PLUGIN") exports VSTPluginMain and main only; dependencies OK"
