#!/usr/bin/env bash
# Installs the Debian packages the viewer needs to build, and those that the
# groups named on the command line need on top. Does nothing when all of them
# are present; otherwise asks apt for the missing ones, as root or through sudo.
#   install-deps.sh [--test] [--screenshot] [--memcheck] [--bench] [--deb] [--package] [--lint]
#                   [--web] [--web-test] [--windows] [--windows-test] [--bare]
set -euo pipefail
exec </dev/null # never waits on a prompt; sudo asks on the terminal itself

# Names that Debian 12 and 13 both have, not the transitional ones
# (freeglut3-dev, libgl1-mesa-dev) that a later release may drop.
packages=(make cmake g++ libglut-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri)
display=(xvfb xdotool)
tests=("${display[@]}" libgtest-dev x11-utils x11-apps imagemagick desktop-file-utils appstream groff-base
  binutils)
deb=(dpkg-dev file)
# The page's build: its icons are drawn from the SVG and its scripts minified.
web=(emscripten librsvg2-bin terser)
# The Windows build: MinGW-w64, GoogleTest's source, the icon drawn from the
# SVG, the installer, and what fetches and unpacks freeglut's source.
windows=(g++-mingw-w64-x86-64-posix googletest librsvg2-bin icoutils wixl dpkg-dev ca-certificates)
for group in "$@"; do
  case "$group" in
    --test) packages+=("${tests[@]}") ;;
    --screenshot) packages+=("${display[@]}" x11-apps imagemagick) ;;
    --memcheck) packages+=("${tests[@]}" valgrind) ;;
    --bench) packages+=("${tests[@]}" valgrind heaptrack zstd python3) ;;
    --deb) packages+=("${deb[@]}") ;;
    --package) packages+=("${deb[@]}" "${display[@]}" lintian appstream desktop-file-utils) ;;
    --lint) packages+=(clang-format clang-tidy "${web[@]}") ;;
    --web) packages+=("${web[@]}") ;; # python3, for make web-serve, comes with emscripten
    --web-test)
      # npm ci fetches playwright-core from its registry over HTTPS.
      packages+=("${tests[@]}" "${web[@]}" chromium ca-certificates)
      # A node installed from elsewhere (with its own npm) serves as well as Debian's.
      command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm) ;;
    --windows) packages+=("${windows[@]}") ;;
    --windows-test) packages+=("${tests[@]}" "${windows[@]}" wine64) ;;
    --bare) packages+=(debootstrap) ;; # the bare roots fetch everything else themselves
    *) echo "usage: install-deps.sh [--test] [--screenshot] [--memcheck] [--bench] [--deb] [--package] [--lint]" \
         "[--web] [--web-test] [--windows] [--windows-test] [--bare]" >&2
       exit 2 ;;
  esac
done

# Groups share packages: each is asked for once, in the order first named.
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | awk '!seen[$0]++')
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: these packages are missing and installing them needs root; as root, run: apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi
# Quiet: apt and dpkg report failures on standard error.
apt_get() {
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600 "$@" >/dev/null
}
install_missing() {
  apt_get install -y --no-install-recommends "${missing[@]}"
}

echo "install-deps: asking apt for ${missing[*]} (minutes, on a bare system)"
# Package lists that are missing or a day old may name files the mirror no
# longer has: refresh them first, and once more if the install still fails.
if [[ -z $(find /var/lib/apt/lists -maxdepth 1 -name '*_Packages' -mmin -1440 -print -quit) ]]; then
  apt_get update
  install_missing
else
  install_missing || { apt_get update && install_missing; }
fi
