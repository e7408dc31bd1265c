#!/usr/bin/env bash
# Builds the Debian package in one command: installs what is missing, builds the game (the
# regular build, never the sanitizer one), runs CPack and prints the package's path.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_BUILD"
rm -f morrowgear_*.deb
cpack --config CPackConfig.cmake
deb="$(ls "$MORROWGEAR_BUILD"/morrowgear_*.deb)"
echo
echo "Package: $deb"
echo "Install it with: sudo apt install $deb"
