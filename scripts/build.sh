#!/usr/bin/env bash
# Configures and builds into ./build (BUILD_DIR overrides).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
LOG="$BUILD_DIR/build.log"
if ! cmake --build "$BUILD_DIR" -j"$(nproc)" > "$LOG" 2>&1; then
  grep -E "error|Error" "$LOG" | head -40
  echo "Build failed; the whole log is $LOG"
  exit 1
fi
echo "Built in $BUILD_DIR"
