#!/usr/bin/env bash
# Builds VEXA Init (after installing what is missing) and its Debian package,
# build/vexa-init_<version>_<arch>.deb. Install it with
#   sudo apt install ./build/vexa-init_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cmake --build build --target package
ls -l build/vexa-init_*.deb
