#!/usr/bin/env bash
# Sets everything up, builds, and converts the bundled sample frames.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
