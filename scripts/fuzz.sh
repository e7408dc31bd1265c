#!/usr/bin/env bash
# Fuzzes what the game reads, one libFuzzer target after another, each for SECONDS, without
# a window: images (header check and SOIL), OBJ models and MTL libraries (Assimp through the
# game's file system). Usage: scripts/fuzz.sh SECONDS [image|obj|mtl ...] (default: all, 300 s).
# Prints each target's executions, rate and coverage and libFuzzer's final line; exits 1 when
# any target crashed, hung (over MORROWGEAR_FUZZ_TIMEOUT seconds, default 1) or leaked. What
# it found is kept under build-fuzz/crashes/; the corpora grow in build-fuzz/corpus/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"
seconds="${1:-300}"
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(image obj mtl)
timeout="${MORROWGEAR_FUZZ_TIMEOUT:-1}"

MORROWGEAR_PACKAGES=(clang libclang-rt-14-dev)
install_missing

out="$MORROWGEAR_ROOT/build-fuzz"
mkdir -p "$out/crashes" "$out/logs"

# Seeds for each target: the committed assets, the bad-asset corpus and what crashed before.
seed() {
  local target="$1"
  shift
  mkdir -p "$out/seeds/$target" "$out/corpus/$target"
  cp -n "$@" "$out/seeds/$target/" 2>/dev/null || true
}
seed image Models/*/*.png Images/*.png tests/corpus/*.* tests/corpus/regressions/*
seed obj Models/*/*.obj
seed mtl Models/*/*.mtl

compiler=(clang++)
command -v ccache >/dev/null && compiler=(ccache clang++)
build_target() {
  local name="$1" source="$2"
  "${compiler[@]}" -std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -DGLM_FORCE_CTOR_INIT -Isrc -Itools/fuzz -I/usr/include/SOIL \
    "$source" src/assets/ImageFile.cpp src/assets/RegularFile.cpp src/assets/SceneFile.cpp -lSOIL -lassimp -o "$out/fuzz_$name"
}

# One line from libFuzzer's final statistics, by name.
stat_of() { sed -n "s/^stat::$2: *//p" "$1" | tail -1; }

status=0
for target in "${targets[@]}"; do
  case "$target" in
    image) source=tools/fuzz/FuzzImage.cpp max_len=65536 ;;
    obj) source=tools/fuzz/FuzzObj.cpp max_len=16384 ;;
    mtl) source=tools/fuzz/FuzzMtl.cpp max_len=8192 ;;
    *) echo "fuzz: no target named $target" >&2; exit 2 ;;
  esac
  build_target "$target" "$source"
  log="$out/logs/$target.log"
  fuzz_status=0
  ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$out/fuzz_$target" "$out/corpus/$target" "$out/seeds/$target" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout="$timeout" -rss_limit_mb=3072 \
    -dict=tools/fuzz/obj-mtl.dict -print_final_stats=1 -artifact_prefix="$out/crashes/$target-" \
    >"$log" 2>&1 || fuzz_status=$?
  runs="$(stat_of "$log" number_of_executed_units)"
  rate="$(stat_of "$log" average_exec_per_sec)"
  coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)"
  echo "fuzz $target: ${runs:-?} executions in ${seconds} s, ${rate:-?} a second, ${coverage:-no coverage}"
  grep -E '^(Done [0-9]+ runs|==[0-9]+==|SUMMARY:|artifact_prefix|Test unit written)' "$log" | tail -3 | sed 's/^/  /'
  if [ "$fuzz_status" -ne 0 ]; then
    echo "fuzz $target: FAILED (status $fuzz_status); the whole log is $log" >&2
    status=1
  fi
done
exit "$status"
