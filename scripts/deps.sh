#!/usr/bin/env bash
# Installs the Debian packages rvcps needs to build, test and run (only the missing ones).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev libgtest-dev googletest
          libsimpleini-dev nlohmann-json3-dev libcsv-dev libbenchmark-dev ccache
          qt6-translations-l10n locales
          xvfb xauth xdotool imagemagick poppler-utils fonts-wqy-microhei
          dpkg-dev lintian desktop-file-utils appstream man-db)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
