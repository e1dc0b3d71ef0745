#!/usr/bin/env bash
# Installs the Debian 12 packages that Tavrel needs and the machine lacks.
# Usage: scripts/install-deps.sh [build|test|run|screenshots|package]
set -euo pipefail

purpose="${1:-build}"
# qt6-tools-dev and qt6-l10n-tools make the translations (lupdate, lrelease, their CMake
# functions); qt6-translations-l10n holds Qt's own, loaded with Tavrel's.
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-tools-dev qt6-l10n-tools
          qt6-translations-l10n libudev-dev libgtest-dev)
# The Debian package and its checks: dpkg-shlibdeps (the dependencies, from the binaries) and
# dpkg-buildflags (Debian's hardening flags); file, which CPack uses to find the binaries to
# strip and scan; lintian; appstreamcli for the metainfo; desktop-file-validate; man for
# rendering the man pages.
package_tools=(dpkg-dev file lintian appstream desktop-file-utils man-db)
# The accessibility tree read as a screen reader reads it (tests/app/accessibility_tree.sh): a
# virtual screen, a private session bus, the AT-SPI bus launcher and registry, and Python's AT-SPI
# client.
a11y_tools=(xvfb dbus-daemon at-spi2-core python3-pyatspi)
case "$purpose" in
    test)
        packages+=(clang libclang-rt-14-dev clang-tidy util-linux "${package_tools[@]}" "${a11y_tools[@]}")
        ;;
    package) packages+=("${package_tools[@]}") ;;
    run) packages+=(qt6-qpa-plugins) ;;
    # A virtual screen, a window manager to frame the windows, and the tools that photograph them.
    screenshots) packages+=(qt6-qpa-plugins xvfb openbox x11-utils imagemagick fonts-dejavu-core) ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
