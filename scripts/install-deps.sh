#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, skipping what is there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools
  cyclonedds-dev cyclonedds-tools
  libfastrtps-dev libfastcdr-dev
  fonts-wqy-zenhei
  xvfb xauth imagemagick
  dpkg-dev file lintian desktop-file-utils appstream man-db
  # Test only: tst_inspector checks the inspector's JSON documents against docs/schema with a
  # standard JSON Schema validator instead of a home-made one.
  python3-jsonschema
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
