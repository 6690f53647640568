#!/usr/bin/env bash
# Drives the widget demonstration window on a real X server (Xvfb) with xdotool, as the
# end-to-end tests drive the program: mouse clicks, Enter and Shift+Enter navigation, Space,
# an Alt accelerator, a press that is released outside, and Escape through the key preview.
# Usage: xdotool_demo_test.sh <path of widgets_demo>. Exits 77 (skipped) without Xvfb.
set -u
demo="$1"
for tool in Xvfb xdotool; do
    command -v "$tool" > /dev/null || { echo "skipped: $tool missing"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=""
demo_pid=""
cleanup() {
    [ -n "$demo_pid" ] && kill "$demo_pid" 2> /dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display number of its own, so that parallel runs never collide.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"

QT_QPA_PLATFORM=xcb "$demo" > "$work/out" 2> "$work/err" &
demo_pid=$!
if ! timeout 20 xdotool search --sync --onlyvisible --name '^Widgets$' > /dev/null; then
    echo "the demo window did not appear"; cat "$work/err"; exit 1
fi
sleep 0.5

failures=0
# Waits until the output holds the line at least n times (default once).
expect_line() {
    local line="$1" n="${2:-1}"
    for _ in $(seq 100); do
        [ "$(grep -cxF "$line" "$work/out")" -ge "$n" ] && return 0
        sleep 0.05
    done
    echo "FAILED: expected \"$line\" ($n times)"; failures=$((failures + 1))
}
expect_count() {
    local line="$1" n="$2" got
    got=$(grep -cxF "$line" "$work/out")
    [ "$got" -eq "$n" ] && return 0
    echo "FAILED: \"$line\" seen $got times, expected $n"; failures=$((failures + 1))
}

# Button positions inside the window (the window sits at the screen's origin).
xdotool mousemove 50 30 click 1
expect_line "click FlatButton4"
expect_line "focus FlatButton4"

xdotool key Return
expect_line "keydown FlatButton4 13"
expect_line "focus FlatButton2"
expect_count "preview 13" 0
expect_count "click FlatButton4" 1

xdotool key shift+Return
expect_line "focus FlatButton4" 2

xdotool key space
expect_line "click FlatButton4" 2

xdotool key alt+l
expect_line "click FlatButton3"

# Pressed on "ändern", released below it: no click; pressed, out and back in: a click.
xdotool mousemove 190 30 mousedown 1
sleep 0.2
xdotool mousemove 190 100
sleep 0.2
xdotool mouseup 1
sleep 0.3
expect_count "click FlatButton2" 0
xdotool mousemove 190 30 mousedown 1
sleep 0.2
xdotool mousemove 190 100
sleep 0.2
xdotool mousemove 200 35
sleep 0.2
xdotool mouseup 1
expect_line "click FlatButton2"

xdotool key Escape
expect_line "preview 27"
for _ in $(seq 100); do
    kill -0 "$demo_pid" 2> /dev/null || break
    sleep 0.05
done
if kill -0 "$demo_pid" 2> /dev/null; then
    echo "FAILED: Escape did not close the window"; failures=$((failures + 1))
else
    demo_pid=""
fi

if [ "$failures" -ne 0 ]; then
    echo "--- demo output"; cat "$work/out"; echo "--- demo errors"; cat "$work/err"
    exit 1
fi
echo "xdotool drove the widgets as expected"
