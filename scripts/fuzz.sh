#!/usr/bin/env bash
# Fuzzes the game's texture and model loading with libFuzzer for a while (not part of the
# tests). Usage: scripts/fuzz.sh [seconds, default 300]. Crashing inputs are kept under
# build-fuzz/crashes/; the corpus grows in build-fuzz/corpus/, seeded with the game's assets.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"
seconds="${1:-300}"

MORROWGEAR_PACKAGES=(clang libclang-rt-14-dev)
install_missing

out="$MORROWGEAR_ROOT/build-fuzz"
mkdir -p "$out/corpus" "$out/crashes"
cp -n Models/*/*.png Models/*/*.obj Models/*/*.mtl Images/*.png "$out/corpus/" 2>/dev/null || true
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined \
  -DGLFW_INCLUDE_NONE -DGLM_FORCE_CTOR_INIT -Isrc -I/usr/include/SOIL \
  tools/fuzz/FuzzAssets.cpp src/assets/ImageFile.cpp src/assets/Texture.cpp src/assets/Model.cpp \
  src/assets/Mesh.cpp src/render/Shader.cpp src/app/Console.cpp \
  -lSOIL -lassimp -lGLEW -lglfw -lGL -o "$out/fuzz_assets"

run=("$out/fuzz_assets" "$out/corpus" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096
  -artifact_prefix="$out/crashes/")
export ASAN_OPTIONS="detect_leaks=0"  # the driver's and Assimp's caches are not the target here
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${run[@]}"
fi
exec "${run[@]}"
