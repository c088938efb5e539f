#!/usr/bin/env bash
# Installs the Debian packages VEXA Init needs to build, run and test.
# Idempotent: does nothing (and prints nothing) when everything is present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libqt6printsupport6
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev qt6-translations-l10n
  fonts-liberation
  xvfb xauth poppler-utils jq ccache
  dpkg-dev desktop-file-utils appstream shared-mime-info file
  lintian devscripts groff-base libglib2.0-bin python3
  g++-mingw-w64-x86-64-posix wine64 zip
  nsis fonts-wine xdotool ninja-build perl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
