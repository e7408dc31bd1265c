#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for Morrowgear, then configures and
# builds it. Sourced by play.sh and test.sh; safe and fast to run again.
set -euo pipefail

MORROWGEAR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MORROWGEAR_BUILD="${MORROWGEAR_BUILD:-$MORROWGEAR_ROOT/build}"

# Build tools, the game's libraries, and what the tests need (a virtual X server,
# xdotool for real input, Mesa's software OpenGL).
MORROWGEAR_PACKAGES=(
  cmake g++ make pkg-config
  libglfw3-dev libglew-dev libassimp-dev libsoil-dev libglm-dev libstb-dev
  libopenal-dev libsndfile1-dev libasound2-dev
  libgtest-dev zlib1g-dev
  xvfb xauth xdotool libgl1-mesa-dri
  dpkg-dev file desktop-file-utils  # the Debian package (dpkg-shlibdeps) and its tests:
  lintian appstream groff-base man-db  # its checks by Debian's and AppStream's tools, its manual page
)

missing_packages() {
  local missing=()
  for package in "${MORROWGEAR_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  echo "${missing[@]:-}"
}

install_missing() {
  local missing
  missing="$(missing_packages)"
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Morrowgear needs these packages. Install them with:"
    echo "  sudo apt-get update && sudo apt-get install -y $missing"
    exit 1
  fi
  echo "Installing: $missing"
  apt-get update
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}

build_game() {
  if [ ! -f "$MORROWGEAR_BUILD/CMakeCache.txt" ]; then
    cmake -S "$MORROWGEAR_ROOT" -B "$MORROWGEAR_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$MORROWGEAR_BUILD" -j "$(nproc)"
}

install_missing
build_game
