#!/usr/bin/env bash
# Installs what is missing, builds KVIX Quendral and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
kvix_install_missing "${KVIX_RUN_PACKAGES[@]}"

cmake --preset default -DKVIX_BUILD_TESTS=OFF -DKVIX_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build --preset default --target kvix-quendral

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: run this in a desktop session, or under a virtual one: xvfb-run $0" >&2
    exit 1
fi
exec build/default/kvix-quendral
