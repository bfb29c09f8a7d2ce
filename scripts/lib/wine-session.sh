# Sourced by the scripts that run Windows programs under Wine: a fresh 64-bit Wine prefix and a
# private X server, both removed when the script exits, and no prompt to install Mono or Gecko.
# After `start_wine_session`, $wine runs a Windows program and DISPLAY names the X server.

wine=$(command -v wine64 || command -v wine)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset WAYLAND_DISPLAY

wine_session_xvfb=""
# add_exit_trap <command>: runs the command at exit too, after what the caller's trap runs,
# rather than replacing it; once, however often it is added.
add_exit_trap() {
    local added=$1 words current=""
    words=$(trap -p EXIT)
    if [ -n "$words" ]; then
        eval "set -- $words" # trap -- 'command' EXIT
        current=$3
    fi
    case ";$current;" in *"; $added;"* | ";$added;"*) return 0 ;; esac
    trap "${current:+$current; }$added" EXIT
}

end_wine_session() {
    wineserver -k >/dev/null 2>&1 || true
    # The X server may have died already; that must not stop the clean-up under `set -e`.
    if [ -n "$wine_session_xvfb" ]; then
        kill "$wine_session_xvfb" 2>/dev/null || true
    fi
    wine_session_xvfb=""
    rm -rf "$WINEPREFIX" "$wine_session_display"
}

start_wine_session() {
    WINEPREFIX=$(mktemp -d -t brinmor-wine.XXXXXX)
    wine_session_display=$(mktemp -t brinmor-display.XXXXXX)
    export WINEPREFIX
    add_exit_trap end_wine_session
    # Room for the main window at 200 %.
    Xvfb -displayfd 9 -screen 0 2048x1536x24 -nolisten tcp 9>"$wine_session_display" 2>/dev/null &
    wine_session_xvfb=$!
    local waited=0
    until [ -s "$wine_session_display" ]; do
        sleep 0.1
        waited=$((waited + 1))
        [ $waited -lt 100 ] || { echo "Xvfb did not start" >&2; return 1; }
    done
    export DISPLAY=":$(head -n1 "$wine_session_display")"
    timeout 300 wineboot --init >/dev/null 2>&1 || { echo "wineboot could not set up a Wine prefix" >&2; return 1; }
    return 0
}

# set_wine_logpixels <dots per inch>: the display scale of the programs started from now on
# (96 is 100 %, 120 is 125 %, 144 is 150 %).
set_wine_logpixels() {
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# add_wine_frame_fonts: Wine draws window frames with Marlett and its own dialogs with Tahoma,
# as Windows does, and this Wine looks for them only in the prefix. The tests run without them,
# as in a fresh prefix; the pictures want real frames.
add_wine_frame_fonts() {
    local font
    for font in marlett tahoma tahomabd; do
        if [ -f "/usr/share/wine/fonts/$font.ttf" ]; then
            ln -sf "/usr/share/wine/fonts/$font.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
        fi
    done
}
