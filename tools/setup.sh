#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and configures + builds a tree.
# Usage: tools/setup.sh BUILD_DIR [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build ccache pkg-config qt6-base-dev libgl-dev zlib1g-dev libzip-dev
          libpugixml-dev nettle-dev libgtest-dev libbenchmark-dev fonts-crosextra-carlito fonts-liberation2)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=$1
shift
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
