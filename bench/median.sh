# Sourced by the benchmark scripts; needs $runs and $work.
# Median wall-clock seconds and peak KiB of a command over $runs runs.
median() {
  for i in $(seq "$runs"); do
    start=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$work/t" "$@" > /dev/null 2>&1 || true
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000 )) $(cat "$work/t")"
  done | sort -n | awk '{ t[NR] = $1 / 1e6; m[NR] = $2 }
    END { printf "%f %s\n", t[int((NR + 1) / 2)], m[int((NR + 1) / 2)] }'
}
