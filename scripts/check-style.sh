#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it with the
# project's .clang-format, or when shellcheck finds anything in a shell
# script, or when a link in a Markdown page points at nothing. Checks the
# files git knows, so build folders never count.
#
#   scripts/check-style.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "check-style: run clang-format -i on the files above" >&2
  status=1
fi

mapfile -t scripts < <(git ls-files '*.sh' .ci/run)
if ! shellcheck --severity=info "${scripts[@]}"; then
  status=1
fi

if ! python3 "$here/scripts/check-links.py"; then
  status=1
fi

if [ "$status" -eq 0 ]; then
  echo "check-style: ${#sources[@]} C++ files formatted, ${#scripts[@]} shell scripts clean"
fi
exit "$status"
