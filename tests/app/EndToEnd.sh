#!/usr/bin/env bash
# Drives the real program on a private X server, as a person would: the splash shows, then the
# main window titled "Brinmor v2.0" with its stored names, and over it the error box for the
# bad port in config.ini. Once that is confirmed and the port mended, a list of names is
# imported through the search list's context menu and the open-file dialog; "Lancer le whois"
# looks them up through a loopback SOCKS 5 proxy that reaches the first whois server and the
# registrar's server it refers to, and the result files are checked byte for byte; "Quitter"
# in the first menu ends the program with exit code 0.
#
# tests/app/EndToEnd.sh <brinmor or brinmor.exe> <splash.bmp> <whois_peers or whois_peers.exe>
#                       [folder name]
# The program runs from a folder of the name given, which also holds the imported list: any
# name, in any script, must work.
# A .exe runs under Wine, from a copy of its folder, on the display and in the prefix that
# DISPLAY and WINEPREFIX name (scripts/wine-test prepares them).
# BRINMOR_E2E_SCALE (1.5 for 150 %) is the display scale the program runs at, as Wine's
# LogPixels or the toolkit's QT_SCALE_FACTOR sets it: windows, places and the splash grow by it.
# Exit code 77 means skipped (no Xvfb or xdotool).
set -uo pipefail

exe=$1
splash_picture=$2
peers=$3
folder_name=${4:-brinmor}
scale=${BRINMOR_E2E_SCALE:-1}
# A length of the window at 100 %, in screen pixels at the scale.
scaled() { awk -v n="$1" -v s="$scale" 'BEGIN { printf "%d", n * s + 0.5 }'; }
splash_width=$(scaled 480) splash_height=$(scaled 256)

