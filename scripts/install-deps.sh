#!/usr/bin/env bash
# Installs, with Debian's apt, whatever the build and the tests need and this machine lacks.
# Safe to run again: it only calls apt when a package is missing.
set -euo pipefail

# "tool" installs what the halcyne command needs, "windows" that and what its 64-bit Windows build needs to be built
# and run under Wine (halcyne --dialog); anything else (the default) what the tests need too.
tool_packages=(cmake ninja-build g++ python3 libpng-dev libjpeg-dev libwebp-dev libtiff-dev)
windows_packages=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64)
test_packages=(
  clang libclang-rt-14-dev pkg-config googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 wine32:i386 xvfb xauth
  giflib-tools libgif-dev imagemagick python3-pil
)
packages=("${tool_packages[@]}")
case "${1:-all}" in
  tool) ;;
  windows) packages+=("${windows_packages[@]}") ;;
  *) packages+=("${windows_packages[@]}" "${test_packages[@]}") ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
