#!/usr/bin/env bash
# Installs what is missing, builds VEXA Init and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec ./build/vexa-init
