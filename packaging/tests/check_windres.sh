#!/usr/bin/env bash
# Compiles the Windows resource script (version record and icon) with the
# MinGW resource compiler, decompiles the result and checks the version
# record (German (Germany), code page 1252, file and product version "0.01",
# numeric version 0.1.0.0) and the icon group (three images: 32x32 in two
# colours, 32x32 and 16x16 in sixteen).
#   check_windres.sh RC_FILE WORK_DIR
set -euo pipefail
rc=$1 work=$2
windres=x86_64-w64-mingw32-windres
if ! command -v "$windres" >/dev/null; then
    echo "SKIP: $windres not found (Debian package binutils-mingw-w64-x86-64)"
    exit 77
fi
# The resource compiler preprocesses with the MinGW C compiler where there
# is one, else with the host's C preprocessor.
preprocess=()
if ! command -v x86_64-w64-mingw32-gcc >/dev/null; then
    preprocess=(--preprocessor=cpp --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED)
fi
rm -rf "$work" && mkdir -p "$work"
cd "$(dirname "$rc")" # the script names the .ico beside it
"$windres" "${preprocess[@]}" --input "$rc" --output "$work/app.o" --output-format coff
"$windres" "${preprocess[@]}" --input "$rc" --output "$work/app.res" --output-format res
"$windres" --input "$work/app.res" --output "$work/back.rc" --output-format rc
back=$work/back.rc

failed=0
expect() { # expect DESCRIPTION EXTENDED-REGEX
    if grep -Eq -- "$2" "$back"; then
        echo "ok: $1"
    else
        echo "FAIL: $1 (no line matching: $2)"
        failed=1
    fi
}
expect "language German (Germany)" '^LANGUAGE 7, 1$'
expect "numeric file version 0.1.0.0" '^ *FILEVERSION 0, 1, 0, 0$'
expect "numeric product version 0.1.0.0" '^ *PRODUCTVERSION 0, 1, 0, 0$'
expect "string table for 0x0407, code page 1252" 'BLOCK "040704[eE]4"'
expect "FileVersion \"0.01\"" 'VALUE "FileVersion", "0\.01"'
expect "ProductVersion \"0.01\"" 'VALUE "ProductVersion", "0\.01"'
expect "translation 0x0407, 1252" 'VALUE "Translation", 0x407, 1252|VALUE "Translation", 0x0407, 1252|VALUE "Translation", 1031, 1252'
# The icon group, one element per image: width, height and colour count as
# octal escapes ("\040" is 32, "\020" 16, "\002" 2), then planes and bits.
expect "an icon group of three images" 'Has 3 elements'
expect "icon image 32x32 in 2 colours, 1 bit" '"\\040\\040\\002\\000", 1, 1,'
expect "icon image 32x32 in 16 colours, 4 bits" '"\\040\\040\\020\\000", 1, 4,'
expect "icon image 16x16 in 16 colours, 4 bits" '"\\020\\020\\020\\000", 1, 4,'
if [ "$failed" -ne 0 ]; then
    echo "--- decompiled resources ---"
    grep -Ev '^ *0x[0-9a-f]+, 0x' "$back" | head -80
fi
exit "$failed"
