#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it without installing it
# on the machine: its control fields and dependencies, its files, its
# license, Debian's own checker (lintian, where it is installed), and that
# the installed program starts.  The package is unpacked into a scratch root
# and the program there is started under Qt's offscreen platform.
#   check_deb.sh BUILD_DIR WORK_DIR APP_ID LICENSE_FILE
set -euo pipefail
build=$1 work=$2 id=$3 license=$4
missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps readelf; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
    echo "SKIP: not found: ${missing[*]} (Debian packages cmake, dpkg-dev, binutils)"
    exit 77
fi

source "$(dirname "$0")/cpack_package.sh"
build_package DEB deb "$build" "$work"
deb=$package

# --- Control fields ---
info=$(dpkg-deb --info "$deb")
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = kvix-quendral ] && ok "Package: kvix-quendral" || fail "Package: $(field Package)"
[ "$(field Version)" = 0.1.0.0 ] && ok "Version: 0.1.0.0" || fail "Version: $(field Version)"
arch=$(dpkg --print-architecture)
[ "$(field Architecture)" = "$arch" ] && ok "Architecture: $arch" || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
echo "    Depends: $depends"
# The package names of a Depends field, without versions and alternatives' bars.
depends_names=$(printf '%s\n' "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g; /^$/d')
for package in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 qt6-qpa-plugins; do
    grep -qx "$package" <<<"$depends_names" && ok "Depends names $package" || fail "Depends lacks $package"
done

# --- Files ---
contents=$(dpkg-deb --contents "$deb")
expect_file() { # expect_file PATH MODE
    if awk -v p="./$1" -v m="$2" '$6 == p && $1 == m && $2 == "root/root" { found = 1 } END { exit !found }' <<<"$contents"; then
        ok "contains /$1 ($2 root/root)"
    else
        fail "no /$1 with mode $2 owned by root/root"
    fi
}
expect_file usr/bin/kvix-quendral -rwxr-xr-x
expect_file "usr/share/applications/$id.desktop" -rw-r--r--
expect_file "usr/share/metainfo/$id.metainfo.xml" -rw-r--r--
expect_file "usr/share/icons/hicolor/16x16/apps/$id.png" -rw-r--r--
expect_file "usr/share/icons/hicolor/32x32/apps/$id.png" -rw-r--r--
expect_file "usr/share/icons/hicolor/scalable/apps/$id.svg" -rw-r--r--

# --- Debian's checker: no error, no warning ---
if command -v lintian >/dev/null; then
    # lintian remarks on stderr that it runs as root; the tags go to stdout,
    # the informational ones (I:) too, which pass.
    if lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" \
        >"$work/lintian.log" 2>"$work/lintian.err"; then
        ok "lintian: no error, no warning"
        sed 's/^/    /' "$work/lintian.log"
    else
        fail "lintian:"
        cat "$work/lintian.log" "$work/lintian.err"
    fi
else
    echo "note: lintian not found (Debian package lintian); the package is not checked by it"
fi

# --- Unpacked into a scratch root ---
root=$work/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/kvix-quendral

# The copyright file carries the license's terms: its License field's
# continuation lines, unindented (" ." is an empty line), are the text of
# LICENSE after its "Copyright (c)" line.
terms_in_deb=$(sed -n '/^License:/,$ { /^License:/d; s/^ //; s/^\.$//; p; }' "$root/usr/share/doc/kvix-quendral/copyright")
terms_in_license=$(sed '1,/^Copyright (c)/d' "$license" | sed '/./,$!d')
[ "$terms_in_deb" = "$terms_in_license" ] && ok "the copyright file carries the terms of LICENSE" ||
    fail "the copyright file's license differs from LICENSE: $(diff <(echo "$terms_in_license") <(echo "$terms_in_deb") || true)"

# Every library the program links comes from a package that Depends names,
# found independently of CPack: the dynamic section's NEEDED entries, the
# file the dynamic linker picks for each, and the package that owns it.
# The package that owns a file, asked under the names the file goes by: with
# /usr merged, the linker's /lib/... path may be known to dpkg as /usr/lib/...
owner_of() {
    local real candidate
    real=$(readlink -f "$1")
    for candidate in "$1" "${1#/usr}" "/usr${1#/usr}" "$real" "${real#/usr}"; do
        dpkg-query -S "$candidate" 2>/dev/null | sed -n '1s/:.*//p' | grep . && return 0
    done
    return 0
}
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "no NEEDED libraries found in the program"
for library in $needed; do
    # awk reads to the end: leaving early would kill ldconfig with SIGPIPE,
    # which pipefail turns into a silent exit of this script.
    path=$(ldconfig -p | awk -v l="$library" '$1 == l && !found { print $NF; found = 1 }')
    [ -n "$path" ] || { fail "$library: not found by the dynamic linker"; continue; }
    owner=$(owner_of "$path")
    [ -n "$owner" ] || { fail "$library ($path): owned by no package"; continue; }
    grep -qx "$owner" <<<"$depends_names" && ok "$library comes from $owner, in Depends" ||
        fail "$library comes from $owner, which Depends does not name"
done
if readelf -d "$program" | grep -Eq 'RPATH|RUNPATH'; then
    fail "the installed program carries a run path: $(readelf -d "$program" | grep -E 'RPATH|RUNPATH')"
else
    ok "no run path into the build tree"
fi
if readelf -S "$program" | grep -q '\.debug_info'; then
    fail "the installed program is not stripped"
else
    ok "the installed program is stripped"
fi

# Started under the offscreen platform, the program opens its window and
# waits in its event loop: still running after a second.  A program that
# cannot start (a missing library or plugin, a crash) has ended by then.
QT_QPA_PLATFORM=offscreen "$program" >"$work/run.log" 2>&1 &
pid=$!
sleep 1
if kill -0 "$pid" 2>/dev/null; then
    ok "the installed program is running after 1 s"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
else
    status=0
    wait "$pid" || status=$?
    fail "the installed program ended within 1 s, status $status"
    cat "$work/run.log"
fi
[ -s "$work/run.log" ] && { echo "--- program output ---"; cat "$work/run.log"; }

[ "$failed" -eq 0 ] && echo "all package checks passed"
exit "$failed"
