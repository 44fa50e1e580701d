# Shared by the Wine scripts: the environment every Windows program of this
# project runs in. Sourced, not run. Expects WINE_ROOT (a folder in the build tree)
# and takes the kind of machine from QUORVANE_WINE_MACHINE: win32 (the default) or
# win64, each with a template prefix of its own.

QUORVANE_WINE_MACHINE=${QUORVANE_WINE_MACHINE:-win32}
case "$QUORVANE_WINE_MACHINE" in
    win32|win64) ;;
    *) echo "wine: unknown machine '$QUORVANE_WINE_MACHINE' (win32 or win64)" >&2; return 1 ;;
esac
export QUORVANE_WINE_MACHINE
export WINEARCH=$QUORVANE_WINE_MACHINE
WINE_TEMPLATE="$WINE_ROOT/template"
if [ "$WINEARCH" = win64 ]; then
    WINE_TEMPLATE="$WINE_ROOT/template-win64"
    # The launcher script would start the 32-bit loader first, which is not
    # there on a machine that cannot run 32-bit code; the 64-bit loader hands a
    # 32-bit program on to it by itself.
    export WINELOADER=/usr/lib/wine/wine64
    wine() { "$WINELOADER" "$@"; }
fi
export WINEDEBUG=${WINEDEBUG:--all}
# ANSI code page 932, as on a Japanese system.
{ export LC_ALL=ja_JP.UTF-8; } 2>/dev/null
# No Mono or Gecko install prompts; saved shortcuts make no menu or desktop
# entries on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine links the prefix's user folders into $HOME: keep that inside the build tree.
export HOME="$WINE_ROOT/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$HOME"

WINE_XVFB_PID=

# Uses the caller's display, or starts a private Xvfb (stopped by wine_stop_display).
wine_start_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local number_file
    number_file=$(mktemp "$WINE_ROOT/xvfb.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    local i
    for i in $(seq 200); do
        [ -s "$number_file" ] && break
        sleep 0.05
    done
    if [ ! -s "$number_file" ]; then
        echo "wine: Xvfb did not start" >&2
        rm -f "$number_file"
        return 1
    fi
    export DISPLAY=":$(tr -d '\n' <"$number_file")"
    rm -f "$number_file"
}

wine_stop_display() {
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=
        unset DISPLAY
    fi
}

# Ends every process of the current WINEPREFIX and waits until its server is gone.
wine_stop_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# The ready-made prefix that every run starts from a copy of; made once per build
# tree and kind of machine.
wine_ensure_template() {
    local template="$WINE_TEMPLATE"
    exec 9>"$template.lock"
    flock 9
    if [ ! -f "$template/.ready" ]; then
        rm -rf "$template"
        (
            export WINEPREFIX="$template"
            wine wineboot -i >/dev/null 2>&1
            # What the installer sees unless a test says otherwise.
            wine reg add 'HKCU\Software\Wine' /v Version /d vista /f >/dev/null 2>&1
            # Without a window manager Wine draws the frames itself, as a user sees them.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
            # The dialogs ask for the usual Japanese UI font; show a free one in its place.
            local face
            for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic'; do
                wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
            done
            for face in 'ＭＳ ゴシック' 'MS Gothic'; do
                wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAGothic /f >/dev/null 2>&1
            done
            wine_stop_prefix
            # This Wine build does not find the fonts it ships; the caption buttons
            # need Marlett, so put them where every Windows program looks.
            cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/" 2>/dev/null || true
        )
        touch "$template/.ready"
    fi
    exec 9>&-
}