for tool in Xvfb xdotool xprop import compare; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/setup installs xvfb, xdotool, x11-utils, imagemagick)"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
peers_pid=""
cleanup() {
    exec 4>&- # the peers end when their input closes
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$peers_pid" ] && kill "$peers_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
app=$work/$folder_name
mkdir "$app"

fail() {
    echo "FAILED: $*"
    [ -f "$work/app.log" ] && sed 's/^/  brinmor: /' "$work/app.log"
    import -window root "${BRINMOR_E2E_SCREEN:-/dev/null}" 2>/dev/null
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
if [[ $exe == *.exe ]]; then
    wine=$(command -v wine64 || command -v wine)
    # The program's folder, as unpacked from the release, holds its libraries and plugins.
    cp -r "$(dirname "$exe")"/. "$app"/
    program=("$wine" "$app/brinmor.exe")
    peers_command=("$wine" "$peers")
    class_name='^brinmor\.exe$'
else
    cp "$exe" "$app/brinmor"
    program=("$app/brinmor")
    peers_command=("$peers")
    class_name='^brinmor$'
fi
mkdir -p "$app/result"
printf '09/12/2026 08:00:00\r\n\r\nDomain Name: ZULU.TEST\r\n' >"$app/result/zulu.test.dns"
printf '09/12/2026 08:01:00\r\n\r\nDomain Name: ALPHA.TEST\r\n' >"$app/result/Alpha.test.dns"
printf 'bravo.test\r\ncharlie.test\r\ndelta.test\r\n' >"$app/names.txt"

# The whois servers and the proxy, on loopback.
mkfifo "$work/peers.in"
"${peers_command[@]}" <"$work/peers.in" >"$work/peers.out" 2>"$work/peers.log" &
peers_pid=$!
exec 4>"$work/peers.in"
proxy_port() { grep -Eq '^[0-9]+' "$work/peers.out"; }
wait_until 60 proxy_port || fail "the whois peers did not start: $(cat "$work/peers.log")"
port=$(grep -Eo '^[0-9]+' "$work/peers.out" | head -n1)
proxy_settings() {
    printf '[proxy]\r\nuseit=oui\r\nadresse=127.0.0.1\r\nport=%s\r\nlogin=\r\npassword=\r\n' "$1" \
        >"$app/config.ini"
}
proxy_settings abc

if [[ $exe == *.exe ]]; then
    # Wine's desktop belongs to the X server the prefix was started on.
    [ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ] || fail "Wine needs DISPLAY and WINEPREFIX"
else
    # A private X server on the first free display.
    Xvfb -displayfd 9 -screen 0 "$([ "$scale" = 1 ] && echo 1024x768x24 || echo 2048x1536x24)" \
        -nolisten tcp 9>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$work/display")"
    export QT_QPA_PLATFORM=xcb
    [ "$scale" = 1 ] || export QT_SCALE_FACTOR=$scale
fi
# A sanitizer build checks leaks at exit; what the font and message-bus libraries never free
# is not ours.
printf 'leak:libfontconfig.so\nleak:libdbus-1.so\n' >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp:print_suppressions=0"

launched=$(date +%s%N)
# Started in its own folder, where the open-file dialog then starts too.
(cd "$app" && exec "${program[@]}") >"$work/app.log" 2>&1 &
app_pid=$!

visible() { xdotool search --onlyvisible --classname "$class_name" 2>/dev/null; }
geometry() { xdotool getwindowgeometry --shell "$1"; } # X Y WIDTH HEIGHT
main_window() { xdotool search --onlyvisible --name '^Brinmor v2\.0$' 2>/dev/null | head -n1; }
splash_window() {
    local w
    for w in $(visible); do
        (eval "$(geometry "$w")" && [ "$WIDTH" = "$splash_width" ] &&
            [ "$HEIGHT" = "$splash_height" ]) && echo "$w"
    done
}
splash_shown() { [ -n "$(splash_window)" ]; }
main_shown() { [ -n "$(main_window)" ]; }
error_box() { # the splash may bear the application's title too
    local w
    for w in $(xdotool search --onlyvisible --name '^Brinmor$' 2>/dev/null); do
        (eval "$(geometry "$w")" && [ "$WIDTH" != "$splash_width" ] ||
            [ "$HEIGHT" != "$splash_height" ]) && echo "$w"
    done | head -n1
}
box_shown() { [ -n "$(error_box)" ]; }
box_gone() { ! box_shown; }

# The splash: centred on the screen (within a pixel, where the scale rounds), already painted,
# and alone.
wait_until 30 splash_shown || fail "no splash window"
[ -z "$(main_window)" ] || fail "the main window is shown with the splash"
# Another of the program's windows may go away while the windows are listed: list again.
splash_measured() {
    local w
    w=$(splash_window | head -n1)
    [ -n "$w" ] && eval "$(geometry "$w" 2>/dev/null)" && [ -n "${X:-}" ]
}
wait_until 5 splash_measured || fail "the splash window could not be measured"
read -r screen_width screen_height < <(xdotool getdisplaygeometry)
centred=$(((screen_width - splash_width) / 2)),$(((screen_height - splash_height) / 2))
awk -v at="$X,$Y" -v c="$centred" -v s="$scale" 'BEGIN {
        split(at, a, ","); split(c, b, ","); d = s == 1 ? 0 : 1
        exit !((a[1] - b[1]) ^ 2 <= d && (a[2] - b[2]) ^ 2 <= d) }' ||
    fail "splash at $X,$Y, expected $centred"
# At another scale, the bitmap as the toolkit enlarges it, smoothly; its rounding differs from
# ImageMagick's by a level or two.
convert "$splash_picture" -filter Triangle -resize "${splash_width}x$splash_height!" \
    "$work/expected-splash.png"
# A busy X server may draw the picture a moment after it maps the window: wait for it, within
# the splash's three seconds.
splash_painted() {
    import -window root -crop "${splash_width}x$splash_height+$X+$Y" +repage "$work/splash.png"
    differing=$(compare -metric AE -fuzz "$([ "$scale" = 1 ] && echo 0 || echo 2%)" \
        "$work/splash.png" "$work/expected-splash.png" null: 2>&1)
    [ "$differing" = 0 ]
}
wait_until 3 splash_painted ||
    fail "the splash on screen differs from its picture in $differing pixels"
echo "splash shown at $X,$Y and painted"

# The first activation reports the bad port; its box comes with the main window on screen
# behind it, not alone. Return confirms it.
wait_until 20 box_shown || fail "no error box for the bad port"
main_shown || fail "the error box is up before the main window is on screen"
echo "main window on screen $((($(date +%s%N) - launched) / 1000000)) ms after launch (the splash's 3000 ms included)"
echo "error box shown over the main window"
xdotool key Return
wait_until 5 box_gone || fail "the error box did not close on Return"
# The run reads the settings again when it starts.
proxy_settings "$port"

# The main window, once the splash has gone.
wait_until 30 main_shown || fail "no main window"
splash_shown && fail "the splash is still shown with the main window"
main=$(main_window)
title=$(xdotool getwindowname "$main")
[ "$title" = "Brinmor v2.0" ] || fail "main window titled '$title'"
echo "main window titled '$title'"
if [[ $exe != *.exe ]] && [ "$scale" = 1 ]; then
    # Wine hands the window system only the sizes Windows asks for; the icon's own images
    # are checked in the executable there. A scaled toolkit offers sizes to match.
    icons=$(xprop -id "$main" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
    [ "$icons" = "Icon (64 x 64) Icon (32 x 32) Icon (16 x 16) " ] || fail "window icons: $icons"
    echo "window icon in 64, 32 and 16 pixels"
fi

# Places in the main window's client area, whose origin is where the X window starts, given at
# 100 %.
eval "$(geometry "$main")"
main_x=$X main_y=$Y
# The client area is 699 x 598 at 100 %, and that times the scale within two pixels.
awk -v w="$WIDTH" -v h="$HEIGHT" -v s="$scale" \
    'BEGIN { exit !((w - 699 * s) ^ 2 <= 4 && (h - 598 * s) ^ 2 <= 4) }' ||
    fail "main window ${WIDTH}x$HEIGHT, expected $(scaled 699)x$(scaled 598)"
echo "main window ${WIDTH}x$HEIGHT"
# The screen's part of a region of the main window given at 100 %: x y width height.
region() {
    echo "$(scaled "$3")x$(scaled "$4")+$((main_x + $(scaled "$1")))+$((main_y + $(scaled "$2")))"
}
darkest() { # darkest grey level (0 to 1) in a region of the main window: x y width height
    import -window root -crop "$(region "$@")" +repage \
        -colorspace gray -format '%[fx:minima]' info:
}
dark() { awk "BEGIN { exit !($(darkest "$@") < 0.4) }"; }
# Lines of text in a region of the main window (x y width height): runs of pixel rows with
# some ink; a row that is mostly ink is a line drawn across, such as a focus frame, not text.
text_lines() {
    import -window root -crop "$(region "$@")" +repage png:- |
        convert png:- -colorspace gray -threshold 60% -scale "1x$(scaled "$4")!" -depth 8 txt:- |
        awk -F'[()]' 'NR > 1 { v = $2 + 0; ink = v >= 150 && v < 250; if (ink && !was) n++; was = ink }
                      END { print n + 0 }'
}
light() { awk "BEGIN { exit !($(darkest "$@") > 0.6) }"; }
click() {
    xdotool mousemove --sync $((main_x + $(scaled "$1"))) $((main_y + $(scaled "$2"))) \
        click "${3:-1}"
}
other_window() {
    local w
    for w in $(visible); do [ "$w" != "$main" ] && echo "$w"; done | tail -n1
}
other_shown() { [ -n "$(other_window)" ]; }
no_other_shown() { [ -z "$(other_window)" ]; }
# Clicks the item of a just-opened menu window whose share of the height is given (0 to 1).
click_menu_item() {
    wait_until 10 other_shown || fail "the $1 did not open"
    eval "$(geometry "$(other_window)")"
    xdotool mousemove --sync $((X + $(scaled 30))) \
        "$(awk "BEGIN { print int($Y + $HEIGHT * $2) }")" click 1
}

# Stored names are listed: the stored-name list (lower left) holds text, the empty search
# list above it holds none.
wait_until 10 dark 8 272 150 28 || fail "the stored-name list shows no names"
light 8 64 150 100 || fail "the search list is not empty"
echo "stored names listed"
if awk -v s="$scale" 'BEGIN { exit s == int(s) }'; then
    # Between whole scales the letters are outlines, with soft edges, not the strike's pixels.
    greys=$(import -window root -crop "$(region 8 272 150 28)" +repage -colorspace gray \
        -format '%k' info:)
    [ "$greys" -gt 2 ] || fail "the stored names are drawn in $greys grey levels: not outlines"
    echo "stored names drawn in outlines ($greys grey levels)"
fi

# The search list's context menu, its last item "Importer", then the file's path typed into
# the open-file dialog.
click 100 100 3
click_menu_item "context menu" 0.87
wait_until 20 other_shown || fail "the open-file dialog did not open"
# Typing goes where the focus is: wait until Qt's dialog has it (Wine gives the focus to a
# window of its own inside the dialog).
dialog=$(other_window)
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$dialog" ]; }
if [[ $exe != *.exe ]]; then
    wait_until 20 has_focus || fail "the open-file dialog did not take the focus"
fi
# xdotool types a letter the keyboard lacks by remapping a key for a moment, and a busy
# program can read the key after the mapping is gone: so nothing typed holds such a letter.
# The dialog starts in the program's folder, so it takes the bare file name, and it still
# hands back the whole path through the folder named as given.
xdotool type --delay 20 names.txt
xdotool key Return
wait_until 20 no_other_shown || fail "the open-file dialog did not close"
# The import lets the window work after each line: the run must wait for the third.
three_names() { [ "$(text_lines 8 40 150 140)" = 3 ]; }
wait_until 30 three_names || fail "the search list shows $(text_lines 8 40 150 140) lines, not 3"
echo "names imported"

# "Lancer le whois": every name through the proxy, with the referral.
click 108 222
done_run() {
    local n
    for n in bravo.test charlie.test delta.test; do [ -f "$app/result/$n.dns" ] || return 1; done
    light 8 64 150 100
}
wait_until 60 done_run || fail "the run did not store every result: $(ls "$app/result")"
for n in bravo.test charlie.test delta.test; do
    file=$app/result/$n.dns
    # The date and time in the user's regional format.
    head -n1 "$file" | grep -Eq '^[0-9][0-9A-Za-z/.: -]*:[0-9A-Za-z/.: -]*'$'\r''$' ||
        fail "$n: date line $(head -n1 "$file" | od -c)"
    printf '\r\nDomain Name: %s\r\nRegistrant:\r\nCaf\xe9 Corbelin\r\r\n\r\n' "$n" >"$work/expected"
    tail -n +2 "$file" | cmp -s - "$work/expected" ||
        fail "$n: stored $(tail -n +2 "$file" | od -c | head -n 8)"
done
echo "three names looked up through the proxy with their referral, stored byte for byte"

# "Nom de domaine", then its last item "Quitter".
click 30 10
click_menu_item "menu" 0.9

timeout 30 tail --pid="$app_pid" -f /dev/null || fail "the program did not end after Quitter"
wait "$app_pid"
code=$?
app_pid=""
[ "$code" = 0 ] || fail "exit code $code"
echo "Quitter ended the program with exit code 0"
