#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test offscreen, then
# builds the Debian package into build-package/ and checks it (scripts/check-package.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DWARNINGS_AS_ERRORS=ON "$@"
build=${BUILD_DIR:-$top/build}
export QT_QPA_PLATFORM=offscreen
export CYCLONEDDS_URI="file://$top/config/loopback.xml"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
"$top/scripts/package.sh" >/dev/null
"$top/scripts/check-package.sh"
