#!/usr/bin/env bash
# Installs the Debian packages the viewer needs to build, and with --test
# those its tests need too. Does nothing when all of them are present.
set -euo pipefail

packages=(cmake make g++ freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(libgtest-dev xvfb xauth xdotool x11-utils x11-apps imagemagick desktop-file-utils binutils)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
