#!/bin/sh
# Restart of the simulated tool. It only notes the request in the sandbox; this machine
# is left alone.
root=${TOOL_SYSROOT:-}
if [ -n "$root" ] && [ -d "$root/var/log" ]; then
    echo "$(date '+%Y-%m-%d %H:%M:%S') reboot requested" >> "$root/var/log/power.log"
fi
echo "reboot: the simulated tool restarts now"
exit 0
