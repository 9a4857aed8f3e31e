#!/usr/bin/env bash
# Installs from Debian's packages what building and running the program need; with --tests,
# also what the tests, the sanitizer and Clang builds, the fuzzers and the benchmarks need,
# and the npm packages that judge the glTF export under node (gltf-validator, three), into
# tests/e2e/export/node_modules as its package-lock.json pins them.
# Idempotent: when everything is present it only checks and returns.
#
#   scripts/setup.sh [--tests]
set -euo pipefail
cd "$(dirname "$0")/.."
tests=false
[ "${1:-}" = --tests ] && tests=true

PACKAGES=(
  # compiler and build
  g++ cmake ninja-build pkg-config
  # window system, OpenGL 1.1 + GLU (Mesa llvmpipe when there is no GPU)
  libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  # JPEG and PNG skins, PNG screenshots and sprites, sound output
  libjpeg62-turbo-dev libpng-dev libdeflate-dev libopenal-dev
  # rendering without a display (EGL), animated GIF sprites
  libegl-dev libgif-dev libwebp-dev
  # glTF export
  libtinygltf-dev nlohmann-json3-dev
  # font image generated at build time
  libfreetype-dev fonts-dejavu-core
  # SDL's message box (the start-up question) needs the X core fonts
  xfonts-base
)
TEST_PACKAGES=(
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # virtual display for tests, typing into it, screenshots
  xvfb xauth xdotool imagemagick x11-utils
  # fuzzing and sanitizers; the Clang build
  clang libclang-rt-14-dev
  # the .deb: package dependencies from the binaries (dpkg-shlibdeps)
  dpkg-dev
  # interpreters the script benchmark compares against
  lua5.4 luajit python3
  # a general-purpose 3D engine the model-drawing benchmark compares against
  libirrlicht-dev
  # a reader of the exported glTF files
  assimp-utils
)
$tests && PACKAGES+=("${TEST_PACKAGES[@]}")

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=()
  [ "$(id -u)" -eq 0 ] || SUDO=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -q
  "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The glTF judges run under the machine's node; without it the export test says it skips.
if $tests; then
  if command -v npm >/dev/null; then
    lock=tests/e2e/export/package-lock.json stamp=tests/e2e/export/node_modules/.package-lock.json
    if [ ! -f "$stamp" ] || [ "$lock" -nt "$stamp" ]; then
      echo "setup: installing the glTF judges (npm ci in tests/e2e/export)"
      (cd tests/e2e/export && npm ci --no-audit --no-fund --loglevel=error)
    fi
  else
    echo "setup: npm is missing: the glTF export test will be skipped"
  fi
fi
