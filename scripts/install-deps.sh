#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Runs apt-get only when something is missing, so a prepared machine pays nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake make pkg-config git
  g++ clang clang-tidy clang-format
  libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev openssl
  libtinyxml-dev
  libgtk-3-dev xvfb xdotool x11-utils imagemagick fonts-noto-cjk
  procps
  python3 python3-dev pybind11-dev python3-pytest python3-matplotlib chromium
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
