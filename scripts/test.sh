#!/usr/bin/env bash
# Quick start: builds the viewer and every test, and runs them all: the native
# suite on virtual displays (make test), then the browser tests in headless
# Chromium (make web-test). Installs first, in one go through apt, whatever
# they need: make, emscripten, Chromium, Node.js and npm among them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test --web-test
make test
exec make web-test
