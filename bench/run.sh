#!/usr/bin/env bash
# Builds and runs every benchmark and prints one table: each figure for this program, beside
# its baseline measured in the same run, and their ratio, with each benchmark's method in one
# line. Each benchmark's own report goes to $BUILD_DIR/bench/<name>.log.
#   bench/run.sh            (BUILD_DIR=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
scripts/setup.sh --bench
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  BUILD_DIR="$BUILD_DIR" scripts/build.sh >/dev/null
fi
benches=(bench_startup bench_result_latency bench_idle bench_memory bench_catalogue bench_popups bench_language)
cmake --build "$BUILD_DIR" -j2 --target newgui toolsim bench_barequick "${benches[@]}" > "$BUILD_DIR/bench-build.log" 2>&1 || { tail -30 "$BUILD_DIR/bench-build.log"; exit 1; }

rows=()
methods=()
loads=("$(cut -d' ' -f1 /proc/loadavg)")
for b in "${benches[@]}"; do
  log="$BUILD_DIR/bench/$b.log"
  echo "running $b ..." >&2
  if ! "$BUILD_DIR/bench/$b" > "$log" 2>&1; then
    echo "$b failed; see $log" >&2
    continue
  fi
  loads+=("$(cut -d' ' -f1 /proc/loadavg)")
  while IFS= read -r line; do rows+=("$line"); done < <(grep '^TABLE' "$log" || true)
  while IFS= read -r line; do methods+=("$line"); done < <(grep '^METHOD' "$log" || true)
done

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
  "$(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo); load average (1 min) at the start"\
  "and after each benchmark: ${loads[*]}; offscreen, software renderer"
echo
printf '| %-44s | %12s | %12s | %7s |\n' "figure" "newgui" "baseline" "ratio"
printf '|%s|%s|%s|%s|\n' "----------------------------------------------" "--------------" "--------------" "---------"
for r in "${rows[@]}"; do
  IFS=$'\t' read -r _ figure self base unit <<< "$r"
  ratio=$(awk -v a="$self" -v b="$base" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }')
  printf '| %-44s | %12s | %12s | %7s |\n' "$figure" "$self $unit" "$base $unit" "$ratio"
done
echo
echo "Methods:"
for m in "${methods[@]}"; do
  IFS=$'\t' read -r _ name text <<< "$m"
  echo "- $name: $text"
done
