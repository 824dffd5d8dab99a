#!/usr/bin/env bash
# Quick start: builds the viewer and every test, and runs them all: the native
# suite on virtual displays (make test), the browser tests in headless
# Chromium (make web-test), then the Windows build's tests under Wine (make
# windows-test). Installs first, in one go through apt, whatever they need:
# make, emscripten, Chromium, Node.js, npm, MinGW-w64 and Wine among them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test --web-test --windows-test
make test
make web-test
exec make windows-test
