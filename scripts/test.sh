#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test offscreen.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" tests
"$root/scripts/build.sh"
"$root/scripts/ctest.sh" "${BUILD_DIR:-$root/build}"
