#!/bin/sh
# Power-off of the simulated tool. It only notes the request in the sandbox; this machine
# is left alone.
root=${TOOL_SYSROOT:-}
if [ -n "$root" ] && [ -d "$root/var/log" ]; then
    echo "$(date '+%Y-%m-%d %H:%M:%S') power-off requested" >> "$root/var/log/power.log"
fi
echo "poweroff: the simulated tool switches off now"
exit 0
