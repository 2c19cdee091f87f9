#!/usr/bin/env bash
# Installs what building and testing Hertzwerk needs on Debian 12. Run as root.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  # native build and unit tests
  cmake make g++ libgtest-dev
  # fault planting builds with Ninja
  ninja-build
  # Windows cross builds and the help file
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 fp-utils
  # end-to-end tests: Wine on a private X server with display modes, screenshots
  wine64 xvfb xauth x11-xserver-utils x11-utils libx11-dev libxrandr-dev imagemagick zip unzip
  # Direct3D under Wine renders through Mesa's software OpenGL
  libgl1 libglx-mesa0 libgl1-mesa-dri libglapi-mesa libegl-mesa0
  # the 32-bit hzwk.exe, the build users run: 32-bit Wine and 32-bit Mesa beside the 64-bit ones,
  # and the 32-bit X extensions Wine loads at run time (without XRandR a 32-bit program cannot
  # change the display mode, so the Direct3D test fails in any mode but the desktop's)
  wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  libxrandr2:i386 libxrender1:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386
)
# 32-bit Wine needs the i386 architecture; a prefix made before it lacks syswow64.
dpkg --add-architecture i386
apt-get update
apt-get install -y --no-install-recommends "${packages[@]}"
