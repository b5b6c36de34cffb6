#!/usr/bin/env bash
# Runs a case of a folder that takes no new file while one file in it can be
# written: a read-only file system holding the program, with a writable file
# bound over its file NAME, which starts out empty. The test finds the folder
# in BALDRIX_READONLY_FOLDER. Where that cannot be mounted, the test is skipped
# (exit 77) and says why.
#   readonly-folder.sh NAME GTEST_FILTER TESTS_EXE PROGRAM RUNNER...
set -u
name=$1
filter=$2
tests_exe=$3
program=$4
shift 4
# The rest: how to run a test program of this width (scripts/wine-run [--32]).
runner=("$@")

folder=$(mktemp -d /tmp/baldrix-readonly.XXXXXX)
file=$(mktemp /tmp/baldrix-readonly-file.XXXXXX)
# The program and room enough for a save to start.
kib=$(( ($(stat -c %s "$program") + 1023) / 1024 + 1024 ))
if ! why=$(mount -t tmpfs -o "size=${kib}k" tmpfs "$folder" 2>&1); then
  rmdir "$folder"
  rm -f "$file"
  echo "skipped: cannot mount a tmpfs here: $why"
  exit 77
fi
# A program that has not quite ended may still hold the folder: detach lazily then.
trap 'umount "$folder/$name" 2>/dev/null; umount "$folder" 2>/dev/null ||
      { sleep 1; umount -l "$folder"; }; rmdir "$folder"; rm -f "$file"' EXIT
cp "$program" "$folder/bALDRIX.exe" && : > "$folder/$name" || exit 1
if ! why=$({ mount -o remount,ro "$folder" && mount --bind "$file" "$folder/$name"; } 2>&1)
then
  echo "skipped: cannot make the folder read-only around a writable file: $why"
  exit 77
fi

BALDRIX_READONLY_FOLDER="Z:${folder//\//\\}" "${runner[@]}" "$tests_exe" \
  --gtest_filter="$filter"
