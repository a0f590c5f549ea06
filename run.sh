#!/usr/bin/env bash
# Installs what is missing, builds if needed and starts the editor: ./run.sh [FILE]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/setup.sh" "$here/build" -DQUORVEL_BENCH=OFF
exec "$here/build/src/quorvel" "$@"
