#!/usr/bin/env bash
# Installs everything the build, the demo and the tests need, from Debian's packages.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  # compiler and build
  g++ cmake ninja-build pkg-config
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # window system, OpenGL 1.1 + GLU (Mesa llvmpipe when there is no GPU)
  libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  # JPEG and PNG skins, PNG screenshots, sound output
  libjpeg62-turbo-dev libpng-dev libopenal-dev
  # rendering without a display (EGL), animated GIF sprites
  libegl-dev libgif-dev
  # font image generated at build time
  libfreetype-dev fonts-dejavu-core
  # virtual display for tests; SDL's message box needs xfonts-base
  xvfb xauth xfonts-base xdotool imagemagick x11-utils
  # fuzzing and sanitizers; the Clang build
  clang libclang-rt-14-dev
  # the .deb: package dependencies from the binaries (dpkg-shlibdeps)
  dpkg-dev
  # interpreters the script benchmark compares against
  lua5.4 luajit python3
  # a general-purpose 3D engine the model-drawing benchmark compares against
  libirrlicht-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
