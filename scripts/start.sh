#!/usr/bin/env bash
# Sets up, builds and starts Wavoss: the Windows program under Wine when a
# display is there, otherwise it explains the command-line front end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
JOBS=$(nproc 2>/dev/null || echo 2)
# Trees configured before the presets moved to Ninja are configured afresh.
for d in build/native build/win64; do
  if [ -f "$d/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$d/CMakeCache.txt"; then
    rm -rf "$d/CMakeCache.txt" "$d/CMakeFiles"
  fi
done
cmake --preset native >/dev/null && cmake --build --preset native -j "$JOBS" >/dev/null
cmake --preset win64 >/dev/null && cmake --build --preset win64 -j "$JOBS" >/dev/null
EXE=build/win64/ui/Wavoss.exe
if [ -z "${DISPLAY:-}" ] || [ ! -f "$EXE" ]; then
  echo "No display here (or no Windows program built): use the command line instead:"
  echo "  build/native/cli/wavoss-split -l 00:03:00 -o OUTPUT_FOLDER FILE_OR_FOLDER..."
  echo "  build/native/cli/wavoss-split --help"
  exit 0
fi
# A prefix of its own (the tests' prefix lets Wine manage the windows, which
# suits Xvfb but not a desktop), in Japanese, with the dialogs' font drawn by
# IPA P Gothic.
export WINEPREFIX="$(pwd)/build/wineprefix-start" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/.wavoss-font" ]; then
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f \
    </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.wavoss-font"
fi
exec "$WINE" "$EXE"
