#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite through ctest:
#  1. the portable core natively (GoogleTest);
#  2. the same under ASan and UBSan;
#  3. the ZIP reader's fuzz target under clang's sanitizers, for a bounded time;
#  4. the Windows executable cross-built with MinGW-w64, its unit tests and the Wine
#     tests of the real executable (Xvfb and fresh Wine prefixes started and stopped here);
#  5. the same executable built for HTTPS servers and a payload key, and its HTTPS and
#     signature tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}

bash tools/install-deps.sh

# Configures quietly, but shows why a part of the suite is left out (the fuzzer, the
# scenario tests): those lines say "skipped" or "left out". On failure, everything.
configure() {
  local log
  log=$(cmake "$@" 2>&1) || { printf '%s\n' "$log" >&2; return 1; }
  printf '%s\n' "$log" | grep -E 'skipped|left out' || true
}

run_ctest() {
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j"$jobs" "$@")
}

echo "== native core"
# The benchmarks are built so that they keep compiling, but not run: their figures mean
# something only on a quiet machine.
configure -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVERA_BENCH=ON
cmake --build build/native -j"$jobs"
run_ctest build/native

echo "== native core under ASan and UBSan"
configure -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALVERA_SANITIZE=ON \
  -DKALVERA_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKALVERA_FUZZ=ON
cmake --build build/sanitize -j"$jobs"
run_ctest build/sanitize

echo "== Windows executable under Wine"
configure -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVERA_BENCH=ON
cmake --build build/win -j"$jobs"
run_ctest build/win

echo "== the same sources for HTTPS servers and a payload key: the HTTPS and signature tests under Wine"
# Only what those tests need is built and only they run: the base update, which must
# work over HTTPS with a signed configuration, the refusals, and the signature checks.
# Its port is not the tree above's, and the two trees' tests never run at once. The
# test key is made afresh here; its server signs what it serves with the private half.
https_server=https://127.0.0.1:${KALVERA_HTTPS_TEST_PORT:-47832}
payload_keys=$root/build/win-https-keys
mkdir -p "$payload_keys"
openssl ecparam -name prime256v1 -genkey -noout -out "$payload_keys/private.pem" 2>/dev/null
openssl ec -in "$payload_keys/private.pem" -pubout -out "$payload_keys/public.pem" 2>/dev/null
configure -S . -B build/win-https -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVERA_BENCH=OFF \
  -DKALVERA_CONFIG_SERVER="$https_server" -DKALVERA_PACKAGE_SERVER="$https_server" \
  -DKALVERA_PAYLOAD_KEY="$payload_keys/public.pem" -DKALVERA_TEST_SIGNING_KEY="$payload_keys/private.pem"
cmake --build build/win-https -j"$jobs" --target wine_scenario_update_test wine_scenario_https_test \
  wine_scenario_signed_test
run_ctest build/win-https -R "^wine_scenario_(update|https|signed)_test"
