#!/usr/bin/env bash
# Checks what a user gets: "install" installs the native build into a scratch
# prefix and renders its manual page; "package" writes the Windows archive and
# installer package from build/win32, looks inside the archive and installs
# and removes the package under Wine; "deb" writes the Debian package from
# build/native and checks it (with CI=true, on a throwaway machine, it is
# also installed and removed again).
# Usage: scripts/check-dist.sh install|package|deb
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
fail() { echo "check-dist: $*" >&2; exit 1; }

case "${1:-}" in
install)
  PREFIX=$(mktemp -d)
  trap 'rm -rf "$PREFIX"' EXIT
  cmake --install build/native --prefix "$PREFIX" >/dev/null
  [ -x "$PREFIX/bin/wavoss-split" ] || fail "no bin/wavoss-split"
  VERSION=$("$PREFIX/bin/wavoss-split" --version | sed -n 's/^wavoss-split \([0-9][^ ]*\).*/\1/p')
  [ -n "$VERSION" ] || fail "installed program does not run"
  PAGE="$PREFIX/share/man/man1/wavoss-split.1.gz"
  [ -f "$PAGE" ] || fail "no share/man/man1/wavoss-split.1.gz"
  zgrep -qF "\"Wavoss $VERSION\"" "$PAGE" || fail "manual page without the program's version $VERSION"
  TEXT=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$PAGE" 2>"$PREFIX/warnings")
  [ -s "$PREFIX/warnings" ] && { cat "$PREFIX/warnings" >&2; fail "man -l warns"; }
  for section in NAME SYNOPSIS OPTIONS 'EXIT STATUS'; do
    grep -q "^$section" <<<"$TEXT" || fail "rendered page lacks $section"
  done
  echo "install: bin/wavoss-split and man1/wavoss-split.1.gz (renders)"
  ;;
package)
  OUT=$(bash scripts/package.sh --no-build windows) || fail "package.sh failed"
  ZIP=$(grep '\.zip$' <<<"$OUT")
  MSI=$(grep '\.msi$' <<<"$OUT")
  python3 - "$ZIP" <<'PY' || fail "archive $ZIP is not as expected"
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    # Names without the UTF-8 flag are given as code page 437 by Python.
    names = {i.filename.encode("cp437").decode("cp932"): i for i in archive.infolist()}
    assert set(names) == {"Wavoss.exe", "wavoss-split.exe", "使い方.txt"}, names
    for exe in ("Wavoss.exe", "wavoss-split.exe"):
        assert archive.read(names[exe])[:2] == b"MZ", exe
    guide = archive.read(names["使い方.txt"])
    text = guide.decode("cp932")
    assert "@VERSION@" not in text and "TraceFile.txt" in text
    assert guide.count(b"\n") == guide.count(b"\r\n") > 10
PY
  echo "package: $ZIP holds Wavoss.exe, wavoss-split.exe, 使い方.txt"
  bash scripts/check-msi.sh "$MSI" "$ZIP" || fail "installer package $MSI"
  ;;
deb)
  DEB=$(bash scripts/package.sh --no-build deb) || fail "package.sh failed"
  bash scripts/check-deb.sh "$DEB" || fail "Debian package $DEB"
  ;;
*)
  fail "usage: scripts/check-dist.sh install|package|deb"
  ;;
esac
