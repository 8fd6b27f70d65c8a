#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (default 60 s) on a copy of its seed corpus. Prints one summary line per
# target; exits non-zero on any crash, sanitizer report, or allocation
# beyond 512 MB (the targets hold images to a million pixels).
# Usage: fuzz/run.sh [seconds] [build-dir]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${2:-$here/build-fuzz}
# Configure and build quietly, but show the compiler's messages on failure.
log=$(mktemp)
if ! { CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DFUZZ=ON &&
       cmake --build "$build"; } > "$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "fuzz/run.sh: building the fuzz targets failed" >&2
  exit 1
fi
rm -f "$log"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || { echo "fuzz/run.sh: no fuzz targets in $build/fuzz" >&2; exit 1; }
  name=$(basename "$target")
  mkdir -p "$work/$name"
  cp "$here/fuzz/corpus/$name/"* "$work/$name/" 2>/dev/null || true
  if (cd "$work" && "$target" -max_total_time="$seconds" -max_len=65536 \
        -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=512 "$work/$name" > "$work/$name.log" 2>&1); then
    summary=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$name.log" | tail -n 1)
    execs=$(echo "$summary" | sed -n 's/^#\([0-9]*\).*/\1/p')
    cov=$(echo "$summary" | sed -n 's/.*cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$summary" | sed -n 's/.*ft: \([0-9]*\).*/\1/p')
    echo "$name: ${seconds}s, $execs executions, coverage $cov edges, $ft features, no crash"
  else
    echo "$name: FAILED"
    grep -E 'ERROR|runtime error|SUMMARY' "$work/$name.log" | head -n 5
    mkdir -p "$here/fuzz-out"
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$here/fuzz-out/" 2>/dev/null || true
    status=1
  fi
done
exit $status
