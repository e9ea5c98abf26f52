#!/bin/sh
# Builds mkpics and rewrites pics/*.png and flags/* of the repository.
#   tools/mkpics/regen.sh [--sheet <file.png>]
# MKPICS_BUILD_DIR chooses the build directory (default: a temporary directory).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${MKPICS_BUILD_DIR:-${TMPDIR:-/tmp}/mkpics-build-$(id -u)}

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target mkpics -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/mkpics" --pics "$repo/pics" --flags "$repo/flags" "$@"
