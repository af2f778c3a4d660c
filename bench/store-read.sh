#!/usr/bin/env bash
# Reads a store of many small messages through the object model, side by side with `cat`
# of every file, and reports time and peak memory of both.
#   bench/store-read.sh [build-dir] [count]
set -euo pipefail
build=${1:-build}
count=${2:-100000}
bench="$build/bin/store_read_bench"
[[ -x $bench ]] || { echo "build the target store_read_bench in $build first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" make "$work/Mail" "$count"
# Warm the page cache once, so that both runs read from memory.
find "$work/Mail" -type f -print0 | xargs -0 cat >/dev/null
measure() {
    local label=$1; shift
    /usr/bin/time -v "$@" 2>"$work/time.txt" >"$work/out.txt"
    local wall peak
    wall=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
    peak=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{print $NF}')
    printf '%-12s wall %-10s peak %s kB\n' "$label" "$wall" "$peak"
}
measure "cat" sh -c "find '$work/Mail' -type f -print0 | xargs -0 cat >/dev/null"
measure "object model" "$bench" read "$work/Mail"
cat "$work/out.txt"
