#!/usr/bin/env bash
# Fuzzes what the game reads, one libFuzzer target after another, each for SECONDS, without
# a window: images (header check and SOIL), OBJ models and MTL libraries (Assimp through the
# game's file system), sounds (libsndfile). Usage: scripts/fuzz.sh SECONDS [image|obj|mtl|sound
# ...] (default: all, 300 s). Prints each target's executions, rate and coverage and libFuzzer's
# final line; exits 1 when any target crashed, hung (over MORROWGEAR_FUZZ_TIMEOUT seconds,
# default 1) or leaked. Findings are kept under MORROWGEAR_FUZZ_OUT (default build-fuzz) in
# crashes/; the corpora grow in corpus/. MORROWGEAR_FUZZ_SETUP=0 skips installing and building
# the game first (the test suite runs it so, after the test command has done both).
# MORROWGEAR_FUZZ_SEED fixes libFuzzer's random seed, so that a run from the same corpus
# makes the same inputs (the test suite's short runs use one; the long runs vary).
set -euo pipefail
if [ "${MORROWGEAR_FUZZ_SETUP:-1}" = 1 ]; then
  source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
else
  MORROWGEAR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
fi
cd "$MORROWGEAR_ROOT"
seconds="${1:-300}"
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(image obj mtl sound)
timeout="${MORROWGEAR_FUZZ_TIMEOUT:-1}"
out="${MORROWGEAR_FUZZ_OUT:-$MORROWGEAR_ROOT/build-fuzz}"
mkdir -p "$out/crashes" "$out/logs"

# Longest input of each target, in bytes: near its seeds, since Assimp's time grows with the
# file (the OBJ seeds are pieces of the models, below).
declare -A max_len=([image]=65536 [obj]=2048 [mtl]=2048 [sound]=16384)

# The first statements of a model, at most max_len bytes: positions, texture coordinates and
# normals up to half of it, then the faces that use only those.
model_piece() {
  awk -v budget="${max_len[obj]}" '
    $1 == "v" || $1 == "vt" || $1 == "vn" { if (size + length($0) + 1 > budget / 2) next }
    $1 == "f" {
      for (i = 2; i <= NF; ++i) {
        split($i, index_of, "/")
        if (index_of[1] > nv || index_of[2] > nt || index_of[3] > nn) next
      }
    }
    { if (size + length($0) + 1 > budget) exit
      print; size += length($0) + 1
      nv += $1 == "v"; nt += $1 == "vt"; nn += $1 == "vn" }' "$1"
}

# Seeds for each target: the committed assets, the bad-asset corpus and what broke a loader before.
seed() {
  local target="$1"
  shift
  mkdir -p "$out/seeds/$target" "$out/corpus/$target"
  cp -n "$@" "$out/seeds/$target/" 2>/dev/null || true
}
seed_target() {
  case "$1" in
    image) seed image Models/*/*.png Images/*.png tests/corpus/*.* tests/corpus/regressions/*.{png,jpg,tga,bmp} ;;
    obj)
      seed obj tests/corpus/regressions/*.obj
      for model in Models/*/*.obj; do model_piece "$model" >"$out/seeds/obj/$(basename "$model")"; done
      ;;
    mtl) seed mtl Models/*/*.mtl tests/corpus/regressions/*.mtl ;;
    sound) seed sound Sounds/*.wav tests/corpus/regressions/*.wav ;;
  esac
}

compiler=(clang++)
command -v ccache >/dev/null && compiler=(ccache clang++)
build_target() {
  local name="$1"
  local sources=()
  case "$name" in
    image) sources=(tools/fuzz/FuzzImage.cpp src/assets/ImageFile.cpp src/assets/RegularFile.cpp -lSOIL -lz) ;;
    obj | mtl) sources=(tools/fuzz/Fuzz"${name^}".cpp tools/fuzz/LargeBlockReuse.cpp src/assets/SceneFile.cpp
      src/assets/ObjFaceStatements.cpp src/assets/MaterialLibraryPaths.cpp src/assets/AssimpLines.cpp src/assets/RegularFile.cpp -lassimp) ;;
    sound) sources=(tools/fuzz/FuzzSound.cpp src/audio/DecodedSound.cpp -lsndfile) ;;
  esac
  "${compiler[@]}" -std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -DGLM_FORCE_CTOR_INIT -Isrc -Itools/fuzz -I/usr/include/SOIL \
    "${sources[@]}" -o "$out/fuzz_$name"
}

# One line from libFuzzer's final statistics, by name.
stat_of() { sed -n "s/^stat::$2: *//p" "$1" | tail -1; }

status=0
for target in "${targets[@]}"; do
  [ -n "${max_len[$target]:-}" ] || { echo "fuzz: no target named $target" >&2; exit 2; }
  seed_target "$target"
  build_target "$target"
  log="$out/logs/$target.log"
  fuzz_status=0
  dictionary=()
  seed_option=()
  [ -n "${MORROWGEAR_FUZZ_SEED:-}" ] && seed_option=(-seed="$MORROWGEAR_FUZZ_SEED")
  [ "$target" = obj ] || [ "$target" = mtl ] && dictionary=(-dict=tools/fuzz/obj-mtl.dict)
  started=$SECONDS
  ASAN_OPTIONS="detect_leaks=1" LSAN_OPTIONS="" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$out/fuzz_$target" "$out/corpus/$target" "$out/seeds/$target" \
    -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout="$timeout" -rss_limit_mb=3072 \
    "${dictionary[@]}" "${seed_option[@]}" -print_final_stats=1 -artifact_prefix="$out/crashes/$target-" \
    >"$log" 2>&1 || fuzz_status=$?
  runs="$(stat_of "$log" number_of_executed_units)"
  rate="$(stat_of "$log" average_exec_per_sec)"
  coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)"
  # a finding stops the run early, so the time is the run's own
  echo "fuzz $target: ${runs:-?} executions in $((SECONDS - started)) s, ${rate:-?} a second, ${coverage:-no coverage}"
  grep -E '^(Done [0-9]+ runs|#[0-9]+.*DONE|==[0-9]+==ERROR|SUMMARY:|Test unit written)' "$log" | tail -1 | sed 's/^/  /'
  if [ "$fuzz_status" -ne 0 ]; then
    echo "fuzz $target: FAILED (status $fuzz_status); the whole log is $log" >&2
    status=1
  fi
done
exit "$status"
