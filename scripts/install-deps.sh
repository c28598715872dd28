#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# but only those that are missing. Needs root (or sudo) when something is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libreoffice-calc libreoffice-dev help2man
  qt6-base-dev libasound2-dev
  xvfb xauth openbox imagemagick xdotool wmctrl argyll colord-data liblcms2-dev poppler-utils
  clang libclang-rt-14-dev
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
    echo "These packages are missing and this user cannot install them: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
