#!/usr/bin/env bash
# Sets up a Debian 12 machine to build, run and test ZEV, then builds it.
# Safe to run again: packages already present are not touched, and the build
# only redoes what changed.
#
#   scripts/setup.sh [build-folder [cmake options...]]   (default: build)
#   scripts/setup.sh --target NAME [build-folder ...]   (build NAME and what it
#                                       needs, not everything; may be repeated)
#   scripts/setup.sh --packages-only    (install the packages, build nothing)
#
# An ordinary build keeps compiler warnings as warnings; scripts/test.sh
# passes -DZEV_WARNINGS_AS_ERRORS=ON as CI does.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
targets=()
while [ "${1:-}" = --target ]; do
  targets+=(--target "${2:?setup: --target needs a name}")
  shift 2
done
build=${1:-"$here/build"}
shift || true

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # the marked description's zlib
  zlib1g-dev
  # lrelease and lupdate for the translations
  qt6-tools-dev qt6-l10n-tools
  libgtest-dev libgmock-dev
  imagemagick ffmpeg
  fonts-wqy-microhei
  xvfb xauth
  time procps
  dbus-daemon libxtst6
  # the manual page, and the Debian package with its check
  help2man dpkg-dev man-db
  # the style checks and the static analysis
  clang-format shellcheck clang-tidy
  # the web player's test: a real browser, driven from Python
  chromium python3
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
    sudo=(sudo)
  fi
  echo "setup: installing ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$build" = --packages-only ]; then
  exit 0
fi
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEV_WARNINGS_AS_ERRORS=OFF "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
