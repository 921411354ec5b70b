#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and
# runs every test: the unit tests in two time zones and the exhaustive
# round trip over all 2^32 Unix times.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
kvix_install_missing "${KVIX_RUN_PACKAGES[@]}" "${KVIX_TEST_PACKAGES[@]}"

cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci "$@"
