#!/bin/sh
# Runs a cross-built Windows program under Wine, headless and quiet, in a private prefix.
#
#   wine-run.sh PREFIX PROGRAM [ARGS...]   run PROGRAM; its exit code passes through (a crash gives 5)
#   wine-run.sh PREFIX --start-server      make sure a persistent Wine server runs for PREFIX
#   wine-run.sh PREFIX --stop-server       stop that server and every Wine process of PREFIX
#
# PREFIX is created on first use, once, under a lock, so parallel runs can share it. The CMake toolchain
# names this script as the cross-compiling emulator; ctest starts and stops the server as a test fixture.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 PREFIX PROGRAM [ARGS...] | PREFIX --start-server | PREFIX --stop-server" >&2
    exit 2
fi
prefix=$1
shift

# Debian keeps the 64-bit loader and server off PATH.
find_tool() {
    for candidate in "$@"; do
        if [ -x "$candidate" ]; then
            echo "$candidate"
            return 0
        fi
        if command -v "$candidate" >/dev/null 2>&1; then
            command -v "$candidate"
            return 0
        fi
    done
    return 1
}
wine=$(find_tool "${VELMORA_WINE:-}" /usr/lib/wine/wine64 wine64) || {
    echo "$0: the 64-bit Wine loader was not found (Debian: apt-get install wine wine64)" >&2
    exit 127
}
# Not Debian's wineserver wrapper: it forces -p0 and would drop the persistent server's timeout.
wineserver=$(find_tool "${VELMORA_WINESERVER:-}" /usr/lib/wine/wineserver64 wineserver) || {
    echo "$0: wineserver was not found (Debian: apt-get install wine64)" >&2
    exit 127
}

export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No .NET or HTML engine installers, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# Headless: nothing may open a window on a desktop the caller happens to have. Tests of real windows
# name the private X server's display in VELMORA_X_DISPLAY_FILE (cmake/xvfb.sh).
unset DISPLAY WAYLAND_DISPLAY
if [ -n "${VELMORA_X_DISPLAY_FILE:-}" ] && [ -s "$VELMORA_X_DISPLAY_FILE" ]; then
    DISPLAY=":$(cat "$VELMORA_X_DISPLAY_FILE")"
    export DISPLAY
fi

# Wine's helper processes inherit the standard streams of whoever starts them; detached, they never keep
# a caller's pipe open (ctest would wait for them), nor the prefix lock (descriptor 9).
detached() {
    "$@" </dev/null >/dev/null 2>&1 9>&-
}

ensure_prefix() {
    if [ -f "$prefix/.velmora-ready" ]; then
        return 0
    fi
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.velmora-ready" ]; then
            echo "wine-run: creating the Wine prefix $prefix (log: $prefix.log)" >&2
            # An interrupted creation leaves a partial prefix: start again, but never empty a folder
            # that is not a Wine prefix.
            if [ -f "$prefix/system.reg" ] || [ -d "$prefix/drive_c" ]; then
                rm -rf "$prefix"
            elif [ -e "$prefix" ] && [ -n "$(ls -A "$prefix")" ]; then
                echo "wine-run: $prefix exists and is not a Wine prefix" >&2
                exit 1
            fi
            {
                "$wine" wineboot -i &&
                    # A crash prints a backtrace and exits; it never waits on a dialog.
                    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
                    # Without a window manager, an unmanaged top-level window is destroyed at once
                    # instead of after a 2 s wait for one.
                    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
                    "$wineserver" -w
            } </dev/null >"$prefix.log" 2>&1 9>&- || {
                echo "wine-run: creating the Wine prefix failed, see $prefix.log" >&2
                exit 1
            }
            touch "$prefix/.velmora-ready"
        fi
    ) 9>"$prefix.lock"
}

# A persistent server with its output detached: without it every program start pays for a server and the
# prefix's services, and those inherit the program's streams, so a caller reading them (ctest, test
# discovery) waits for the services to exit. The server leaves on its own a while after its last
# program, so nothing outlives a build for long.
ensure_server() {
    # Under the prefix lock: a second caller must not start its program, and with it the services on
    # its own streams, while the first is still starting them.
    (
        flock 9
        if detached "$wineserver" "-p$1"; then
            # This call started it (an already running server makes the call fail at once): start the
            # services now, detached, instead of inside the first program.
            detached "$wine" cmd /c exit || true
        fi
    ) 9>"$prefix.lock"
}

case "$1" in
--start-server)
    ensure_prefix
    # A server left by the build may be about to time out just as the tests start; replace it with one
    # that outlasts the test run (the fixture's --stop-server ends it).
    detached "$wineserver" -k || true
    detached "$wineserver" -w || true
    ensure_server 600
    ;;
--stop-server)
    if [ -f "$prefix/.velmora-ready" ]; then
        detached "$wineserver" -k || true
        detached "$wineserver" -w || true
    fi
    ;;
*)
    ensure_prefix
    ensure_server 60
    exec "$wine" "$@"
    ;;
esac
