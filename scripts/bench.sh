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
#   scripts/bench.sh --sound [--runs N]
#       runs this tree's timedemo alternately A (silent), B (--sound: the game's sound mixed
#       on the loopback device), N times each, and prints the same comparison: what the
#       sound costs per frame.
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
sound=0
while [ $# -gt 0 ]; do
  case "$1" in
    --against) against="${2:?--against needs a revision}"; shift 2 ;;
    --runs) runs="${2:?--runs needs a number}"; shift 2 ;;
    --passes) passes=1; shift ;;
    --sound) sound=1; shift ;;
    *) echo "usage: scripts/bench.sh [--passes] [--against REV | --sound] [--runs N]" >&2; exit 2 ;;
  esac
done

if [ -n "$against" ] && [ "$sound" -eq 1 ]; then
  echo "bench.sh: --against and --sound are two different comparisons; give one" >&2
  exit 2
fi

if [ -z "$against" ] && [ "$sound" -eq 0 ]; then
  if [ "$passes" -eq 1 ]; then
    exec "$MORROWGEAR_BUILD/bench/timedemo" --passes
  fi
  exec "$MORROWGEAR_BUILD/bench/timedemo"
fi

# ---- Side A: the other revision built in a folder of its own, or this tree played silent.
b_tree="$MORROWGEAR_ROOT"
b_binary="$MORROWGEAR_BUILD/bench/timedemo"
if [ "$sound" -eq 1 ]; then
  a_name="this tree, silent"
  a_tree="$b_tree" a_binary="$b_binary" a_args=() a_has_hook=1
  b_args=(--sound)
else
  sha="$(git rev-parse --verify --short "$against^{commit}")"
  a_name="$sha ($(git log -1 --format=%s "$sha"))"
  a_tree="$MORROWGEAR_ROOT/build-against/$sha/src"
  a_binary="$MORROWGEAR_ROOT/build-against/$sha/build/bench/timedemo"
  a_args=() b_args=()
  if [ ! -d "$a_tree" ]; then
    mkdir -p "$a_tree"
    git archive "$sha" | tar -x -C "$a_tree"
  fi
  cp bench/Timedemo.cpp bench/CMakeLists.txt "$a_tree/bench/"
  if [ ! -f "$a_tree/../build/CMakeCache.txt" ]; then
    cmake -S "$a_tree" -B "$a_tree/../build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$a_tree/../build" -j "$(nproc)" --target timedemo >/dev/null
  a_has_hook=0
  [ -f "$a_tree/src/render/FrameStageHook.h" ] && a_has_hook=1
fi

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

echo "A: $a_name"
echo "B: this tree ($(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src Shader Models bench || echo ', with uncommitted changes'))${b_args[*]:+, ${b_args[*]}}"
echo "load before: $(uptime)"
for i in $(seq 1 "$runs"); do
  echo "run $i of $runs: A, then B"
  run_side A "$a_tree" "$a_binary" "$out/A$i.txt" "${a_args[@]}"
  run_side B "$b_tree" "$b_binary" "$out/B$i.txt" "${b_args[@]}"
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

# The sound's own work, timed inside B's frames: far below the drift between runs above.
if [ "$sound" -eq 1 ]; then
  awk '$1 == "summary" && $2 == "soundmix" { printf "B run %d: the loopback mix alone, per frame: median %.3f ms, p99 %.3f ms, worst %.3f ms (%d frames)\n", ++n, $4, $6, $7, $3 }' \
    "$out"/B*.txt | tee -a "$out/comparison.txt"
fi

# Where the time goes: one more run of each side with every pass timed, if it can.
echo
if [ "$a_has_hook" -eq 1 ]; then
  run_side A "$a_tree" "$a_binary" "$out/A-passes.txt" --passes "${a_args[@]}"
  echo "A, per pass:"
  sed -n '/^Per stage/,/^each cell/p' "$out/A-passes.txt"
else
  echo "A has no frame-stage hook: no per-pass breakdown for A"
fi
run_side B "$b_tree" "$b_binary" "$out/B-passes.txt" --passes "${b_args[@]}"
echo "B, per pass:"
sed -n '/^Per stage/,/^each cell/p' "$out/B-passes.txt"
echo
echo "renderer: $(sed -n 's/^renderer: //p' "$out/B1.txt")"
echo "every run's output: $out"
