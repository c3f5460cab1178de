#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Talvoren needs.
# Run as root (or through sudo). Safe to run again: apt-get skips what is installed.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        exec sudo -- "$0" "$@"
    fi
    echo "install-deps.sh: must run as root to install packages with apt-get." >&2
    echo "Run it as root, for example: su -c '$0'" >&2
    exit 1
fi

packages=(
    # toolchain
    build-essential cmake ninja-build pkg-config git clang clang-format libclang-rt-14-dev
    # libraries
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    qt6-pdf-dev qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libplist-dev libssl-dev openssl libsqlite3-dev sqlite3 libgtest-dev googletest
    # fonts so that Japanese texts render in windows and in the manual
    fonts-ipafont-gothic fonts-dejavu-core
    # test tools: display and tray host, D-Bus, XML check, chime generation
    xvfb xauth trayer dbus dbus-x11 libxml2-utils sox libsox-fmt-mp3 python3
    # end-to-end tests: keys and clicks, window lookup, screenshots
    xdotool x11-utils x11-apps imagemagick
    # a destination nothing can be filed into (chattr +i)
    e2fsprogs
    # packaging: man pages, the .deb and its checks
    help2man dpkg-dev fakeroot lintian desktop-file-utils appstream
)

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}"
