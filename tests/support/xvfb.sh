#!/usr/bin/env bash
# A virtual X display for the tests that show a window (a message box is
# ended by the test itself). Usage:
#   xvfb.sh start DIR    start Xvfb on a free display, note it in DIR
#   xvfb.sh stop DIR     stop the Xvfb started in DIR
#   xvfb.sh run DIR CMD  run CMD with DISPLAY set to that display (unset
#                        when no Xvfb could be started)
set -uo pipefail
action=$1 dir=$2
shift 2
case $action in
start)
    mkdir -p "$dir"
    rm -f "$dir/display" "$dir/pid"
    if command -v Xvfb >/dev/null; then
        # Xvfb picks a free display and writes its number to fd 3.
        Xvfb -displayfd 3 -nolisten tcp >/dev/null 2>&1 3>"$dir/display" &
        echo $! >"$dir/pid"
        for _ in $(seq 50); do [ -s "$dir/display" ] && break; sleep 0.1; done
    fi
    exit 0 ;;
stop)
    [ -s "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null
    rm -f "$dir/display" "$dir/pid"
    exit 0 ;;
run)
    if [ -s "$dir/display" ]; then export DISPLAY=":$(tr -d '\n' <"$dir/display")"; else unset DISPLAY; fi
    exec "$@" ;;
esac
echo "xvfb.sh: unknown action $action" >&2
exit 2
