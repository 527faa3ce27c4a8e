#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Runs `apt-get update` only when something has to be installed.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev libyaml-dev zlib1g-dev nlohmann-json3-dev pkg-config dpkg-dev file groff-base xvfb xauth
  imagemagick desktop-file-utils appstream shared-mime-info "$@")
# (xauth is only recommended by xvfb, but xvfb-run cannot start without it.)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null 2>&1 ||
    { $SUDO apt-get update >/dev/null && $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; }
fi
