#!/usr/bin/env bash
# Checks an installed or unpacked tree of the package:
# - the desktop entry and the AppStream metainfo validate, and the entry runs a program there;
# - the icon exists in the hicolor theme, each PNG of the size its folder names;
# - every program has a manual page that renders without a warning;
# - every program finds libzorvan inside the tree through its RUNPATH, without LD_LIBRARY_PATH;
# - the monitor starts from the tree on the offscreen platform and closes cleanly on SIGTERM.
#
#   check-installed-tree.sh ROOT BINDIR PRIVATE_LIBDIR DATAROOTDIR
#
# The three directories are relative to ROOT (usr/bin, usr/lib/<multiarch>/brelvane and
# usr/share in the package). CYCLONEDDS_URI must name the loopback configuration.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

root=$(realpath "$1")
bindir=$root/$2
libdir=$root/$3
datadir=$root/$4
: "${CYCLONEDDS_URI:?must name the loopback configuration}"
app_id=org.brelvane.Monitor
desktop=$datadir/applications/$app_id.desktop
metainfo=$datadir/metainfo/$app_id.metainfo.xml

# desktop-file-validate reports hints with exit code 0: any output counts as a finding.
silent_ok() {
  local output
  output=$("$@" 2>&1) || { printf '%s\n' "$output"; return 1; }
  [ -z "$output" ] || { printf '%s\n' "$output"; return 1; }
}

entry_program_exists() {
  local exec
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -n "$exec" ] && [ -x "$bindir/$exec" ] || { echo "Exec=$exec is not in $bindir"; return 1; }
}

# "PNG image data, 16 x 16, 8-bit/color RGBA, non-interlaced" -> 16x16
png_size() {
  file -b "$1" | sed -n 's/^PNG image data, \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'
}

icons_match_folders() {
  local icon size count=0 large=0
  for icon in "$datadir"/icons/hicolor/*/apps/$app_id.png; do
    [ -f "$icon" ] || continue
    size=$(png_size "$icon")
    if [ "$size" != "$(basename "$(dirname "$(dirname "$icon")")")" ]; then
      echo "$icon is $size"
      return 1
    fi
    count=$((count + 1))
    # AppStream wants the stock icon at 64 pixels or more.
    [ "${size%%x*}" -lt 64 ] || large=$((large + 1))
  done
  ((count > 0 && large > 0)) || { echo "$count icons, $large of 64 pixels or more"; return 1; }
}

manual_page_renders() {
  local page=$datadir/man/man1/$1.1.gz output
  [ -f "$page" ] || { echo "no $page"; return 1; }
  output=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$output" ] || { printf '%s\n' "$output"; return 1; }
}

finds_zorvan_in_tree() {
  local program=$1 runpath resolved
  runpath=$(readelf -d "$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  [[ "$runpath" == '$ORIGIN/'* ]] || { echo "RUNPATH is '$runpath'"; return 1; }
  resolved=$(cd / && env -u LD_LIBRARY_PATH ldd "$program" | sed -n 's/.*libzorvan.so.1.1 => \([^ ]*\).*/\1/p')
  [ -n "$resolved" ] && [ "$(realpath "$resolved")" = "$(realpath "$libdir/libzorvan.so.1.1")" ] ||
    { echo "libzorvan.so.1.1 resolves to '$resolved'"; return 1; }
}

# main() installs its SIGTERM handler after the window is shown, right before the event loop.
catches_sigterm() {
  local mask
  mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
  [ -n "$mask" ] && (((16#$mask >> 14) & 1))
}

monitor_starts_and_closes() {
  local log pid code i loaded=1
  log=$(mktemp)
  # From / and without LD_LIBRARY_PATH: only the RUNPATH can lead it to libzorvan.
  (cd / && exec env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$bindir/brelvane-monitor" \
    >"$log" 2>&1) &
  pid=$!
  for ((i = 0; i < 600; i++)); do
    catches_sigterm "$pid" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if ! catches_sigterm "$pid"; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid"
    echo "the monitor did not come up (exit code $?)"
    cat "$log"
    rm -f "$log"
    return 1
  fi
  if ! grep -qF "$(realpath "$libdir/libzorvan.so.1.1")" "/proc/$pid/maps"; then
    echo "libzorvan.so.1.1 of the tree is not loaded:"
    grep zorvan "/proc/$pid/maps"
    loaded=0
  fi
  kill -TERM "$pid"
  for ((i = 0; i < 600; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null && echo "the monitor did not end within 60 s of SIGTERM"
  wait "$pid"
  code=$?
  if ((code != 0)); then
    echo "exit code $code"
    cat "$log"
  fi
  rm -f "$log"
  ((code == 0 && loaded))
}

check "desktop entry validates" silent_ok desktop-file-validate "$desktop"
check "desktop entry runs a program of the tree" entry_program_exists
check "AppStream metainfo validates" appstreamcli validate --no-net "$metainfo"
check "hicolor icons have the sizes of their folders" icons_match_folders
for program in "$bindir"/*; do
  name=$(basename "$program")
  check "$name: manual page renders without warnings" manual_page_renders "$name"
  check "$name: finds libzorvan in the tree through its RUNPATH" finds_zorvan_in_tree "$program"
done
check "brelvane-monitor starts offscreen and closes cleanly on SIGTERM" monitor_starts_and_closes
summary installed-tree
