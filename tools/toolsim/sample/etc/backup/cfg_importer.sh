#!/bin/sh
# Configuration import of the simulated tool: unpacks the one archive found on the
# simulated memory card into the sandbox's configuration directory.
#   cfg_importer.sh PASSWORD config.cfg
# Records its arguments in /var/log/exchange.log; "toolsim ctl exchangefail" makes it
# fail with a given reason.
# Exit 0 when imported; otherwise one line with the reason on standard error.
root=${TOOL_SYSROOT:-}
fail() { echo "$2" >&2; exit "$1"; }
[ -n "$root" ] || fail 9 "System root not set"
# What it was asked, one line per run (toolsim ctl exchangelog).
{ printf '%s' "import"; printf ' [%s]' "$@"; echo; } >> "$root/var/log/exchange.log"
# A reason set with "toolsim ctl exchangefail import REASON" makes it fail with that reason.
if [ -f "$root/var/run/toolsim/import.fail" ]; then
    head -n 1 "$root/var/run/toolsim/import.fail" >&2
    exit 11
fi
[ $# -ge 1 ] || fail 1 "Password required"
[ -n "$1" ] || fail 2 "No empty password"
[ $# -ge 2 ] || fail 3 "Import file name required"
[ -n "$2" ] || fail 4 "Empty import file name given"
card=""
found=""
for dev in "$root"/sys/class/block/mmcblk*; do
    [ -e "$dev" ] || continue
    found=1
    name=${dev##*/}
    [ -d "$root/mnt/mmc/$name" ] && card="$root/mnt/mmc/$name"
done
[ -n "$found" ] || fail 5 "No SD card"
[ -n "$card" ] || fail 6 "SD card not mounted"
count=0
archive=""
for f in "$card"/config/*.zkcfg; do
    [ -f "$f" ] || continue
    count=$((count + 1))
    archive=$f
done
[ "$count" -eq 1 ] || fail 7 "No or more than one *.zkcfg file found in $card/config"
tar -tzf "$archive" config/guiconfig.json > /dev/null 2>&1 || fail 8 "Configuration file not found"
tar -C "$root/home/tool" -xzf "$archive" || fail 10 "Wrong configuration version"
echo "imported ${archive##*/}"
exit 0
