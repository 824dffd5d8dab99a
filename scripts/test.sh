#!/usr/bin/env bash
# Quick start: builds the viewer and its tests and runs them all on a virtual
# display, installing first whatever they need (make among them) through apt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
exec make test
