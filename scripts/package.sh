#!/usr/bin/env bash
# Installs what is missing, builds Tavrel's Release build with Debian's build flags and makes the
# Debian package from its install tree (CPack, dependencies by dpkg-shlibdeps). Prints the
# package's path as its last line.
# Usage: scripts/package.sh [--test]
#   --test  also checks the package: lintian (an error fails, warnings are shown), the AppStream
#           metainfo, `cmake --install` giving the same tree, and, unpacked into a scratch root,
#           the programs' versions, the man pages, the desktop entry and the bash completion.
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1:-}" in
    --test) check=true ;;
    "") ;;
    *) echo "Usage: scripts/package.sh [--test]" >&2; exit 2 ;;
esac
build="${TAVREL_PACKAGE_BUILD:-build/package}"

scripts/install-deps.sh package
# Debian's flags with every hardening feature (bindnow too, which the defaults leave out).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_BUILD_TESTS=OFF -DTAVREL_WERROR=OFF \
    -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j"${TAVREL_JOBS:-$(nproc)}"
rm -f "$build"/tavrel_*.deb
(cd "$build" && cpack -G DEB) >"$build/cpack.log" || { cat "$build/cpack.log" >&2; exit 1; }
deb=$(realpath "$build"/tavrel_*.deb)

if $check; then
    scripts/check-package.sh "$deb" "$build"
fi
echo "$deb"
