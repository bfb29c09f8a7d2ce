#!/usr/bin/env bash
# Drives the real brinmor executable on a private X server, as a person would: the splash
# shows, then the main window titled "Brinmor v2.0" with its stored names, and over it the
# error box for the bad port in config.ini; once that is confirmed, a click on the menu
# "Nom de domaine" and one on "Quitter" end the program with exit code 0. The window carries
# the program icon in its three sizes.
#
# tests/app/EndToEnd.sh <brinmor executable> <splash.bmp>
# Exit code 77 means skipped (no Xvfb or xdotool).
set -uo pipefail

exe=$1
splash_picture=$2

for tool in Xvfb xdotool xprop import compare; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/setup installs xvfb, xdotool, x11-utils, imagemagick)"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*"
    [ -f "$work/app.log" ] && sed 's/^/  brinmor: /' "$work/app.log"
    exit 1
}

# Polls a condition until it holds or the seconds run out.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# The program keeps its results in result/ beside the executable.
cp "$exe" "$work/brinmor"
mkdir "$work/result"
printf '09/12/2026 08:00:00\r\n\r\nDomain Name: ZULU.TEST\r\n' >"$work/result/zulu.test.dns"
printf '09/12/2026 08:01:00\r\n\r\nDomain Name: ALPHA.TEST\r\n' >"$work/result/Alpha.test.dns"
printf '[proxy]\r\nport=abc\r\n' >"$work/config.ini"

# A private X server on the first free display.
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
# A sanitizer build checks leaks at exit; what the font and message-bus libraries never free
# is not ours.
printf 'leak:libfontconfig.so\nleak:libdbus-1.so\n' >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp:print_suppressions=0"

"$work/brinmor" >"$work/app.log" 2>&1 &
app_pid=$!

visible() { xdotool search --onlyvisible --classname '^brinmor$' 2>/dev/null; }
geometry() { xdotool getwindowgeometry --shell "$1"; } # X Y WIDTH HEIGHT
main_window() { xdotool search --onlyvisible --name '^Brinmor v2\.0$' 2>/dev/null | head -n1; }
splash_window() {
    local w
    for w in $(visible); do
        (eval "$(geometry "$w")" && [ "$WIDTH" = 480 ] && [ "$HEIGHT" = 256 ]) && echo "$w"
    done
}
splash_shown() { [ -n "$(splash_window)" ]; }
main_shown() { [ -n "$(main_window)" ]; }
error_box() { xdotool search --onlyvisible --name '^Brinmor$' 2>/dev/null | head -n1; }
box_shown() { [ -n "$(error_box)" ]; }
box_gone() { ! box_shown; }

# The splash: centred on the 1024 x 768 screen, already painted, and alone.
wait_until 15 splash_shown || fail "no splash window"
[ -z "$(main_window)" ] || fail "the main window is shown with the splash"
eval "$(geometry "$(splash_window)")"
[ "$X,$Y" = "272,256" ] || fail "splash at $X,$Y, expected 272,256"
import -window root -crop "480x256+$X+$Y" +repage "$work/splash.png"
differing=$(compare -metric AE "$work/splash.png" "$splash_picture" null: 2>&1)
[ "$differing" = 0 ] || fail "the splash on screen differs from its picture in $differing pixels"
echo "splash shown at $X,$Y and painted"

# The first activation reports the bad port; its box comes with the main window on screen
# behind it, not alone. Return confirms it.
wait_until 20 box_shown || fail "no error box for the bad port"
main_shown || fail "the error box is up before the main window is on screen"
echo "error box shown over the main window"
xdotool key Return
wait_until 5 box_gone || fail "the error box did not close on Return"

# The main window, once the splash has gone.
wait_until 20 main_shown || fail "no main window"
splash_shown && fail "the splash is still shown with the main window"
main=$(main_window)
title=$(xdotool getwindowname "$main")
[ "$title" = "Brinmor v2.0" ] || fail "main window titled '$title'"
echo "main window titled '$title'"
icons=$(xprop -id "$main" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[ "$icons" = "Icon (64 x 64) Icon (32 x 32) Icon (16 x 16) " ] || fail "window icons: $icons"
echo "window icon in 64, 32 and 16 pixels"

# Stored names are listed: the stored-name list (lower left) holds text, the empty search
# list above it holds none.
eval "$(geometry "$main")"
main_x=$X main_y=$Y
darkest() { # darkest grey level (0 to 1) in a region of the main window: x y width height
    import -window root -crop "$3x$4+$((main_x + $1))+$((main_y + $2))" +repage \
        -colorspace gray -format '%[fx:minima]' info:
}
names_listed() { awk "BEGIN { exit !($(darkest 8 272 150 28) < 0.4) }"; }
wait_until 5 names_listed || fail "the stored-name list shows no names"
awk "BEGIN { exit !($(darkest 8 64 150 100) > 0.6) }" || fail "the search list is not empty"
echo "stored names listed"

# "Nom de domaine", then its last item "Quitter".
xdotool mousemove --sync $((main_x + 30)) $((main_y + 10)) click 1
menu_window() {
    local w
    for w in $(visible); do [ "$w" != "$main" ] && echo "$w"; done | head -n1
}
menu_shown() { [ -n "$(menu_window)" ]; }
wait_until 5 menu_shown || fail "the menu did not open"
eval "$(geometry "$(menu_window)")"
xdotool mousemove --sync $((X + 30)) $((Y + HEIGHT - HEIGHT / 10)) click 1

timeout 15 tail --pid="$app_pid" -f /dev/null || fail "the program did not end after Quitter"
wait "$app_pid"
code=$?
app_pid=""
[ "$code" = 0 ] || fail "exit code $code"
echo "Quitter ended the program with exit code 0"
