#!/usr/bin/env bash
# Installs what is missing, builds the Windows program for 32-bit and 64-bit
# Windows (MinGW-w64, statically linked) and makes a zip of each:
#   build/zip/kvix-quendral-VERSION-win32.zip, ...-win64.zip
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
kvix_install_missing "${KVIX_RUN_PACKAGES[@]}" "${KVIX_WINDOWS_PACKAGES[@]}"
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    cpack --config "build/$preset/CPackConfig.cmake" -B build/zip >/dev/null
done
rm -rf build/zip/_CPack_Packages
ls -l build/zip/*.zip
