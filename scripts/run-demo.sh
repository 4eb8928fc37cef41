#!/usr/bin/env bash
# Installs what is missing, builds, starts the demo DDS system on domain 0 and opens the
# monitor. Everything stays on the loopback interface. In the monitor choose
# "设置" / "设置域号" and enter 0 under "included:".
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build=${BUILD_DIR:-$top/build}
export CYCLONEDDS_URI="file://$top/config/loopback.xml"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: run this from a desktop session, or under xvfb-run." >&2
  exit 1
fi

"$build/tools/demo/brelvane-demo" --domains 0 &
demo=$!
trap 'kill $demo 2>/dev/null; wait $demo 2>/dev/null' EXIT
"$build/app/brelvane-monitor"
