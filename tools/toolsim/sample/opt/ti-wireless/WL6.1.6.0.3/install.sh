#!/bin/sh
# WLAN driver control of the simulated tool. "restart" takes a moment and reports 1 while
# another restart is still running; the machine's own network is never touched.
# "$root/var/run/wlan-restart.outcome" (written by "toolsim ctl wlanrestart") makes the next
# restart end with another status: a number, or "killed" (ended by a signal).
root=${TOOL_SYSROOT:-}
[ -n "$root" ] || { echo "System root not set" >&2; exit 9; }
case "$1" in
restart)
    outcome_file="$root/var/run/wlan-restart.outcome"
    if [ -f "$outcome_file" ]; then
        outcome=$(cat "$outcome_file")
        rm -f "$outcome_file"
        echo "restart $outcome" >> "$root/var/log/wlan.log"
        case "$outcome" in
        killed) kill -KILL $$ ;;
        *[!0-9]*|'') exit 2 ;;
        *) exit "$outcome" ;;
        esac
    fi
    lock="$root/var/run/wlan-restart.lock"
    if ! mkdir "$lock" 2>/dev/null; then
        echo "restart already in progress" >&2
        exit 1
    fi
    echo "restart" >> "$root/var/log/wlan.log"
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
