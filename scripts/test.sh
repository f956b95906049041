#!/usr/bin/env bash
# Sets everything up, builds, and runs every test. Exits non-zero when any
# test fails.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
ctest --test-dir "$here/build" --output-on-failure -j"$(nproc)" --timeout 300
