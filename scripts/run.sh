#!/usr/bin/env bash
# Quick start: builds the viewer and opens it on your X display, installing
# first whatever it needs to build (make among them) through apt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/need-display.sh
scripts/install-deps.sh
exec make run
