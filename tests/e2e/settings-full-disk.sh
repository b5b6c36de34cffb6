#!/usr/bin/env bash
# Runs the full-disk settings cases on a small file system of their own: the
# program is copied onto it, so its settings file lies there too. Where no file
# system can be mounted, the test is skipped (exit 77) and says why.
set -u
tests_exe=$1
program=$2
shift 2
# The rest: how to run a test program of this width (scripts/wine-run [--32]).
runner=("$@")
root=$(cd "$(dirname "$0")/../.." && pwd)

disk=$(mktemp -d /tmp/baldrix-settings-disk.XXXXXX)
# The program itself and 64 KiB to fill.
kib=$(( ($(stat -c %s "$program") + 1023) / 1024 + 64 ))
if ! why=$(mount -t tmpfs -o "size=${kib}k" tmpfs "$disk" 2>&1); then
  rmdir "$disk"
  echo "skipped: cannot mount a small tmpfs here: $why"
  exit 77
fi
# A program that has not quite ended may still hold the folder: detach lazily then.
trap 'umount "$disk" 2>/dev/null || { sleep 1; umount -l "$disk"; }; rmdir "$disk"' EXIT

BALDRIX_FULL_DISK="Z:${disk//\//\\}" "${runner[@]}" "$tests_exe" \
  --gtest_filter='SettingsFullDisk.*'
