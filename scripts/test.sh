#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and
# runs every test: the unit tests in two time zones and the exhaustive
# round trip over all 2^32 Unix times.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
kvix_install_missing "${KVIX_RUN_PACKAGES[@]}" "${KVIX_TEST_PACKAGES[@]}"
# The locales of the time-zone and locale matrix (tests labelled "matrix").
kvix_ensure_locales "${KVIX_MATRIX_LOCALES[@]}"

cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci "$@"

# ---- Hardening: the suite under the sanitizers, then fuzzing ----
# Preset asan: AddressSanitizer (LeakSanitizer on) and UndefinedBehavior-
# Sanitizer over every test but the exhaustive sweep (unoptimized and
# instrumented it would outlast CI) and the locale matrix, which repeats the
# same code.
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -LE "exhaustive|matrix"
# Preset fuzz (clang): each libFuzzer target for KVIX_FUZZ_SECONDS seconds
# (60 unless set), both at once.
cmake --preset fuzz -DKVIX_FUZZ_SECONDS="${KVIX_FUZZ_SECONDS:-60}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
