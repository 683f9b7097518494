#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Trelimo needs.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev libqt5opengl5-dev libqt5webkit5-dev qttools5-dev-tools qttools5-dev
  libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri libegl-dev
  ocl-icd-opencl-dev opencl-clhpp-headers opencl-c-headers pocl-opencl-icd clinfo
  libglm-dev libmuparser-dev
  xdotool imagemagick
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  python3
  fonts-liberation2  # metric-compatible "Arial" for the info panel's text
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
