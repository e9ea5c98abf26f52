#!/bin/sh
# Configuration export of the simulated tool: packs the sandbox's configuration directory
# into an archive on the simulated memory card.
#   cfg_exporter.sh PASSWORD /config/NAME.zkcfg
# Records its arguments in /var/log/exchange.log; "toolsim ctl exchangefail" makes it
# fail with a given reason.
# Exit 0 when exported; otherwise one line with the reason on standard error.
root=${TOOL_SYSROOT:-}
fail() { echo "$2" >&2; exit "$1"; }
[ -n "$root" ] || fail 9 "System root not set"
# What it was asked, one line per run (toolsim ctl exchangelog).
{ printf '%s' "export"; printf ' [%s]' "$@"; echo; } >> "$root/var/log/exchange.log"
# A reason set with "toolsim ctl exchangefail export REASON" makes it fail with that reason.
if [ -f "$root/var/run/toolsim/export.fail" ]; then
    head -n 1 "$root/var/run/toolsim/export.fail" >&2
    exit 11
fi
[ $# -ge 1 ] || fail 1 "Password required"
[ -n "$1" ] || fail 2 "No empty password"
[ $# -ge 2 ] || fail 3 "Export file name required"
[ -n "$2" ] || fail 4 "Empty export file name given"
card=""
for dev in "$root"/sys/class/block/mmcblk*; do
    [ -e "$dev" ] || continue
    name=${dev##*/}
    [ -d "$root/mnt/mmc/$name" ] && card="$root/mnt/mmc/$name"
done
[ -n "$card" ] || fail 5 "No SD card"
target="$card/${2#/}"
mkdir -p "$(dirname "$target")" || fail 6 "SD card not writable"
# The device encrypts the archive with the password; the simulated one keeps a plain one.
tar -C "$root/home/tool" -czf "$target" config || fail 6 "SD card not writable"
echo "exported $2"
exit 0
