#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Twinfind need.
# Idempotent: packages already installed are left alone, and nothing is fetched when all are.
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build pkg-config clang
    # core libraries
    libicu-dev libxxhash-dev
    # tests
    libgtest-dev libgmock-dev
    # desktop application
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    libgl-dev libxkbcommon-dev adwaita-icon-theme shared-mime-info
    # headless runs of the desktop application, its session-bus test, screenshots
    xvfb xauth dbus-daemon fonts-dejavu-core
    # extended attributes in test fixtures
    attr
)
if [ "${1:-}" = "--bench" ]; then
    packages+=(hyperfine time jdupes rdfind fdupes rmlint)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
