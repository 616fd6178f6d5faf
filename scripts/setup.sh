#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ clang clang-format libclang-rt-14-dev git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg62-turbo-dev libasound2-dev libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  dbus-daemon xdg-utils
  xvfb xauth xdotool x11-utils imagemagick strace fonts-liberation2 fonts-dejavu-core wmdocker openbox
  poppler-utils chromium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
