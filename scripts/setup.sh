#!/usr/bin/env bash
# Installs what building and testing Vadazaz needs on Debian 12, skipping what is already there;
# with --program, only what building the program needs.
set -euo pipefail

# What building the program needs.
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # the JSON parser that tells a key named twice in a problem file
    nlohmann-json3-dev
    # the faces standing in for the program's fonts
    fonts-urw-base35 fonts-ebgaramond fonts-liberation fonts-dejavu-core
)
# What testing, checking and fuzzing need besides; left out with --program.
if [ "${1:-}" != --program ]; then
    packages+=(
        # access-control lists for the tests of saving
        acl
        # screenshots of the windows, and checking the desktop entry and the problem file type
        xvfb xauth desktop-file-utils libxml2-utils shared-mime-info
        # the fuzz targets: clang with libFuzzer and the sanitizers' runtime
        clang libclang-rt-14-dev
    )
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi
