#!/usr/bin/env bash
# Checks the Debian package of wavoss-split: its files and fields, lintian,
# and its bash completion. Where the test command runs as root on a throwaway
# machine (CI=true) the package is also installed with dpkg, used and removed
# again; elsewhere nothing is installed on this machine.
# Usage: scripts/check-deb.sh dist/wavoss-split_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
DEB=${1:?usage: scripts/check-deb.sh DEB}
fail() { echo "check-deb: $*" >&2; exit 1; }

VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build/native/CMakeCache.txt)
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = wavoss-split ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "Version is $(field Version), not $VERSION"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
# dpkg-shlibdeps names the C and C++ libraries the program links.
DEPENDS=$(field Depends)
for lib in libc6 libstdc++6; do
  grep -q "\b$lib (>= " <<<"$DEPENDS" || fail "Depends lacks $lib: $DEPENDS"
done

LISTING=$(dpkg-deb -c "$DEB")
FILES=$(awk '$1 !~ /^d/ { print $6 }' <<<"$LISTING" | sort)
EXPECTED=$(printf '%s\n' ./usr/bin/wavoss-split ./usr/share/bash-completion/completions/wavoss-split \
  ./usr/share/doc/wavoss-split/changelog.gz ./usr/share/doc/wavoss-split/copyright \
  ./usr/share/man/man1/wavoss-split.1.gz | sort)
[ "$FILES" = "$EXPECTED" ] || fail "files are:"$'\n'"$FILES"
grep -q '^-rwxr-xr-x root/root .* ./usr/bin/wavoss-split$' <<<"$LISTING" ||
  fail "the program is not an executable owned by root"

lintian --fail-on error "$DEB" ||
  fail "lintian reports errors"

# The completion as bash-completion loads it: options, and folders only after -o.
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
dpkg-deb -x "$DEB" "$SCRATCH/root"
mkdir "$SCRATCH/work" "$SCRATCH/work/out dir"
touch "$SCRATCH/work/a.wav" "$SCRATCH/work/B.WAV" "$SCRATCH/work/notes.txt"
COMPLETED=$(cd "$SCRATCH/work" && bash -c '
  source /usr/share/bash-completion/bash_completion
  source "$1"
  words() {
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    COMPREPLY=(); _wavoss_split; printf "%s|" "${COMPREPLY[@]}"; echo
  }
  words wavoss-split --lo
  words wavoss-split -o ""
  words wavoss-split -q ""' _ "$SCRATCH/root/usr/share/bash-completion/completions/wavoss-split")
[ "$COMPLETED" = $'--log-dir|\nout dir|\nB.WAV|a.wav|out dir|' ] ||
  fail "bash completion gives:"$'\n'"$COMPLETED"
echo "deb: $(basename "$DEB"): fields, files, lintian and completion as expected"

if [ "${CI:-}" = true ] && [ "$(id -u)" = 0 ]; then
  dpkg-query -W -f='${Status}' wavoss-split 2>/dev/null | grep -q 'install ok installed' &&
    fail "wavoss-split is installed already: not touching it"
  trap 'dpkg --purge wavoss-split >/dev/null 2>&1 || true; rm -rf "$SCRATCH"' EXIT
  dpkg -i "$DEB" >/dev/null || fail "dpkg -i failed"
  /usr/bin/wavoss-split --version | grep -qx "wavoss-split $VERSION" || fail "installed program does not run"
  [ "$(man -w wavoss-split)" = /usr/share/man/man1/wavoss-split.1.gz ] || fail "man -w does not find the page"
  dpkg --purge wavoss-split >/dev/null || fail "dpkg --purge failed"
  [ ! -e /usr/bin/wavoss-split ] || fail "the program stayed after removal"
  echo "deb: installed with dpkg -i, ran, found its manual page, removed"
fi
