#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh built:
# - lintian reports no error and no warning;
# - its version is the project's, and its Depends names the Debian package of every library
#   that a program or libzorvan links from outside the package;
# - unpacked with dpkg-deb -x into a temporary folder, it passes
#   packaging/tests/check-installed-tree.sh (desktop entry, metainfo, icons, manual pages,
#   RUNPATH, the monitor started offscreen and closed);
# - the command-line inspector usr/bin/brelvane, run from the unpacked tree, answers --version
#   and takes a snapshot of a dds-peer.
#
#   scripts/check-package.sh [package.deb]
# Default: the one package in build-package/ (or $PACKAGE_BUILD_DIR). The peer comes from the
# test build in build/ (or $BUILD_DIR). Starts DDS participants: run it under the DDS lock.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/packaging/tests/checks.sh"
package_build=${PACKAGE_BUILD_DIR:-$top/build-package}
build=${BUILD_DIR:-$top/build}
deb=${1:-$(ls "$package_build"/brelvane_*.deb)}
export CYCLONEDDS_URI="file://$top/config/loopback.xml"
export QT_QPA_PLATFORM=offscreen

cache_value() {
  sed -n "s/^$1:[A-Z]*=//p" "$package_build/CMakeCache.txt"
}
version=$(cache_value CMAKE_PROJECT_VERSION)
libdir=$(cache_value CMAKE_INSTALL_LIBDIR)

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || exit 1

lintian_clean() {
  # A warning that cannot be fixed is overridden, with its reason, in
  # packaging/debian/lintian-overrides (installed when it exists); none is needed today.
  lintian --fail-on error,warning --show-overrides "$deb" 2>&1 |
    grep -v '^running with root privileges is not recommended!$'
  return "${PIPESTATUS[0]}"
}

version_is_project() {
  local found
  found=$(dpkg-deb -f "$deb" Version)
  [ "$found" = "$version" ] || { echo "package version $found, project $version"; return 1; }
}

# Debian 12 registers libraries under /lib or /usr/lib, whichever the loader may report.
owner_of() {
  local path=$1 alternative
  case "$path" in
    /usr/*) alternative=${path#/usr} ;;
    *) alternative=/usr$path ;;
  esac
  dpkg -S "$path" 2>/dev/null || dpkg -S "$alternative" 2>/dev/null
}

depends_cover_linked_libraries() {
  local depends file needed resolved owner status=0
  depends=" $(dpkg-deb -f "$deb" Depends | tr ',|()' '    ') "
  while IFS= read -r file; do
    for needed in $(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
      case "$needed" in ld-linux*) continue ;; esac # the loader comes with libc6
      resolved=$(cd / && env -u LD_LIBRARY_PATH ldd "$file" |
        awk -v lib="$needed" '$1 == lib && $2 == "=>" { print $3 }')
      if [ -z "$resolved" ] || [ "$resolved" = "not" ]; then
        echo "$(basename "$file"): $needed not found"
        status=1
        continue
      fi
      [[ "$(realpath "$resolved")" == "$root"/* ]] && continue # ours, inside the package
      owner=$(owner_of "$resolved" | head -1 | cut -d: -f1)
      if [ -z "$owner" ] || [[ "$depends" != *" $owner "* ]]; then
        echo "$(basename "$file"): $needed ($resolved, package '$owner') is not in Depends"
        status=1
      fi
    done
  done < <(find "$root" -type f \( -path '*/bin/*' -o -name '*.so*' \))
  return $status
}

check "lintian: no error, no warning" lintian_clean
check "version is the project's ($version)" version_is_project
check "Depends covers every library linked from outside the package" \
  depends_cover_linked_libraries
tree_log=$(mktemp)
bash "$top/packaging/tests/check-installed-tree.sh" "$root" usr/bin "usr/$libdir/brelvane" \
  usr/share | tee "$tree_log"
# Its closing line "installed-tree: N passed, N failed" adds to the counts here.
read -r tree_passed tree_failed < <(sed -n 's/^installed-tree: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$tree_log")
rm -f "$tree_log"
if [ -z "${tree_passed:-}" ]; then
  echo "FAIL: the unpacked package's checks did not finish"
  failed=$((failed + 1))
else
  passed=$((passed + tree_passed))
  failed=$((failed + tree_failed))
fi

# ---- The command-line inspector -------------------------------------------------------------
# Domain 190 is this check's own; no test uses it.
inspector=$root/usr/bin/brelvane
inspector_version() {
  local output
  output=$(cd / && env -u LD_LIBRARY_PATH "$inspector" --version) || return 1
  [[ "$output" == *"$version"* ]] || { echo "--version printed: $output"; return 1; }
}
inspector_snapshot() {
  local peer_out peer output status=0
  peer_out=$(mktemp)
  "$build/tools/dds-peer/dds-peer" --domain 190 --writer PackageCheckTopic >"$peer_out" &
  peer=$!
  for ((i = 0; i < 300; i++)); do
    grep -q '^READY$' "$peer_out" && break
    sleep 0.1
  done
  if output=$(cd / && env -u LD_LIBRARY_PATH "$inspector" snapshot --domains 190 --settle 10 \
      --format json); then
    [[ "$output" == *PackageCheckTopic* ]] || { echo "the peer's topic is not in the snapshot"; status=1; }
  else
    echo "snapshot failed with exit code $?"
    status=1
  fi
  kill "$peer" 2>/dev/null
  wait "$peer" 2>/dev/null
  rm -f "$peer_out"
  return $status
}
inspector_installed() {
  [ -x "$inspector" ] || { echo "usr/bin/brelvane is not in the package"; return 1; }
}
check "the package installs brelvane" inspector_installed
check "brelvane --version prints $version" inspector_version
check "brelvane snapshot finds a peer's topic" inspector_snapshot

summary package
