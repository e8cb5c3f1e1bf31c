#!/usr/bin/env bash
# Maps a drive letter of the test world's Wine prefix to a file system mounted for it (a link in
# the prefix's dosdevices, made by Wine's mount manager), or removes one. Runs inside the test world (tests/harness/run-in-namespace.sh), whose mount
# namespace keeps these mounts from the host:
#   wine-drive.sh tmpfs LETTER KIB    a small empty file system of KIB kibibytes
#   wine-drive.sh readonly LETTER     a folder holding "folder\", bound read-only
#   wine-drive.sh remove LETTER       the drive unmapped and its mount gone
# Windows test programs cannot wait for a program of the host, so the script ends by writing
# $NEXVALE_TEST_DRIVES/LETTER.done holding "ok" or the reason it failed.
set -uo pipefail

command=${1:-} letter=$(echo "${2:-}" | tr 'A-Z' 'a-z')
drives=${NEXVALE_TEST_DRIVES:?run inside the test world}
harness_tool=${NEXVALE_HARNESS_TOOL:?run inside the test world}
wine=${NEXVALE_WINE:?run inside the test world}
prefix=${WINEPREFIX:?run inside the test world}
done_file=$drives/$letter.done
rm -f "$done_file"
finish() { echo "$1" > "$done_file.part" && mv "$done_file.part" "$done_file"; [ "$1" = ok ]; exit $?; }
fail() { echo "wine-drive: $*" >&2; finish "$*"; }

[[ $letter =~ ^[a-y]$ ]] || fail "no drive letter from A to Y: '${2:-}'"
[ "$letter" != c ] || fail "drive C: is the prefix's own"
mount_point=$drives/$letter
device=$prefix/dosdevices/$letter:

case $command in
  tmpfs|readonly)
    [ ! -e "$device" ] && [ ! -L "$device" ] || fail "drive $letter: is already mapped"
    mkdir -p "$mount_point" || fail "cannot make $mount_point"
    if [ "$command" = tmpfs ]; then
      [[ ${3:-} =~ ^[0-9]+$ ]] || fail "no size in KiB: '${3:-}'"
      mount -t tmpfs -o "size=${3}k,mode=0777" "nexvale-drive-$letter" "$mount_point" || fail "cannot mount a tmpfs of ${3} KiB"
    else
      source_folder=$drives/$letter-source
      mkdir -p "$source_folder/folder" || fail "cannot make $source_folder"
      mount --bind "$source_folder" "$mount_point" || fail "cannot bind $source_folder"
      mount -o remount,bind,ro "$mount_point" || fail "cannot make $mount_point read-only"
      if touch "$mount_point/probe" 2>/dev/null; then fail "$mount_point still accepts files"; fi
    fi
    # Through the mount manager, which makes the prefix's dosdevices link: a link made by hand
    # opens files but stays missing from the drives programs are told of.
    "$wine" "$harness_tool" map-drive "$letter" "$mount_point" || fail "the mount manager did not map $letter:"
    [ -L "$device" ] || fail "no $device after mapping"
    ;;
  remove)
    if [ -L "$device" ]; then "$wine" "$harness_tool" map-drive "$letter" - || fail "the mount manager did not unmap $letter:"; fi
    [ ! -L "$device" ] || fail "$device is still there after unmapping"
    if mountpoint -q "$mount_point"; then umount "$mount_point" || fail "cannot unmount $mount_point"; fi
    rm -rf "$mount_point" "$drives/$letter-source"
    ;;
  *) fail "usage: wine-drive.sh tmpfs LETTER KIB | readonly LETTER | remove LETTER" ;;
esac
finish ok
