#!/usr/bin/env bash
# Walks the operator's path (domain, views, problems and counts, topic tab, writer, process tab,
# domain change) in a real X window under Xvfb, with the demo DDS system on loopback, and saves a
# screenshot after every step into docs/screenshots/tour/ (or the directory given as first
# argument), then the English window into docs/screenshots/ (or that directory). DISPLAY_NUMBER
# picks the Xvfb display (default: one of :90 to :98), DOMAIN the DDS domain (default 101).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/docs/screenshots/tour}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build=${BUILD_DIR:-$top/build}

display=:${DISPLAY_NUMBER:-$(( 90 + RANDOM % 9 ))}
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1

mkdir -p "$out"
DISPLAY=$display QT_QPA_PLATFORM=xcb \
CYCLONEDDS_URI="file://$top/config/loopback.xml" \
BRELVANE_DEMO="$build/tools/demo/brelvane-demo" \
BRELVANE_TEST_DOMAINS=${DOMAIN:-101} \
BRELVANE_SCREENSHOT_DIR="$out" \
  "$build/tests/app/tst_endtoend"
# The English window, with the comparison shown, as docs/screenshots/window-en.png.
DISPLAY=$display QT_QPA_PLATFORM=xcb LANGUAGE=en BRELVANE_EXPECT_LANGUAGE=en \
CYCLONEDDS_URI="file://$top/config/loopback.xml" \
BRELVANE_DEMO="$build/tools/demo/brelvane-demo" \
BRELVANE_TEST_DOMAINS=${DOMAIN:-101} \
BRELVANE_SCREENSHOT_DIR="${1:-$top/docs/screenshots}" \
  "$build/tests/app/tst_uilanguage"
echo "screenshots in $out"
