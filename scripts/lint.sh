#!/usr/bin/env bash
# clang-format and clang-tidy over the project's C and C++ sources; prints
# nothing when both are clean. Needs no git: the sources are what find lists
# outside the build directories, and clang-tidy checks each of them with the
# flags of the first configured build that compiles it (its
# compile_commands.json): the web layer compiles only for the web build.
#
#   scripts/lint.sh BUILD_DIR...
set -euo pipefail
exec </dev/null # neither tool may fall back to reading standard input
cd "$(dirname "$0")/.."
[[ $# -gt 0 ]] || { echo "usage: scripts/lint.sh BUILD_DIR..." >&2; exit 2; }

mapfile -t sources < <(find . \( -path './build*' -o -path ./.git -o -name node_modules \) -prune -o \
  -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print | sed 's|^\./||' | sort)
[[ ${#sources[@]} -gt 0 ]] || { echo "lint: no sources found" >&2; exit 1; }

# Each clang-tidy writes its two streams to files of its own, read only once
# every job has ended: jobs sharing one stream can interleave their lines.
outputs=$(mktemp -d)
trap 'rm -rf "$outputs"' EXIT

status=0
clang-format --dry-run -Werror "${sources[@]}" || status=1

# Sources not yet checked, one absolute path a line.
unchecked=$(printf '%s\n' "${sources[@]/#/$PWD/}")
tidied=0
for build in "$@"; do
  mapfile -t compiled < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" | sort -u)
  mapfile -t tidy < <(grep -Fx -f <(printf '%s\n' "${compiled[@]}") <<<"$unchecked" || true)
  [[ ${#tidy[@]} -gt 0 ]] || continue
  unchecked=$(grep -Fxv -f <(printf '%s\n' "${tidy[@]}") <<<"$unchecked" || true)
  tidied=$((tidied + ${#tidy[@]}))
  # Each source goes with its number, which names its files and their order.
  dir=$(mktemp -d -p "$outputs")
  printf '%s\n' "${tidy[@]}" | awk '{ printf "%05d\n%s\n", NR, $0 }' |
    xargs -d '\n' -n 2 -P "$(nproc)" \
      sh -c 'clang-tidy -p "$0" --quiet "$3" >"$1/$2.out" 2>"$1/$2.err"' "$build" "$dir" || status=1
  # clang prints "N warnings generated." for warnings in headers it then does
  # not report: noise, dropped. The checks' own findings stay.
  for out in "$dir"/*.out; do
    cat "$out"
    grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "${out%.out}.err" || true
  done
done
[[ $tidied -gt 0 ]] || { echo "lint: none of the sources is in a compile_commands.json of $*" >&2; exit 1; }
exit "$status"
