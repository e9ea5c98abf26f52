#!/usr/bin/env bash
# Cross-builds the GUI, the simulator and the C++ tests for the tool's ARM processor with
# Debian's cross toolchain and multi-architecture Qt 6 packages, then runs the tests and a
# start-up to the first frame under user-mode emulation (qemu-user), offscreen, and builds
# the Debian package of the GUI for that architecture.
#   scripts/cross-build.sh arm64     (64-bit; build-arm64/)
#   scripts/cross-build.sh armhf     (32-bit panels; build-armhf/)
# Not part of CI: it installs about 1 GiB of packages and takes long (see the README).
set -euo pipefail
cd "$(dirname "$0")/.."
TOP=$PWD
ARCH=${1:-}
case "$ARCH" in
  arm64) TRIPLET=aarch64-linux-gnu; QEMU=qemu-aarch64-static ;;
  armhf) TRIPLET=arm-linux-gnueabihf; QEMU=qemu-arm-static ;;
  *) echo "usage: $0 arm64|armhf" >&2; exit 2 ;;
esac
BUILD=$TOP/${BUILD_DIR:-build-$ARCH}
step() { echo "== $(date +%T) $*"; }

# The host's own build tools (cmake, Qt's moc/rcc/qdbusxml2cpp, dbus-daemon) come first.
scripts/setup.sh
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# The target's libraries: the Qt packages and the -dev packages of setup.sh's list (Qt's
# build tools stay the host's), for the target architecture.
TARGET_PACKAGES=($(sed -n '/^PACKAGES=(/,/^)/p' scripts/setup.sh | tr ' ' '\n' \
  | grep -E '^(qt6-|qml6-|libqt6|lib[a-z0-9.+-]*-dev$)' | grep -v -- '-dev-tools$'))
missing=()
for p in crossbuild-essential-$ARCH qemu-user-static dpkg-dev "${TARGET_PACKAGES[@]/%/:$ARCH}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx "$ARCH" || $SUDO dpkg --add-architecture "$ARCH"
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

step "configuring $BUILD"
mkdir -p "$BUILD"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
  -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/debian-cross.cmake" -DNG_CROSS_TRIPLET=$TRIPLET >"$BUILD/configure.log" 2>&1 \
  || { tail -30 "$BUILD/configure.log"; exit 1; }
step "building (log: $BUILD/build.log)"
if ! cmake --build "$BUILD" -j"${JOBS:-2}" > "$BUILD/build.log" 2>&1; then
  grep -E "error|Error" "$BUILD/build.log" | head -40
  exit 1
fi
file "$BUILD/src/app/newgui"

# Emulated programs start their children (the GUI, the simulator, helper processes) through
# the emulator even where the kernel has no binfmt_misc entry for the target: the shim
# preloaded into every emulated program does what binfmt_misc would (scripts/qemu-user-shim.c).
${TRIPLET}-gcc -shared -fPIC -O2 -Wall -DNG_QEMU="\"$(command -v $QEMU)\"" \
  -o "$BUILD/qemu-user-shim.so" scripts/qemu-user-shim.c -ldl
export QEMU_SET_ENV=LD_PRELOAD=$BUILD/qemu-user-shim.so
step "running the tests under $QEMU"
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software
# The package test runs the built program directly and belongs to the host build.
set +e
(cd "$BUILD" && ctest --output-on-failure --timeout 1800 -E "tst_package") > "$BUILD/ctest.log" 2>&1
TESTS_RC=$?
set -e
grep -E "tests passed|Test +#|\*\*\*" "$BUILD/ctest.log"

step "start-up to the first frame under $QEMU"
WORK=$(mktemp -d)
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT INT TERM
exec 3< <(exec dbus-daemon --config-file="$TOP/tools/dbus/bus.conf" --nofork --print-address=1)
PIDS+=($!)
read -r -u 3 BUS_ADDRESS
export DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS TOOL_SYSROOT=$WORK/root
$QEMU "$BUILD/tools/toolsim/toolsim" run --sysroot "$WORK/root" --fresh > "$WORK/toolsim.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 300); do grep -q "toolsim ready" "$WORK/toolsim.log" 2>/dev/null && break; sleep 0.1; done
grep -q "toolsim ready" "$WORK/toolsim.log" || { cat "$WORK/toolsim.log"; echo "the emulated simulator did not start"; exit 1; }
START=$(date +%s.%N)
QT_QPA_PLATFORM="offscreen:configfile=$TOP/tools/offscreen/display.json" NEWGUI_EXIT_AFTER_FIRST_FRAME=1 \
  timeout 120 $QEMU "$BUILD/src/app/newgui" > "$WORK/newgui.out" 2> "$WORK/newgui.log" || true
END=$(date +%s.%N)
if ! grep -q "first frame" "$WORK/newgui.out"; then
  tail -20 "$WORK/newgui.log"
  echo "the emulated GUI did not reach its first frame"
  exit 1
fi
echo "first frame of the emulated $ARCH GUI after $(awk "BEGIN{printf \"%.1f\", $END-$START}") s"

step "package"
(cd "$BUILD" && cpack -G DEB > cpack.log 2>&1) || { tail -20 "$BUILD/cpack.log"; exit 1; }
ls "$BUILD"/*.deb
step "done"
exit $TESTS_RC
