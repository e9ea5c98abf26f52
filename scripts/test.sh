#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
#   scripts/test.sh [ctest options]
#   scripts/test.sh --sanitize [ctest options]
#       builds the readers of other processes' files, their fuzz target and the hostile-input
#       tests with the address and undefined-behaviour sanitizers (in ${BUILD_DIR:-build}-sanitize)
#       and runs them (label "sanitize"); NG_FUZZ_RUNS inputs per fuzz target and seed (default 125,
#       from each of the fuzzer's NG_FUZZ_SEEDS seeds)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software
if [ "${1:-}" = "--sanitize" ]; then
  shift
  SAN_DIR="${BUILD_DIR:-build}-sanitize"
  FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
  cmake -S . -B "$SAN_DIR" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$FLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  cmake --build "$SAN_DIR" -j"$(nproc)" --target fuzz_readers tst_fifoinput tst_crashsafesave settingswriter \
    > "$SAN_DIR/build.log" 2>&1 || { grep -E "error" "$SAN_DIR/build.log" | head -40; exit 1; }
  export NG_FUZZ_RUNS="${NG_FUZZ_RUNS:-125}"
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
  cd "$SAN_DIR"
  exec ctest --output-on-failure --timeout 900 -L sanitize "$@"
fi
scripts/build.sh
cd "${BUILD_DIR:-build}"
ctest --output-on-failure --timeout 600 "$@"
