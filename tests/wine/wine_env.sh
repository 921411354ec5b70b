# Sourced by the Wine test scripts: kvix_wine_setup ARCH PREFIX finds Wine
# for ARCH (64 or 32) and sets the environment every Wine run here has, or
# says why Wine cannot run and returns 1.
#   WINE        the loader: wine64 for 64-bit programs, wine (with wine32)
#               for 32-bit ones
#   WINESERVER  its server
kvix_wine_setup() {
    local arch=$1
    export WINEPREFIX=$2
    # No Mono and no Gecko installer prompts; quiet logs.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEDEBUG=-all
    WINE= WINESERVER=
    if [ "$arch" = 64 ]; then
        local candidate
        for candidate in wine64 /usr/lib/wine/wine64; do
            if command -v "$candidate" >/dev/null; then WINE=$(command -v "$candidate"); break; fi
        done
        [ -n "$WINE" ] || { KVIX_WINE_WHY="wine64 is not installed (Debian package wine64)"; return 1; }
    else
        # wine32 comes from Debian's i386 architecture; KVIX_WINE32=1
        # ./scripts/test.sh adds it.
        if ! command -v wine >/dev/null || ! [ -x /usr/lib/wine/wine ]; then
            KVIX_WINE_WHY="wine32 is not installed (Debian packages wine and wine32:i386; KVIX_WINE32=1 ./scripts/test.sh installs them)"
            return 1
        fi
        WINE=$(command -v wine)
        # A 32-bit prefix: the program's home, 32-bit Windows.
        export WINEARCH=win32
    fi
    for candidate in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
        if command -v "$candidate" >/dev/null; then WINESERVER=$(command -v "$candidate"); break; fi
    done
    export WINE WINESERVER
}

# kvix_wine_ready PREFIX: whether the prefix was made in this build (by
# make_prefix.sh, which leaves the marker last).
kvix_wine_ready() { [ -f "$1/kvix-prefix-ready" ]; }
