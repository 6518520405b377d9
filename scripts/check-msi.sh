#!/usr/bin/env bash
# Installs the Windows Installer package under Wine as a user would
# (msiexec /i ... /qn), checks the files against the archive's, the Start-menu
# shortcut and the entry among the installed programs, replaces it with a newer
# version, then removes it (msiexec /x ... /qn) with the logs the program
# wrote beside itself, and checks that nothing of it stays and nothing else
# goes. Wine here runs 64-bit programs only: the installed (32-bit) program is
# started only where a 32-bit Wine is there.
# Usage: scripts/check-msi.sh dist/Wavoss-<version>.msi dist/Wavoss-<version>-win32.zip
set -euo pipefail
cd "$(dirname "$0")/.."
MSI=$(realpath "$1")
ZIP=$(realpath "$2")
fail() { echo "check-msi: $*" >&2; exit 1; }

source scripts/wine-env.sh
# No menu entries on this machine for the shortcut the package creates.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
SCRATCH=$(mktemp -d)
trap 'wine_stop; rm -rf "$SCRATCH"' EXIT
wine_start
wine() { "$WINE_LOADER" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
unix_path() { wine winepath -u "$(wine cmd /c echo "%$1%")"; }
products() { wine uninstaller --list | sed -n 's/^\({[-0-9A-F]*}\)|||Wavoss$/\1/p'; }
msiexec() { "$WINE_LOADER" msiexec "$@" /qn </dev/null >/dev/null 2>&1; }

APP=$(unix_path LOCALAPPDATA)/Programs/Wavoss
LINK=$(unix_path APPDATA)/Microsoft/Windows/Start\ Menu/Programs/Wavoss.lnk
# What an earlier, failed run left in this test prefix.
for code in $(products); do msiexec /x "$code" || true; done
rm -rf "$APP"
PROGRAMS_BEFORE=$(ls -A "$(dirname "$APP")" 2>/dev/null || echo absent)

msiexec /i "$(wine winepath -w "$MSI")" || fail "msiexec /i failed"
python3 - "$ZIP" "$APP" <<'PY' || fail "installed files differ from the archive's"
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    for info in archive.infolist():
        name = info.filename.encode("cp437").decode("cp932")
        with open(os.path.join(sys.argv[2], name), "rb") as f:
            assert f.read() == archive.read(info), name
    assert len(os.listdir(sys.argv[2])) == len(archive.infolist()), os.listdir(sys.argv[2])
PY
# Windows sums the package's file sizes for the size it lists.
msiinfo export "$MSI" File | awk -F'\t' 'NR > 3 { print $3, $4 }' | while read -r name size; do
  [ "$(stat -c %s "$APP/${name#*|}")" = "$size" ] || fail "File table gives $name $size bytes"
done
[ -f "$LINK" ] || fail "no Start-menu shortcut $LINK"
python3 - "$LINK" <<'PY' || fail "the shortcut does not lead to Wavoss.exe"
import sys
data = open(sys.argv[1], "rb").read()
assert "Programs\\Wavoss\\Wavoss.exe".encode("utf-16-le") in data or b"Programs\\Wavoss\\Wavoss.exe" in data
PY
CODE=$(products)
[ "$(wc -w <<<"$CODE")" = 1 ] || fail "installed programs list Wavoss ${CODE:-nowhere}"
VERSION=$(msiinfo export "$MSI" Property | sed -n 's/^ProductVersion\t//p' | tr -d '\r')
entry() { # value: from the entry under the uninstall key, 32- or 64-bit view
  local key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$CODE" view
  for view in 32 64; do
    wine reg query "$key" /v "$1" /reg:$view | sed -n "s/^ *$1 *REG_[A-Z_]* *//p" | grep . && return
  done
}
[ "$(entry DisplayVersion)" = "$VERSION" ] || fail "installed programs list version $(entry DisplayVersion)"

if [ -x /usr/lib/wine/wine ]; then
  /usr/lib/wine/wine "$(wine winepath -w "$APP/wavoss-split.exe")" --version </dev/null 2>/dev/null |
    tr -d '\r' | grep -qx "wavoss-split $VERSION" || fail "the installed wavoss-split.exe does not run"
else
  echo "msi: no 32-bit Wine here: the installed programs are not started"
fi

# A newer version (another product code, same upgrade code) replaces it.
NEWER=$SCRATCH/newer.msi
cp "$MSI" "$NEWER"
NEXT=${VERSION%.*}.$((${VERSION##*.} + 1))
msibuild "$NEWER" -q "UPDATE \`Property\` SET \`Value\` = '$NEXT' WHERE \`Property\` = 'ProductVersion'" \
  -q "UPDATE \`Property\` SET \`Value\` = '{$(cat /proc/sys/kernel/random/uuid | tr a-z A-Z)}' WHERE \`Property\` = 'ProductCode'"
msiexec /i "$(wine winepath -w "$NEWER")" || fail "msiexec /i of a newer version failed"
CODE=$(products)
[ "$(wc -w <<<"$CODE")" = 1 ] && [ "$(entry DisplayVersion)" = "$NEXT" ] ||
  fail "after the upgrade, installed programs list ${CODE:-nothing} $(entry DisplayVersion)"
[ -f "$APP/Wavoss.exe" ] || fail "the upgrade lost Wavoss.exe"

# The program's logs go with it; a file of the user's stays.
printf 'trace\r\n' >"$APP/TraceFile.txt"
printf 'conflict\r\n' >"$APP/ConflictFile.txt"
printf 'mine\r\n' >"$APP/memo.txt"
msiexec /x "$(wine winepath -w "$NEWER")" || fail "msiexec /x failed"
[ "$(ls -A "$APP")" = memo.txt ] || fail "left in $APP: $(ls -A "$APP" | tr '\n' ' ')"
rm -r "$APP"
[ ! -e "$LINK" ] || fail "the shortcut stayed"
[ -z "$(products)" ] || fail "installed programs still list Wavoss"
wine reg query 'HKCU\Software\Wavoss' >/dev/null && fail "HKCU\\Software\\Wavoss stayed"
[ "$PROGRAMS_BEFORE" != absent ] || rmdir "$(dirname "$APP")"
[ "$(ls -A "$(dirname "$APP")" 2>/dev/null || echo absent)" = "$PROGRAMS_BEFORE" ] ||
  fail "the user's programs folder changed"
echo "msi: $(basename "$MSI") installs per user (files, shortcut, entry $VERSION), upgrades to $NEXT, uninstalls cleanly"
