#!/usr/bin/env bash
# Installs what building and testing Mapquill needs on Debian 12, where missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang qt6-base-dev qt6-svg-dev libgl1-mesa-dev xvfb xauth time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
