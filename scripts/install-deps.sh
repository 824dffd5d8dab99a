#!/usr/bin/env bash
# Installs the Debian packages the viewer needs to build, and those that one
# kind of check needs on top. Does nothing when all of them are present.
#   install-deps.sh [--test | --memcheck | --bench | --package | --lint | --web | --web-test]
set -euo pipefail

packages=(cmake make g++ freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri)
tests=(libgtest-dev xvfb xauth xdotool x11-utils x11-apps imagemagick desktop-file-utils binutils)
case "${1:-}" in
  "") ;;
  --test) packages+=("${tests[@]}") ;;
  --memcheck) packages+=("${tests[@]}" valgrind) ;;
  --bench) packages+=("${tests[@]}" valgrind heaptrack zstd python3) ;;
  --package) packages+=("${tests[@]}" dpkg-dev file) ;;
  --lint) packages+=(clang-format clang-tidy emscripten) ;;
  --web) packages=(cmake make emscripten) ;; # python3, for make web-serve, comes with emscripten
  --web-test)
    packages+=("${tests[@]}" emscripten chromium)
    # A node installed from elsewhere (with its own npm) serves as well as Debian's.
    command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm) ;;
  *) echo "usage: install-deps.sh [--test | --memcheck | --bench | --package | --lint | --web | --web-test]" >&2; exit 2 ;;
esac

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
