#!/bin/sh
# A private X server for tests of real windows, started and stopped as a ctest fixture.
#
#   xvfb.sh start DIR   starts Xvfb on a display it picks itself; writes the display's number to
#                       DIR/display and the server's process id to DIR/pid
#   xvfb.sh stop DIR    stops that server, by its process id
#
# Tests take the display from DIR/display, never from the caller's DISPLAY.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi
dir=$2

stop() {
    if [ -f "$dir/pid" ]; then
        pid=$(cat "$dir/pid")
        kill "$pid" 2>/dev/null || true
        # Gone within a few seconds, or made to go.
        for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$dir/pid" "$dir/display"
    fi
}

case "$1" in
start)
    command -v Xvfb >/dev/null 2>&1 || {
        echo "$0: Xvfb was not found (Debian: apt-get install xvfb; scripts/install-deps.sh)" >&2
        exit 1
    }
    mkdir -p "$dir"
    stop
    # -displayfd: the server picks a free display and writes its number once it accepts clients.
    # -noreset: no reset when the last client leaves, which would refuse the next test's connection for a
    # moment. All streams detached, so ctest does not wait for the server.
    Xvfb -displayfd 3 -noreset -screen 0 640x480x24 -nolisten tcp 3>"$dir/display.new" </dev/null \
        >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/pid"
    for _ in $(seq 1 100); do
        if [ -s "$dir/display.new" ]; then
            mv "$dir/display.new" "$dir/display"
            echo "Xvfb on display :$(cat "$dir/display"), process $(cat "$dir/pid")"
            exit 0
        fi
        kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
        sleep 0.1
    done
    echo "$0: Xvfb did not start; its log:" >&2
    cat "$dir/xvfb.log" >&2
    stop
    exit 1
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
