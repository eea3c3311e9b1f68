#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Idempotent: installs only what is missing.
# Run as root (or through sudo).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libsndfile1-dev libsoxr-dev sox
    libcairo2-dev fonts-liberation2 libstb-dev
    clang-format
    libxcb1-dev libxcb-shm0-dev libxcb-xtest0-dev xvfb
    lv2-dev lilv-utils liblilv-dev sordi
    clang libclang-rt-14-dev llvm
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
    nsis lintian man-db zip python3-debian
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
