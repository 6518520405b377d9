#!/usr/bin/env bash
# Writes what users download into dist/, each with the project's version
# (project() in CMakeLists.txt), and prints the paths written:
#   windows  from the shipped 32-bit build (build/win32):
#            Wavoss-<version>-win32.zip (Wavoss.exe, wavoss-split.exe and the
#            Japanese guide 使い方.txt in Shift-JIS, CR LF) and
#            Wavoss-<version>.msi, the same three files as a per-user
#            Windows Installer package (built with wixl)
#   deb      from the native build (build/native), with CPack:
#            wavoss-split_<version>_<arch>.deb
# Usage: scripts/package.sh [--no-build] [windows|deb]...   (default: both)
#   --no-build: package the build trees as they are
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD_FIRST=1
if [ "${1:-}" = "--no-build" ]; then
  BUILD_FIRST=0
  shift
fi
[ $# -gt 0 ] || set -- windows deb

STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
mkdir -p "$ROOT/dist"

# Zip entry names as Japanese Windows reads them (Shift-JIS, no UTF-8 flag),
# each with the Unicode path field (0x7075) that other unzip programs read.
# Arguments: the archive, then pairs of file and entry name.
ZIP_WRITER=$(
  cat <<'PY'
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
)

version_of() { # build tree
  local version
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null)
  [ -n "$version" ] || { echo "package: no project version in $1/CMakeCache.txt" >&2; exit 1; }
  echo "$version"
}

windows() {
  local build="$ROOT/build/win32" version f
  if [ $BUILD_FIRST = 1 ]; then
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 -j "${WAVOSS_JOBS:-2}" --target Wavoss wavoss-split >/dev/null
  fi
  version=$(version_of "$build")
  for f in "$build/ui/Wavoss.exe" "$build/cli/wavoss-split.exe"; do
    [ -f "$f" ] || { echo "package: $f is missing" >&2; exit 1; }
  done
  local zip="$ROOT/dist/Wavoss-$version-win32.zip" msi="$ROOT/dist/Wavoss-$version.msi"
  local guide="$STAGE/guide.txt"
  sed "s/@VERSION@/$version/" resources/guide-ja.txt | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$guide"
  # The programs as shipped: without their debugging sections.
  for f in ui/Wavoss.exe cli/wavoss-split.exe; do
    i686-w64-mingw32-strip -o "$STAGE/$(basename "$f")" "$build/$f"
  done

  python3 -c "$ZIP_WRITER" "$zip" "$STAGE/Wavoss.exe" Wavoss.exe \
    "$STAGE/wavoss-split.exe" wavoss-split.exe "$guide" 使い方.txt
  mv "$zip.tmp" "$zip"
  echo "$zip"

  # The installer package. wixl writes its tables in code page 1252: the
  # database is switched to 932 and the Japanese texts are set afterwards,
  # with what wixl has no element for: the removal of the program's logs and
  # the replacement of a package of the same version (513: the upgrade's
  # highest version included).
  cp resources/Wavoss.ico "$STAGE/"
  (cd "$STAGE" && wixl -a x86 -D Version="$version" -o "$msi.tmp" "$ROOT/packaging/Wavoss.wxs")
  printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$STAGE/_ForceCodepage.idt"
  local upgrade
  upgrade=$(msiinfo export "$msi.tmp" Property | tr -d '\r' | sed -n 's/^UpgradeCode\t//p')
  local remove="INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`)"
  msibuild "$msi.tmp" -i "$STAGE/_ForceCodepage.idt" \
    -q "UPDATE \`File\` SET \`FileName\` = 'GUIDE.TXT|使い方.txt' WHERE \`File\` = 'Guide'" \
    -q "UPDATE \`LaunchCondition\` SET \`Description\` = '新しいバージョンの Wavoss がインストールされています。' WHERE \`Condition\` = 'NOT WIX_DOWNGRADE_DETECTED'" \
    -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade', '$version', 513, 'WIX_UPGRADE_DETECTED')" \
    -q "$remove VALUES ('RemoveTraceFile', 'Program', 'TraceFile.txt', 'INSTALLDIR', 2)" \
    -q "$remove VALUES ('RemoveConflictFile', 'Program', 'ConflictFile.txt', 'INSTALLDIR', 2)"
  mv "$msi.tmp" "$msi"
  echo "$msi"
}

deb() {
  local build="$ROOT/build/native" deb
  if [ $BUILD_FIRST = 1 ]; then
    cmake --preset native >/dev/null
    cmake --build --preset native -j "${WAVOSS_JOBS:-2}" --target wavoss-split >/dev/null
  fi
  version_of "$build" >/dev/null
  [ -f "$build/CPackConfig.cmake" ] || { echo "package: no $build/CPackConfig.cmake" >&2; exit 1; }
  cpack --config "$build/CPackConfig.cmake" -B "$STAGE/deb" >"$STAGE/cpack.log" 2>&1 ||
    { cat "$STAGE/cpack.log" >&2; exit 1; }
  for deb in "$STAGE"/deb/*.deb; do
    mv "$deb" "$ROOT/dist/"
    echo "$ROOT/dist/$(basename "$deb")"
  done
}

for what in "$@"; do
  case "$what" in
  windows | deb) "$what" ;;
  *) echo "usage: scripts/package.sh [--no-build] [windows|deb]..." >&2; exit 2 ;;
  esac
done
