#!/usr/bin/env bash
# Installs what is missing, builds, and runs the GUI against the simulated tool:
# a private bus, the simulator with a sandbox system root, the GUI, and the demo scenario.
# With a display the GUI opens a 240 x 320 window (keys: A = middle, Left, Right) and stays
# until it is closed; without one it runs offscreen and writes a screenshot of every change.
set -euo pipefail
cd "$(dirname "$0")/.."
TOP=$PWD
scripts/setup.sh
scripts/build.sh
BUILD=$TOP/${BUILD_DIR:-build}

# The work folder holds the logs, the screenshots and the sandbox system root "root".
WORK=${DEMO_DIR:-$(mktemp -d /tmp/newgui-demo.XXXXXX)}
ROOT=$WORK/root
SCENARIO=${DEMO_SCENARIO:-$TOP/tools/toolsim/demo.scenario}
mkdir -p "$WORK"
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# The private bus that stands in for the tool's system bus.
exec 3< <(dbus-daemon --config-file="$TOP/tools/dbus/bus.conf" --nofork --print-address=1)
read -r -u 3 BUS_ADDRESS
PIDS+=($!)
export DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS
export TOOL_SYSROOT=$ROOT
# The scenario presses the display's keys through this pipe ("key A").
export NEWGUI_KEY_FIFO=$WORK/keys.fifo

# The simulated tool.
FRESH=--fresh
[ -f "$ROOT/.toolsim-root" ] || [ ! -e "$ROOT" ] || FRESH=""
"$BUILD/tools/toolsim/toolsim" run --sysroot "$ROOT" $FRESH > "$WORK/toolsim.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do grep -q "toolsim ready" "$WORK/toolsim.log" 2>/dev/null && break; sleep 0.1; done

# The GUI.
export NEWGUI_LOG_STDERR=1
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${DEMO_OFFSCREEN:-}" ]; then
  export NEWGUI_WINDOWED=1
  OFFSCREEN=""
else
  export QT_QPA_PLATFORM="offscreen:configfile=$TOP/tools/offscreen/display.json" QT_QUICK_BACKEND=software
  export NEWGUI_SCREENSHOT_DIR=$WORK/screenshots NEWGUI_SCREENSHOT_AUTO=1
  OFFSCREEN=1
fi
"$BUILD/src/app/newgui" 2> "$WORK/newgui.log" &
GUI=$!
PIDS+=($GUI)
has_gui() {
  dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:com.velmar.akku.GUIService 2>/dev/null | grep -q true
}
for _ in $(seq 100); do has_gui && break; sleep 0.1; done

echo "newgui demo: system root $ROOT"
echo "  drive the tool:  DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS $BUILD/tools/toolsim/toolsim ctl result nok qcode=0x18"
echo "  logs:            $WORK/newgui.log  $WORK/toolsim.log"
[ -n "$OFFSCREEN" ] && echo "  screenshots:     $WORK/screenshots"

# The scenario: one simulator command per line; "sleep MS" pauses.
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%%#*}
  [ -z "${line// }" ] && continue
  kill -0 "$GUI" 2>/dev/null || break
  set -- $line
  case "$1" in
    sleep) sleep "$(awk "BEGIN{print $2/1000}")" ;;
    echo) shift; echo "  scenario: $*" ;;
    *) eval "\"$BUILD/tools/toolsim/toolsim\" ctl $line" >/dev/null || echo "  scenario step failed: $line" ;;
  esac
done < "$SCENARIO"

if [ -n "$OFFSCREEN" ]; then
  sleep 1
  kill -USR1 "$GUI" 2>/dev/null || true
  sleep 0.5
  echo "Screenshots of the run: $WORK/screenshots ($(ls "$WORK/screenshots" 2>/dev/null | wc -l) files)"
else
  echo "Scenario finished; the GUI keeps running until its window is closed."
  wait "$GUI" || true
fi
