#!/usr/bin/env bash
# Checks the Windows version record (German (Germany), code page 1252, file
# and product version "0.01", numeric version 0.1.0.0) and the icon group
# (three images: 32x32 in two colours, 32x32 and 16x16 in sixteen), as the
# MinGW resource compiler decompiles them:
# - from the resource script (RC_FILE), compiled first;
# - or from a built Windows program (EXE), which must also import nothing
#   but Windows' own DLLs, carry its manifest (per-monitor DPI aware, common
#   controls 6), and hold the icon group as icoutils reads it.
#   check_windres.sh RC_FILE|EXE WORK_DIR
set -euo pipefail
input=$1 work=$2
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
back=$work/back.rc
failed=0
expect_in() { # expect_in FILE DESCRIPTION EXTENDED-REGEX
    if grep -Eq -- "$3" "$1"; then
        echo "ok: $2"
    else
        echo "FAIL: $2 (no line matching: $3)"
        failed=1
    fi
}
expect() { expect_in "$back" "$@"; }

case $input in
*.exe)
    exe=$(realpath "$input")
    # The x86-64 tools read 32-bit programs too.
    "$windres" --input "$exe" --output "$back" --output-format rc
    echo "$(basename "$exe"): $(stat -c %s "$exe") bytes"
    # Imports: Windows' own DLLs only; the C++ runtime is linked in.
    x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' >"$work/imports"
    echo "imports: $(tr '\n' ' ' <"$work/imports")"
    if [ ! -s "$work/imports" ]; then
        echo "FAIL: no imports read"
        failed=1
    fi
    while read -r dll; do
        case ${dll,,} in
        kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | msvcrt.dll | advapi32.dll) ;;
        *) echo "FAIL: imports $dll, which is not a Windows system DLL"; failed=1 ;;
        esac
    done <"$work/imports"
    expect "manifest: per-monitor DPI aware" '<dpiAwareness .*>PerMonitorV2'
    expect "manifest: common controls 6" 'Microsoft\.Windows\.Common-Controls"" *$|version=""6\.0\.0\.0""'
    if command -v wrestool >/dev/null && command -v icotool >/dev/null; then
        wrestool -x --type=14 "$exe" >"$work/group.ico"
        icotool -l "$work/group.ico" >"$work/icons"
        expect_in "$work/icons" "icoutils: 32x32, 1 bit" '^--icon --index=1 --width=32 --height=32 --bit-depth=1 '
        expect_in "$work/icons" "icoutils: 32x32, 4 bits" '^--icon --index=2 --width=32 --height=32 --bit-depth=4 '
        expect_in "$work/icons" "icoutils: 16x16, 4 bits" '^--icon --index=3 --width=16 --height=16 --bit-depth=4 '
        if [ "$(wc -l <"$work/icons")" -ne 3 ]; then
            echo "FAIL: icoutils lists $(wc -l <"$work/icons") images, not 3"
            failed=1
        fi
    else
        echo "FAIL: wrestool or icotool not found (Debian package icoutils)"
        failed=1
    fi
    ;;
*)
    cd "$(dirname "$input")" # the script names the .ico beside it
    "$windres" "${preprocess[@]}" --input "$input" --output "$work/app.o" --output-format coff
    "$windres" "${preprocess[@]}" --input "$input" --output "$work/app.res" --output-format res
    "$windres" --input "$work/app.res" --output "$back" --output-format rc
    ;;
esac

expect "language German (Germany)" '^LANGUAGE 7, 1$'
# The icon is German too, not US English: the first resource and its
# language come before the icon.
if awk '/RT_ICON|RT_GROUP_ICON/ { exit !(lang == "LANGUAGE 7, 1") } /^LANGUAGE/ { lang = $0 }' "$back"; then
    echo "ok: the icon is tagged German (Germany)"
else
    echo "FAIL: the icon is not tagged German (Germany)"
    failed=1
fi
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
    grep -Ev '^ *0x[0-9a-fA-F]+L? *,' "$back" | head -80
fi
exit "$failed"
