#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: ./test.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/setup.sh" "$here/build"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
