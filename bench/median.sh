# Sourced by the benchmark scripts; needs $runs and $work.
# Median wall-clock seconds and peak KiB of a command over $runs runs.
# A run that fails stops the benchmark with the command's own messages:
# callers write r=$(median ...) under set -e.
median() {
  : > "$work/runs"
  for i in $(seq "$runs"); do
    start=$(date +%s%N)
    if ! /usr/bin/time -f "%M" -o "$work/t" "$@" > /dev/null 2> "$work/err"; then
      echo "benchmark run failed: $*" >&2
      cat "$work/err" >&2
      return 1
    fi
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000 )) $(tail -n 1 "$work/t")" >> "$work/runs"
  done
  sort -n "$work/runs" | awk '{ t[NR] = $1 / 1e6; m[NR] = $2 }
    END { printf "%f %s\n", t[int((NR + 1) / 2)], m[int((NR + 1) / 2)] }'
}
