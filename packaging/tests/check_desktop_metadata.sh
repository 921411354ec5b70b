#!/usr/bin/env bash
# Validates the desktop entry with desktop-file-validate and the AppStream
# metadata with appstreamcli (offline, pedantic), and checks that the two
# name the same desktop id, icon and executable.
#   check_desktop_metadata.sh DESKTOP_FILE METAINFO_FILE
set -euo pipefail
desktop=$1 metainfo=$2
missing=()
command -v desktop-file-validate >/dev/null || missing+=("desktop-file-validate (Debian package desktop-file-utils)")
command -v appstreamcli >/dev/null || missing+=("appstreamcli (Debian package appstream)")
if [ ${#missing[@]} -ne 0 ]; then
    echo "SKIP: not found: ${missing[*]}"
    exit 77
fi

failed=0
check() { # check DESCRIPTION COMMAND...
    local out
    if out=$("${@:2}" 2>&1); then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        failed=1
    fi
    [ -n "$out" ] && printf '%s\n' "$out" | sed 's/^/    /'
    return 0
}
# desktop-file-validate passes an entry with hints; this one is to have none.
clean_entry() { local out; out=$(desktop-file-validate "$1" 2>&1) && [ -z "$out" ] || { printf '%s\n' "$out"; return 1; }; }
check "desktop-file-validate $(basename "$desktop"), no remarks" clean_entry "$desktop"
check "appstreamcli validate --no-net --pedantic --strict $(basename "$metainfo")" \
    appstreamcli validate --no-net --pedantic --strict --no-color "$metainfo"

# The pieces that tie them together.
id=$(basename "$desktop" .desktop)
field() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(basename "$metainfo" .metainfo.xml)" = "$id" ] || { echo "FAIL: metainfo file not named after $id"; failed=1; }
grep -q "<id>$id</id>" "$metainfo" || { echo "FAIL: component id is not $id"; failed=1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    { echo "FAIL: metainfo does not launch $id.desktop"; failed=1; }
[ "$(field Icon)" = "$id" ] || { echo "FAIL: Icon=$(field Icon), expected $id"; failed=1; }
grep -q "<binary>$(field Exec)</binary>" "$metainfo" ||
    { echo "FAIL: metainfo does not provide the binary $(field Exec)"; failed=1; }
[ "$failed" -eq 0 ] && echo "ok: desktop entry and metadata agree on $id"
exit "$failed"
