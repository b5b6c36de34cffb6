#!/usr/bin/env bash
# Prepares (up) or removes (down) the folders the save-fault tests write into:
#   readonly/  a read-only file system holding existing.log
#   small/     a 64 KiB file system holding existing.log, to fill up during a write
# Where file systems cannot be mounted, UNAVAILABLE says why and the tests skip.
set -u
base=/tmp/baldrix-faults
content=$'precious line one\r\nprecious line two\r\n'

down() {
  for d in readonly small; do
    mountpoint -q "$base/$d" 2>/dev/null && umount "$base/$d"
  done
  rm -rf "$base"
}

up() {
  down
  mkdir -p "$base/readonly" "$base/small"
  if ! mount -t tmpfs -o size=64k tmpfs "$base/small" 2>/tmp/baldrix-faults.err ||
     ! mount -t tmpfs -o size=64k tmpfs "$base/readonly" 2>>/tmp/baldrix-faults.err; then
    echo "cannot mount a tmpfs here: $(head -1 /tmp/baldrix-faults.err)" > "$base/UNAVAILABLE"
    return 0
  fi
  printf '%s' "$content" > "$base/small/existing.log"
  printf '%s' "$content" > "$base/readonly/existing.log"
  mount -o remount,ro "$base/readonly"
}

case "${1:-}" in
  up) up ;;
  down) down ;;
  *) echo "usage: $0 up|down" >&2; exit 2 ;;
esac
