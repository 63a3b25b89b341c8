#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only those that are missing; with "tests" also the spreadsheet program
# Gnumeric, whose ssconvert the tests of the goods CSV for spreadsheets run;
# with "fuzz" also clang with its libFuzzer and sanitizer runtimes and the
# symbolizer for their reports; with "package" also what builds and checks
# the Debian package. Runs apt as root, or through sudo.
# Usage: scripts/install-deps.sh [tests|fuzz|package]
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev qttranslations5-l10n
    libkf5archive-dev libxlsxwriter-dev
    fonts-dejavu-core xvfb xauth
)
if [ "${1:-}" = tests ]; then
    packages+=(gnumeric)
elif [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-14-dev llvm-14)
elif [ "${1:-}" = package ]; then
    # dpkg-shlibdeps for the package's dependencies, desktop-file-validate for its menu entry.
    packages+=(dpkg-dev desktop-file-utils)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
