#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (CTest, offscreen).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" "$@"
cd "$here/build"
ctest --output-on-failure -j2 --timeout 600
