# Sourced by the scripts that run Windows programs: a private Wine prefix in
# the build tree, Japanese locale, a private X display and a warm wineserver.
# Call wine_start before and wine_stop after.
WAVOSS_ROOT="${WAVOSS_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="${WINEPREFIX:-$WAVOSS_ROOT/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
export WINE_LOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver

wine_start() {
  mkdir -p "$WINEPREFIX"
  if [ -z "${DISPLAY:-}" ] || [ "${WAVOSS_OWN_DISPLAY:-0}" = 1 ]; then
    WAVOSS_OWN_DISPLAY=1
    local n=$(( 90 + RANDOM % 800 ))
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WAVOSS_XVFB_PID=$!
    export DISPLAY=":$n"
    sleep 1
  fi
  # A persistent server whose output goes nowhere: Wine's helpers would
  # otherwise hold ctest's output pipe open and ctest would never finish.
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
  "$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1 || true
  wine_settings
  # The caption buttons are glyphs of Marlett (package fonts-wine), which
  # this Wine finds only among the prefix's own fonts.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp "$marlett" "$fonts/"
  fi
}

# Once per prefix: the dialogs' font "ＭＳ Ｐゴシック" drawn with IPA P Gothic,
# and windows that Wine manages itself. Xvfb has no window manager: Wine would
# wait two seconds for one on every hidden window, and nobody would draw the
# captions that the screenshots show.
wine_settings() {
  local mark="$WINEPREFIX/.wavoss-settings"
  [ -f "$mark" ] && return 0
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f \
    </dev/null >/dev/null 2>&1 || return 0
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || return 0
  touch "$mark"
}

wine_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "${WAVOSS_XVFB_PID:-}" ]; then
    kill "$WAVOSS_XVFB_PID" 2>/dev/null || true
    wait "$WAVOSS_XVFB_PID" 2>/dev/null || true
    unset WAVOSS_XVFB_PID
  fi
}
