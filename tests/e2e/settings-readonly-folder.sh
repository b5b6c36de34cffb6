#!/usr/bin/env bash
# Runs the settings case of a folder that takes no new file while the settings
# file in it can be written: a read-only file system holding the program, with
# a writable file bound over its bALDRIX.ini. Where that cannot be mounted, the
# test is skipped (exit 77) and says why.
set -u
tests_exe=$1
program=$2
shift 2
# The rest: how to run a test program of this width (scripts/wine-run [--32]).
runner=("$@")

folder=$(mktemp -d /tmp/baldrix-settings-ro.XXXXXX)
ini=$(mktemp /tmp/baldrix-settings-ro-ini.XXXXXX)
# The program and room enough for a save to start.
kib=$(( ($(stat -c %s "$program") + 1023) / 1024 + 1024 ))
if ! why=$(mount -t tmpfs -o "size=${kib}k" tmpfs "$folder" 2>&1); then
  rmdir "$folder"
  rm -f "$ini"
  echo "skipped: cannot mount a tmpfs here: $why"
  exit 77
fi
# A program that has not quite ended may still hold the folder: detach lazily then.
trap 'umount "$folder/bALDRIX.ini" 2>/dev/null; umount "$folder" 2>/dev/null ||
      { sleep 1; umount -l "$folder"; }; rmdir "$folder"; rm -f "$ini"' EXIT
cp "$program" "$folder/bALDRIX.exe" && : > "$folder/bALDRIX.ini" || exit 1
if ! why=$({ mount -o remount,ro "$folder" && mount --bind "$ini" "$folder/bALDRIX.ini"; } 2>&1)
then
  echo "skipped: cannot make the folder read-only around a writable file: $why"
  exit 77
fi

BALDRIX_READONLY_FOLDER="Z:${folder//\//\\}" "${runner[@]}" "$tests_exe" \
  --gtest_filter='SettingsReadOnlyFolder.*'
