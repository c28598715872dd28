#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh          optimised build (build/default)
#   ./test.sh asan     AddressSanitizer + UndefinedBehaviorSanitizer (build/asan)
#   ./test.sh tsan     ThreadSanitizer (build/tsan)
set -euo pipefail
cd "$(dirname "$0")"
preset="${1:-default}"

scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)"
