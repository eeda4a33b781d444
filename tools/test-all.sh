#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite through ctest:
#  1. the portable core natively (GoogleTest);
#  2. the same under ASan and UBSan;
#  3. the ZIP reader's fuzz target under clang's sanitizers, for a bounded time;
#  4. the Windows executable cross-built with MinGW-w64, its unit tests and the Wine
#     tests of the real executable (Xvfb and fresh Wine prefixes started and stopped here).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}

bash tools/install-deps.sh

run_ctest() {
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j"$jobs" "$@")
}

echo "== native core"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVERA_BENCH=OFF >/dev/null
cmake --build build/native -j"$jobs"
run_ctest build/native

echo "== native core under ASan and UBSan"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALVERA_SANITIZE=ON \
  -DKALVERA_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKALVERA_FUZZ=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
run_ctest build/sanitize

echo "== Windows executable under Wine"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVERA_BENCH=OFF >/dev/null
cmake --build build/win -j"$jobs"
run_ctest build/win
