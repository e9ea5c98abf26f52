#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software
cd "${BUILD_DIR:-build}"
ctest --output-on-failure --timeout 600 "$@"
