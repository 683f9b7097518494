#!/usr/bin/env bash
# Installs what is needed, builds Trelimo and starts it. Arguments go to the
# program (clPlatform=N, clDevice=N choose the OpenCL platform or device).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target trelimo trelimo-console

# The program reads its textures (tex/) and tool-bar icons (icons/) from its
# working directory; both are copied beside it.
cd build/app
exec ./trelimo "$@"
