#!/usr/bin/env bash
# Builds the Debian package brelvane_<version>_<arch>.deb into build-package/ (or
# $PACKAGE_BUILD_DIR) with CPack: a Release build, with Debian's hardening flags, of only what
# the package installs (the target `installables`), then dpkg-shlibdeps for its dependencies.
# Install it with: apt install ./build-package/brelvane_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PACKAGE_BUILD_DIR:-$top/build-package}

# Debian's flags for packages: fortify, stack protector, format checks, full RELRO, bind now.
# The symbols go anyway (CPack strips), so -g would only slow the build.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CFLAGS_MAINT_STRIP=-g \
  DEB_CXXFLAGS_MAINT_STRIP=-g dpkg-buildflags --export=sh)"
# CMake reads no CPPFLAGS: the preprocessor's part (_FORTIFY_SOURCE) goes with the compiler's.
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"

# CMAKE_SKIP_INSTALL_ALL_DEPENDENCY: CPack installs what `installables` built, without first
# building every test and tool.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j2 --target installables

rm -f "$build"/brelvane_*.deb
(cd "$build" && cpack -G DEB -B "$build" >/dev/null)
ls "$build"/brelvane_*.deb
