#!/usr/bin/env bash
# Installs what is needed, builds Trelimo and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

if [ -x build/app/trelimo ]; then
  cd build/app && exec ./trelimo "$@"
fi
echo "Everything is built. The program itself (trelimo) comes with the application shell; it is not there yet."
