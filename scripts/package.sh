#!/usr/bin/env bash
# Builds the Debian package zev_<version>_<arch>.deb from a Release build of
# its own and prints the package's path last.
#
#   scripts/package.sh [build-folder]     (default: build-release)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build-release"}
"$here/scripts/setup.sh" --packages-only

# The tool launchers run the programs named here by their absolute paths, so
# the package names the paths Debian's imagemagick and ffmpeg provide, whatever
# else this machine has on PATH.
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZEV_BUILD_TESTS=OFF \
  -DZEV_IMAGEMAGICK_CONVERT=/usr/bin/convert-im6.q16 -DZEV_FFMPEG=/usr/bin/ffmpeg >/dev/null
cmake --build "$build" -j"$(nproc)"

rm -f "$build"/zev_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build" >/dev/null
debs=("$build"/zev_*.deb)
[ -f "${debs[0]}" ] || { echo "package: cpack made no zev_*.deb in $build" >&2; exit 1; }
echo "${debs[0]}"
