#!/bin/sh
# WLAN driver control of the simulated tool. "restart" takes a moment and reports 1 while
# another restart is still running; the machine's own network is never touched.
root=${TOOL_SYSROOT:-}
[ -n "$root" ] || { echo "System root not set" >&2; exit 9; }
case "$1" in
restart)
    lock="$root/var/run/wlan-restart.lock"
    if ! mkdir "$lock" 2>/dev/null; then
        echo "restart already in progress" >&2
        exit 1
    fi
    echo "restarting tiwlan0"
    sleep 2
    rmdir "$lock"
    echo "tiwlan0 up"
    exit 0
    ;;
*)
    echo "usage: install.sh restart" >&2
    exit 2
    ;;
esac
