#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and
# runs every test: the unit tests in two time zones and the exhaustive
# round trip over all 2^32 Unix times; then both Windows programs, built,
# checked and (the 64-bit one; the 32-bit one too with KVIX_WINE32=1) run
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
wine32=()
if [ "${KVIX_WINE32:-0}" = 1 ]; then
    kvix_add_i386
    wine32=("${KVIX_WINE32_PACKAGES[@]}")
fi
# Every package before any Wine prefix is made (the tests make them).
kvix_install_missing "${KVIX_RUN_PACKAGES[@]}" "${KVIX_TEST_PACKAGES[@]}" "${wine32[@]}"
# The locales of the time-zone and locale matrix (tests labelled "matrix").
kvix_ensure_locales "${KVIX_MATRIX_LOCALES[@]}"

cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci "$@"

# ---- The Windows programs ----
# Both built (presets win64 and win32, MinGW-w64), each executable checked;
# the 64-bit program run under Wine on Xvfb by the end-to-end driver, and
# the round trip's stretches as a Windows console program.  The 32-bit one
# runs only with KVIX_WINE32=1, which adds Debian's i386 architecture.
for preset in win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
ctest --preset win64
if [ "${KVIX_WINE32:-0}" = 1 ]; then
    ctest --preset win32
else
    echo "The 32-bit Windows program is checked, not run: KVIX_WINE32=1 $0 runs it under wine32."
    ctest --preset win32 -LE wine
fi

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
