#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test offscreen.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DWARNINGS_AS_ERRORS=ON "$@"
build=${BUILD_DIR:-$top/build}
export QT_QPA_PLATFORM=offscreen
export CYCLONEDDS_URI="file://$top/config/loopback.xml"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
