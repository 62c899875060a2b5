# Wine settings for running the Windows builds; source this file (bash).
#
# One prefix per machine, outside the work tree: a prefix is over half a
# gigabyte, and creating it takes several seconds, so it is made once
# (wineboot -i) and reused by every later run.
#
# Functions:
#   wine_prefix_ready         create the prefix when missing (safe to call from
#                             several processes at once)
#   wine_can_run ARCH         0 when this machine can run ARCH (win32|win64) exes
#   wine_run ARCH EXE ARGS... run a Windows program with the loader for ARCH
#   wine_idle                 wait until the prefix's wineserver has exited
#
# Wine exits 0 without a word when it cannot start a program, so callers must
# check for the program's own output, never for the exit code alone.

export WINEPREFIX="${TARVO_WINEPREFIX:-/tmp/tarvo-wine-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
# /usr/bin/wine always picks the 32-bit loader when wine32 is installed, which
# fails outright on kernels that refuse 32-bit programs; choose per exe instead.
TARVO_WINE32_LOADER="${TARVO_WINE32_LOADER:-/usr/lib/wine/wine}"
TARVO_WINE64_LOADER="${TARVO_WINE64_LOADER:-/usr/lib/wine/wine64}"
TARVO_WINESERVER="${TARVO_WINESERVER:-/usr/lib/wine/wineserver64}"
[ -x "$TARVO_WINESERVER" ] || TARVO_WINESERVER=/usr/lib/wine/wineserver32

wine_loader() {
    case "$1" in
        win32) echo "$TARVO_WINE32_LOADER" ;;
        win64) echo "$TARVO_WINE64_LOADER" ;;
        *) echo "wine-env: unknown architecture '$1' (win32|win64)" >&2; return 2 ;;
    esac
}

# 0: runs; 1: wine for ARCH is not installed; 3: installed, but this machine
# does not execute its loader (a kernel without 32-bit support and no
# emulator registered for 32-bit programs).
wine_can_run() {
    local loader out
    loader="$(wine_loader "$1")" || return 2
    [ -x "$loader" ] || return 1
    out="$("$loader" --version 2>&1)" || true
    case "$out" in
        wine-*) return 0 ;;
        *"Exec format error"*|*"cannot execute binary file"*) return 3 ;;
        *) return 1 ;;
    esac
}

# What the prefix was made for: "win32 win64" when the 32-bit loader ran at
# creation (its syswow64 half set up), "win64" otherwise.
_wine_prefix_kind() {
    if wine_can_run win32; then echo "win32 win64"; else echo "win64"; fi
}

_wine_prefix_current() {
    [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.tarvo-prefix-kind" ] &&
        [ "$(cat "$WINEPREFIX/.tarvo-prefix-kind")" = "$1" ]
}

# Creates the prefix when missing. A prefix made while 32-bit programs could
# not run lacks its 32-bit half (wine then fails with "could not load
# kernel32.dll"), so it is made again once they can.
wine_prefix_ready() {
    local kind
    kind="$(_wine_prefix_kind)"
    _wine_prefix_current "$kind" && return 0
    if [ ! -x "$TARVO_WINE64_LOADER" ]; then
        echo "wine-env: $TARVO_WINE64_LOADER missing (install wine64)" >&2
        return 1
    fi
    (
        # Two tests may start at once on a fresh machine: let one create it.
        exec 9>"$WINEPREFIX.lock"
        flock 9
        if ! _wine_prefix_current "$kind"; then
            local loader="$TARVO_WINE64_LOADER"
            [ "$kind" = "win64" ] || loader="$TARVO_WINE32_LOADER"
            if [ -d "$WINEPREFIX" ]; then
                echo "wine-env: remaking wine prefix $WINEPREFIX for $kind" >&2
                "$TARVO_WINESERVER" -w
                rm -rf "$WINEPREFIX"
            else
                echo "wine-env: creating wine prefix $WINEPREFIX for $kind (once per machine)" >&2
            fi
            WINELOADER="$loader" "$loader" wineboot -i >/dev/null 2>&1
            "$TARVO_WINESERVER" -w
            [ -f "$WINEPREFIX/system.reg" ] && echo "$kind" >"$WINEPREFIX/.tarvo-prefix-kind"
        fi
        _wine_prefix_current "$kind" || { echo "wine-env: could not create $WINEPREFIX" >&2; exit 1; }
    )
}

wine_run() {
    local arch="$1" loader
    shift
    loader="$(wine_loader "$arch")" || return 2
    wine_prefix_ready || return 1
    WINELOADER="$loader" "$loader" "$@"
}

wine_idle() {
    [ -d "$WINEPREFIX" ] && "$TARVO_WINESERVER" -w
    return 0
}
