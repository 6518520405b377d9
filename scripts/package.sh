#!/usr/bin/env bash
# Builds the shipped 32-bit program and writes dist/Wavoss-<version>-win32.zip:
# Wavoss.exe, wavoss-split.exe and the Japanese guide 使い方.txt (Shift-JIS,
# CR LF). The version is the project's (project() in CMakeLists.txt).
# Usage: scripts/package.sh [--no-build]   (--no-build: use build/win32 as it is)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build/win32"

if [ "${1:-}" != "--no-build" ]; then
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 -j "${WAVOSS_JOBS:-2}" --target Wavoss wavoss-split >/dev/null
fi
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
[ -n "$VERSION" ] || { echo "package: no project version in $BUILD/CMakeCache.txt" >&2; exit 1; }
for f in "$BUILD/ui/Wavoss.exe" "$BUILD/cli/wavoss-split.exe"; do
  [ -f "$f" ] || { echo "package: $f is missing" >&2; exit 1; }
done

mkdir -p "$ROOT/dist"
ZIP="$ROOT/dist/Wavoss-$VERSION-win32.zip"
STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
GUIDE="$STAGE/guide.txt"
sed "s/@VERSION@/$VERSION/" resources/guide-ja.txt | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$GUIDE"
# The programs as shipped: without their debugging sections.
for f in ui/Wavoss.exe cli/wavoss-split.exe; do
  i686-w64-mingw32-strip -o "$STAGE/$(basename "$f")" "$BUILD/$f"
done

# Entry names as Japanese Windows reads them (Shift-JIS, no UTF-8 flag), each
# with the Unicode path field (0x7075) that other unzip programs read.
python3 - "$ZIP" "$STAGE/Wavoss.exe" Wavoss.exe "$STAGE/wavoss-split.exe" wavoss-split.exe \
  "$GUIDE" 使い方.txt <<'PY'
import struct, sys, time, zipfile, zlib

out, pairs = sys.argv[1], sys.argv[2:]

class ShiftJisInfo(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        return self.filename.encode("cp932"), self.flag_bits

with zipfile.ZipFile(out + ".tmp", "w", zipfile.ZIP_DEFLATED) as archive:
    for source, name in zip(pairs[0::2], pairs[1::2]):
        info = ShiftJisInfo(name, time.localtime()[:6])
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0  # MS-DOS attributes
        raw = name.encode("cp932")
        body = struct.pack("<BI", 1, zlib.crc32(raw)) + name.encode("utf-8")
        if not name.isascii():
            info.extra = struct.pack("<HH", 0x7075, len(body)) + body
        with open(source, "rb") as f:
            archive.writestr(info, f.read())
PY
mv "$ZIP.tmp" "$ZIP"
echo "$ZIP"
