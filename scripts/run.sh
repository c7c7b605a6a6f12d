#!/usr/bin/env bash
# Builds everything and shows the plug-in as the host sees it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
nm -D --defined-only "$here/build/bin/plugins/QUXfamily.so"
