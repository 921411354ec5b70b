#!/usr/bin/env bash
# Runs a command of the Windows program's tests in the build's Wine prefix:
# a Windows program (.exe) under Wine, anything else (the end-to-end
# driver) with Wine's environment and $WINE set.  Exit status 77 (skipped)
# where Wine cannot run or the prefix could not be made, saying why.
#   run_in_wine.sh ARCH PREFIX COMMAND [ARGUMENT...]
set -euo pipefail
arch=$1 prefix=$2
shift 2
source "$(dirname "$0")/wine_env.sh"
if ! kvix_wine_setup "$arch" "$prefix"; then
    echo "SKIP: $KVIX_WINE_WHY"
    exit 77
fi
if ! kvix_wine_ready "$prefix"; then
    echo "SKIP: no Wine prefix at $prefix (the test wine.prefix makes it, and says why it could not)"
    exit 77
fi
case $1 in
*.exe)
    # Wine's own processes (its server, services) outlive the program and
    # keep what it was given as output: a file, then, not the test's pipe,
    # which the test would wait on until they end.
    output=$(mktemp)
    trap 'rm -f "$output"' EXIT
    status=0
    "$WINE" "$@" </dev/null >"$output" 2>&1 || status=$?
    tr -d '\r' <"$output"
    exit "$status"
    ;;
*)
    # The end-to-end driver runs alone (RUN_SERIAL).  Wine's desktop is made
    # by the first program of a server's life, with that program's display:
    # one made by a console test, without a display, would leave the window
    # nowhere to go.  So the driver's program starts a server of its own.
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    exec "$@"
    ;;
esac
