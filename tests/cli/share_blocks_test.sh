#!/usr/bin/env bash
# --share-blocks on real file systems that share blocks: small XFS (reflink)
# and btrfs file systems on loop devices. The pieces' audio must be the plain
# split's, their headers true, their whole blocks shared with the source, and
# a write into a piece must leave the source as it was.
# Usage: share_blocks_test.sh WAVOSS-SPLIT. Exit 77 (skipped) when not root or
# when loop devices or the file system tools are missing.
set -uo pipefail
SPLIT=${1:?usage: share_blocks_test.sh WAVOSS-SPLIT}
# The checks read the program's English messages, whatever the caller's locale.
export LC_ALL=C

skip() {
  echo "SKIPPED: --share-blocks on XFS and btrfs: $*"
  exit 77
}
[ "$(id -u)" = 0 ] || skip "not root (loop mounts need it)"
[ -e /dev/loop-control ] || skip "no loop devices (/dev/loop-control)"
for tool in mkfs.xfs mkfs.btrfs filefrag mount umount; do
  command -v "$tool" >/dev/null || skip "$tool is missing (xfsprogs, btrfs-progs, e2fsprogs)"
done

WORK=$(mktemp -d /tmp/wavoss-share.XXXXXX)
MOUNTS=()
cleanup() {
  for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

le32() { # value -> 4 bytes, little-endian
  printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"
  printf "\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"
}
u32at() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
idat() { dd if="$1" bs=1 skip="$2" count=4 status=none; }

# A WAV file of stereo 16-bit at 48 kHz with random audio; extra chunk bytes
# (a LIST chunk of that body size, 0 for none) move the audio off 44.
make_wave() { # path data-bytes list-body-bytes
  local path=$1 data=$2 list=$3 extra=0
  [ "$list" -gt 0 ] && extra=$((8 + list))
  {
    printf RIFF
    le32 $((36 + extra + data))
    printf 'WAVEfmt '
    le32 16
    printf '\x01\x00\x02\x00'
    le32 48000
    le32 192000
    printf '\x04\x00\x10\x00'
    if [ "$list" -gt 0 ]; then
      printf LIST
      le32 "$list"
      printf INFO
      head -c $((list - 4)) /dev/zero
    fi
    printf data
    le32 "$data"
    head -c "$data" /dev/urandom
  } >"$path"
}

# Our own reading of a piece: the chunks from byte 12 up to "data", whose
# body must run to the end of the file as the RIFF size says. Prints the
# audio's offset and the chunk ids.
read_piece() { # path
  local f=$1 size pos id len ids=""
  size=$(stat -c %s "$f")
  [ "$(idat "$f" 0)" = RIFF ] && [ "$(u32at "$f" 4)" = $((size - 8)) ] || return 1
  pos=12
  while [ $((pos + 8)) -le "$size" ]; do
    id=$(idat "$f" $pos)
    len=$(u32at "$f" $((pos + 4)))
    ids+="$id/"
    if [ "$id" = data ]; then
      [ $((pos + 8 + len)) = "$size" ] || return 1
      echo "$((pos + 8)) $ids"
      return 0
    fi
    pos=$((pos + 8 + len + len % 2))
  done
  return 1
}

used_kib() { sync -f "$1"; df -k --output=used "$1" | tail -1 | tr -d ' '; }

check_fs() { # name mkfs-command...
  local name=$1
  shift
  local img="$WORK/$name.img" mnt="$WORK/$name"
  # Sparse images: XFS wants 300 MB at least, little of it written.
  truncate -s 320M "$img"
  if ! "$@" "$img" >"$WORK/$name-mkfs.log" 2>&1; then
    cat "$WORK/$name-mkfs.log"
    fail "$name: $* could not make the file system"
    return
  fi
  mkdir -p "$mnt"
  if ! mount -o loop "$img" "$mnt" 2>"$WORK/$name-mount.log"; then
    skip "$name: cannot mount a loop device here ($(cat "$WORK/$name-mount.log"))"
  fi
  MOUNTS+=("$mnt")

  local ok=1 src
  for src in plain chunked; do
    local list=0
    [ $src = chunked ] && list=10 # audio at 62: pieces need a JUNK chunk of 18+ bytes
    mkdir -p "$mnt/$src" "$WORK/$name-ref-$src"
    # 2 full pieces of 1:00 (11,520,000 bytes) and a shorter last one.
    make_wave "$mnt/$src/rec.wav" 26000000 $list
    local sum
    sum=$(md5sum <"$mnt/$src/rec.wav")
    "$SPLIT" -q -l 1:00 --log-dir "$WORK/log" -o "$WORK/$name-ref-$src" "$mnt/$src/rec.wav" \
      >/dev/null 2>"$WORK/split.log" || fail "$name/$src: the plain split failed: $(cat "$WORK/split.log")"
    local before after
    before=$(used_kib "$mnt")
    "$SPLIT" -q -l 1:00 --share-blocks --log-dir "$WORK/log" -o "$mnt/$src/out" \
      "$mnt/$src/rec.wav" >/dev/null 2>"$WORK/split.log" ||
      fail "$name/$src: the split with --share-blocks failed: $(cat "$WORK/split.log")"
    after=$(used_kib "$mnt")
    echo "$name/$src: ${after}KiB - ${before}KiB used for 26000000 bytes of audio in pieces"
    # Headers, JUNK, congruent offsets and new space: well under 1 % here.
    [ $((after - before)) -lt 260 ] || fail "$name/$src: $((after - before)) KiB of new space"
    local n
    for n in 001 002 003; do
      local piece="$mnt/$src/out/rec_$n.wav" ref="$WORK/$name-ref-$src/rec_$n.wav" info at
      if ! info=$(read_piece "$piece"); then
        fail "$name/$src: rec_$n.wav has no true header"
        ok=0
        continue
      fi
      at=${info%% *}
      [ "${info#* }" = "fmt /JUNK/data/" ] || fail "$name/$src: rec_$n.wav has chunks ${info#* }"
      cmp -s <(tail -c +$((at + 1)) "$piece") <(tail -c +45 "$ref") ||
        fail "$name/$src: rec_$n.wav's audio is not the plain split's"
      filefrag -v "$piece" | grep -q shared || fail "$name/$src: rec_$n.wav shares no block"
    done
    # -n keeps every piece as it is.
    "$SPLIT" -q -n -l 1:00 --share-blocks --log-dir "$WORK/log" -o "$mnt/$src/out" \
      "$mnt/$src/rec.wav" >/dev/null 2>"$WORK/n.log" || fail "$name/$src: -n did not keep the pieces"
    grep -q "exist already" "$WORK/n.log" || fail "$name/$src: -n says: $(cat "$WORK/n.log")"
    # A write into a shared block of a piece changes that piece alone.
    printf 'written over' | dd of="$mnt/$src/out/rec_002.wav" bs=1 seek=1048576 conv=notrunc \
      status=none
    sync -f "$mnt"
    [ "$(md5sum <"$mnt/$src/rec.wav")" = "$sum" ] ||
      fail "$name/$src: writing into a piece changed the source"
    [ "$(dd if="$mnt/$src/out/rec_002.wav" bs=1 skip=1048576 count=12 status=none)" = \
      "written over" ] || fail "$name/$src: the write into the piece did not stay"
  done
  [ $ok = 1 ] && echo "$name: pieces checked"
  umount "$mnt" && MOUNTS=("${MOUNTS[@]/$mnt/}")
}

check_fs xfs mkfs.xfs -q -f -m reflink=1
check_fs btrfs mkfs.btrfs -q -f

if [ $failures -gt 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "PASSED: --share-blocks on XFS and btrfs"
