#!/usr/bin/env bash
# The test install_tree: installs the package's component of a build into a temporary folder
# with `cmake --install` and checks the result with check-installed-tree.sh.
#   install-tree.sh CMAKE BUILD_DIR BINDIR PRIVATE_LIBDIR DATAROOTDIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmake=$1 build=$2
shift 2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
"$cmake" --install "$build" --component brelvane --prefix "$root" >/dev/null || exit 1
bash "$here/check-installed-tree.sh" "$root" "$@"
