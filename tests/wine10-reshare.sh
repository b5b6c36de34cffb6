#!/usr/bin/env bash
# A folder the Wine 10 root shares (a checkout, a Wine prefix) can be deleted
# after a run and made again at the same path, as a clean checkout for CI is:
# the next run must still mount it and see its new contents inside the root.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
root=${BALDRIX_WINE10_ROOT:-/var/lib/baldrix/trixie}
[ "$(id -u)" = 0 ] || { echo "not root: nothing can be mounted"; exit 77; }
"$here/scripts/wine10" ready || { echo "no Debian 13 root here"; exit 77; }
folder=/var/tmp/baldrix-reshare
rm -rf "$folder" && mkdir -p "$folder"
WINEPREFIX=$folder "$here/scripts/wine10" mounts || { echo "FAIL: first mount"; exit 1; }
rm -rf "$folder" && mkdir -p "$folder" && echo second > "$folder/marker"
WINEPREFIX=$folder "$here/scripts/wine10" mounts || { echo "FAIL: mount after the folder was made again"; exit 1; }
seen=$(cat "$root$folder/marker" 2>/dev/null)
umount -l "$root$folder" 2>/dev/null
rm -rf "$folder"
[ "$seen" = second ] || { echo "FAIL: the root shows '$seen', not the new folder's contents"; exit 1; }
echo "PASS"
