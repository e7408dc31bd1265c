#!/usr/bin/env bash
# Sets everything up and runs the timedemo benchmark (a report, not a test).
#
#   scripts/bench.sh                     one run of this tree's timedemo
#   scripts/bench.sh --passes            the same, with every pass of the frame timed
#   scripts/bench.sh --against REV [--runs N]
#       builds REV in build-against/ (its files from git archive, with this tree's
#       timedemo source so that both sides measure the same phases), then runs the two
#       timedemos alternately A (REV), B (this tree), A, B, ... N times each (default 3)
#       and prints per phase the median of each side's run medians and the ratio B/A,
#       followed by the per-pass breakdown of one more run of each side that has the hook.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"

# One X server for every run, so that one run's end never takes the X server from the next.
if [ -z "${DISPLAY:-}" ]; then
  exec "$MORROWGEAR_ROOT/scripts/xvfb.sh" "$0" "$@"
fi

against=""
runs=3
passes=0
while [ $# -gt 0 ]; do
  case "$1" in
    --against) against="${2:?--against needs a revision}"; shift 2 ;;
    --runs) runs="${2:?--runs needs a number}"; shift 2 ;;
    --passes) passes=1; shift ;;
    *) echo "usage: scripts/bench.sh [--passes] [--against REV [--runs N]]" >&2; exit 2 ;;
  esac
done

if [ -z "$against" ]; then
  if [ "$passes" -eq 1 ]; then
    exec "$MORROWGEAR_BUILD/bench/timedemo" --passes
  fi
  exec "$MORROWGEAR_BUILD/bench/timedemo"
fi

# ---- Side A: the other revision, built in a folder of its own.
sha="$(git rev-parse --verify --short "$against^{commit}")"
side_a="$MORROWGEAR_ROOT/build-against/$sha"
if [ ! -d "$side_a/src" ]; then
  mkdir -p "$side_a/src"
  git archive "$sha" | tar -x -C "$side_a/src"
fi
cp bench/Timedemo.cpp bench/CMakeLists.txt "$side_a/src/bench/"
if [ ! -f "$side_a/build/CMakeCache.txt" ]; then
  cmake -S "$side_a/src" -B "$side_a/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$side_a/build" -j "$(nproc)" --target timedemo >/dev/null

out="$MORROWGEAR_BUILD/bench-runs/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"

# Runs one side's timedemo from its own tree (its own shaders and models).
run_side() {
  local side="$1" tree="$2" binary="$3" log="$4"
  shift 4
  if ! (cd "$tree" && "$binary" "$@" >"$log" 2>&1); then
    echo "timedemo of side $side failed; the end of its output ($log):" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
}

echo "A: $sha ($(git log -1 --format=%s "$sha"))"
echo "B: this tree ($(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src Shader Models bench || echo ', with uncommitted changes'))"
echo "load before: $(uptime)"
for i in $(seq 1 "$runs"); do
  echo "run $i of $runs: A, then B"
  run_side A "$side_a/src" "$side_a/build/bench/timedemo" "$out/A$i.txt"
  run_side B "$MORROWGEAR_ROOT" "$MORROWGEAR_BUILD/bench/timedemo" "$out/B$i.txt"
done
echo "load after: $(uptime)"
echo

# Per phase: the median over the runs of each run's median, for A and for B.
awk -v runs="$runs" '
  function median(list,    n, values, i, j, t) {
    n = split(list, values, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && values[j - 1] + 0 > values[j] + 0; j--) {
      t = values[j]; values[j] = values[j - 1]; values[j - 1] = t
    }
    return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
  }
  FNR == 1 { n = split(FILENAME, path, "/"); side = substr(path[n], 1, 1) }
  $1 == "summary" {
    if (!($2 in seen)) { seen[$2] = 1; order[++count] = $2 }
    medians[side, $2] = medians[side, $2] " " $4
    worst[side, $2] = worst[side, $2] " " $7
  }
  END {
    printf "| %-12s | %12s | %12s | %6s | %12s | %12s |\n", "phase", "A median", "B median", "B/A", "A worst", "B worst"
    printf "|--------------|--------------|--------------|--------|--------------|--------------|\n"
    for (k = 1; k <= count; k++) {
      key = order[k]
      if (!((("A" SUBSEP key) in medians) && (("B" SUBSEP key) in medians))) continue
      a = median(medians["A", key]); b = median(medians["B", key])
      printf "| %-12s | %9.2f ms | %9.2f ms | %6.2f | %9.2f ms | %9.2f ms |\n", key, a, b, (a > 0 ? b / a : 0),
             median(worst["A", key]), median(worst["B", key])
    }
    printf "medians and worst frames: the median over %d runs of each run'"'"'s value, in ms\n", runs
  }' "$out"/A*.txt "$out"/B*.txt | tee "$out/comparison.txt"

# Where the time goes: one more run of each side with every pass timed, if it can.
echo
if [ -f "$side_a/src/src/render/FrameStageHook.h" ]; then
  run_side A "$side_a/src" "$side_a/build/bench/timedemo" "$out/A-passes.txt" --passes
  echo "A, per pass:"
  sed -n '/^Per stage/,/^each cell/p' "$out/A-passes.txt"
else
  echo "A has no frame-stage hook: no per-pass breakdown for A"
fi
run_side B "$MORROWGEAR_ROOT" "$MORROWGEAR_BUILD/bench/timedemo" "$out/B-passes.txt" --passes
echo "B, per pass:"
sed -n '/^Per stage/,/^each cell/p' "$out/B-passes.txt"
echo
echo "renderer: $(sed -n 's/^renderer: //p' "$out/B1.txt")"
echo "every run's output: $out"
