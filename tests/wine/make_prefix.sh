#!/usr/bin/env bash
# Makes a fresh Wine prefix for the tests of the Windows program, after all
# packages are installed (a prefix made before wine32 was added does not run
# 32-bit programs):
# - no window manager runs under the tests, so Wine draws the windows'
#   frames itself ("Managed"=N; otherwise every closing window stalls for
#   about two seconds);
# - the font of the caption buttons (marlett.ttf, Debian package fonts-wine);
# - optionally the screen's DPI (LogPixels).
#   make_prefix.sh ARCH PREFIX [DPI]
# Exit status 77 (skipped) where Wine cannot run here, saying why.
set -euo pipefail
arch=$1 prefix=$2 dpi=${3:-96}
source "$(dirname "$0")/wine_env.sh"
if ! kvix_wine_setup "$arch" "$prefix"; then
    echo "SKIP: $KVIX_WINE_WHY"
    exit 77
fi
started=$(date +%s%N)
# A server left from an earlier run on this prefix would write into it while
# it is removed: stop it, and wait until it has gone.
if [ -d "$prefix" ]; then
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
# The server's output must not hold the test's pipe open after it ends.
if ! "$WINE" wineboot --init </dev/null >"$prefix.log" 2>&1; then
    echo "SKIP: Wine cannot start here: $(tail -n 3 "$prefix.log" | tr '\n' ' ')"
    exit 77
fi
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$prefix.log" 2>&1
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >>"$prefix.log" 2>&1
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ]; then
    cp "$marlett" "$prefix/drive_c/windows/Fonts/"
else
    echo "note: $marlett is missing (Debian package fonts-wine): caption buttons draw as letters"
fi
"$WINESERVER" -w # the registry written out
touch "$prefix/kvix-prefix-ready"
elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
printf 'Wine prefix %s (%s-bit, %s dpi) made in %d.%03d s\n' "$prefix" "$arch" "$dpi" \
    $((elapsed_ms / 1000)) $((elapsed_ms % 1000))
