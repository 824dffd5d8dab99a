#!/usr/bin/env bash
# Builds freeglut for Windows from Debian's own freeglut source package, as a
# static library installed into PREFIX, with the given CMake toolchain.
#   freeglut.sh PREFIX TOOLCHAIN_FILE
# The source comes through apt. This machine's apt may list binary packages
# only, so apt gets a private copy of the machine's sources with deb-src in
# place of deb, and private lists and cache beside the build; the system's apt
# configuration and state are left as they were. PREFIX appears whole or not
# at all: the work happens in a scratch folder beside it.
set -euo pipefail
prefix=${1:?usage: freeglut.sh PREFIX TOOLCHAIN_FILE}
toolchain=$(realpath "${2:?usage: freeglut.sh PREFIX TOOLCHAIN_FILE}")
[[ -f $prefix/lib/cmake/FreeGLUT/FreeGLUTConfig.cmake ]] && exit 0

fail() {
  echo "freeglut.sh: $*" >&2
  exit 1
}
mkdir -p "$(dirname "$prefix")"
work=$(mktemp -d "$prefix.partial.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The machine's sources, one-line (.list) and deb822 (.sources) alike, with
# deb-src for deb, then the sed expression $1.
private_sources() {
  rm -rf "$work/apt" "$work"/freeglut_*
  mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
  local file to_source=(-e 's/^\([[:space:]]*\)deb\([[:space:]]\)/\1deb-src\2/'
    -e 's/^\(Types:.*[[:space:]]\)deb\([[:space:]]\|$\)/\1deb-src\2/' -e "$1")
  [[ -f /etc/apt/sources.list ]] && sed "${to_source[@]}" /etc/apt/sources.list >"$work/apt/sources.list"
  for file in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [[ -f $file ]] && sed "${to_source[@]}" "$file" >"$work/apt/sources.list.d/$(basename "$file")"
  done
  return 0
}
apt_get() {
  apt-get -q -o Dir::Etc::SourceList="$work/apt/sources.list" \
    -o Dir::Etc::SourceParts="$work/apt/sources.list.d" -o Dir::State::Lists="$work/apt/lists" \
    -o Dir::Cache="$work/apt/cache" -o APT::Sandbox::User="$(id -un)" "$@"
}
fetch() {
  apt_get update >>"$work/apt.log" 2>&1 && (cd "$work" && apt_get source --download-only freeglut >>"$work/apt.log" 2>&1)
}

# Debian 12 and 13 both carry freeglut 3.4.0: where the mirror has no source
# of this release's, the other release's, from the same mirror, will do.
private_sources ""
if ! fetch; then
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  case $release in
    bookworm) other=trixie ;;
    trixie) other=bookworm ;;
    *) fail "apt could not fetch Debian's freeglut source package: $(grep -E '^(E|W):' "$work/apt.log" | head -n 3)" ;;
  esac
  echo "freeglut.sh: no freeglut source for $release on this machine's mirror; trying $other's" >&2
  private_sources "s/\b$release\b/$other/g"
  fetch || fail "apt could not fetch Debian's freeglut source package, for $release or $other:" \
    "$(grep -E '^(E|W):' "$work/apt.log" | head -n 4)"
fi

# apt has checked the files against the signed index, so dpkg-source need not.
dsc=$(echo "$work"/freeglut_*.dsc)
[[ -f $dsc ]] || fail "no freeglut .dsc among the files apt fetched"
dpkg-source --no-check -x "$dsc" "$work/source" >/dev/null ||
  fail "dpkg-source could not unpack $(basename "$dsc")"

cmake -S "$work/source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$work/install" -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
  -DFREEGLUT_BUILD_STATIC_LIBS=ON >"$work/cmake.log" 2>&1 ||
  fail "freeglut's build did not configure: $(tail -n 5 "$work/cmake.log")"
cmake --build "$work/build" -j "$(nproc)" >>"$work/cmake.log" 2>&1 &&
  cmake --install "$work/build" >>"$work/cmake.log" 2>&1 ||
  fail "freeglut did not build: $(tail -n 5 "$work/cmake.log")"
# Its licence goes into the packages beside the program.
cp "$work/source/COPYING" "$work/install/COPYING.freeglut"
mv "$work/install" "$prefix"
