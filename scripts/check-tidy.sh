#!/usr/bin/env bash
# Runs clang-tidy (Debian's clang-tidy 14, with the project's .clang-tidy) on
# the application's own sources in engine/, cli/, controller/, views/, app/ and media/,
# one file per core at a time. Each file is checked as the build compiles it,
# so the build folder must have been configured (it writes
# compile_commands.json) and built (moc and uic write headers the sources
# include). Fails on any finding.
#
#   scripts/check-tidy.sh [build-folder [file...]]   (default: build, every
#                                                     application source)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
shift || true
cd "$here"

if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-tidy: no $build/compile_commands.json; configure and build first" >&2
  exit 1
fi

if (($#)); then
  sources=("$@")
else
  mapfile -t sources < <(git ls-files 'engine/*.cpp' 'cli/*.cpp' 'controller/*.cpp' 'views/*.cpp' 'app/*.cpp' 'media/*.cpp')
fi
started=$SECONDS
# The build compiles with GCC: clang would report each GCC-only warning
# option as a finding of its own. The count of warnings clang-tidy found and
# hid (in Qt's and the standard library's headers) is no news either.
status=0
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$(nproc)" clang-tidy-14 -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option 2> >(grep -v ' warnings\? generated\.$' >&2) ||
  status=$?
if [ "$status" -ne 0 ]; then
  echo "check-tidy: fix the findings above (or, for a check that is wrong here, say why in .clang-tidy)" >&2
  exit 1
fi
echo "check-tidy: ${#sources[@]} files clean in $((SECONDS - started)) s"
