#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: the full test
# suite under a virtual X server (the renderer and the OpenCL kernels run for
# real: Mesa for OpenGL, pocl for OpenCL), then the model's tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the GUI tests labelled
# asan (the drawing widget and the tools around freed tree nodes) in a
# sanitizer build of the whole program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
export POCL_CACHE_DIR="$PWD/build/pocl-cache"
mkdir -p "$POCL_CACHE_DIR"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTRELIMO_SANITIZE=ON -DTRELIMO_MODEL_ONLY=ON \
  -DTRELIMO_BUILD_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

# Only the test programs labelled asan are built and run here (a test's name is
# its program's name), which keeps this part to minutes. Leak checks stay off:
# Mesa and pocl keep allocations until the process ends.
cmake -S . -B build-sanitize-gui -DCMAKE_BUILD_TYPE=Debug -DTRELIMO_SANITIZE=ON -DTRELIMO_BUILD_BENCH=OFF
mapfile -t asan_tests < <(ctest --test-dir build-sanitize-gui -L asan -N | sed -n 's/^ *Test *#[0-9]*: //p')
if [ "${#asan_tests[@]}" -gt 0 ]; then
  cmake --build build-sanitize-gui -j "$jobs" --target "${asan_tests[@]}"
  POCL_CACHE_DIR="$PWD/build-sanitize-gui/pocl-cache" \
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build-sanitize-gui -L asan --output-on-failure -j "$jobs"
fi
