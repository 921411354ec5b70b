#!/usr/bin/env bash
# Builds the Windows zip with CPack and checks what it holds: the program,
# its license and the third-party notices, nothing else; the two texts with
# the line ends of Windows, the license the same text as LICENSE.
#   check_zip.sh BUILD_DIR WORK_DIR LICENSE_FILE
set -euo pipefail
build=$1 work=$2 license=$3
command -v cpack >/dev/null || { echo "SKIP: not found: cpack (Debian package cmake)"; exit 77; }

source "$(dirname "$0")/cpack_package.sh"
build_package ZIP zip "$build" "$work"
zip=$package

# CMake reads zips itself (libarchive): no unzip needed.
entries=$(cmake -E tar tf "$zip" | sort)
expected=$(printf '%s\n' LICENSE.txt THIRD-PARTY-NOTICES.txt kvix-quendral.exe)
[ "$entries" = "$expected" ] && ok "holds $(echo $entries)" || fail "holds: $(echo $entries); expected: $(echo $expected)"

mkdir "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
for text in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    file=$work/unzipped/$text
    [ -s "$file" ] || { fail "$text: missing or empty"; continue; }
    # Every line ends in CR LF: as many lines ending in CR as LFs (a last
    # line without LF counts as one more line), and no other CR.
    lines=$(tr -cd '\n' <"$file" | wc -c)
    crlf=$(grep -c $'\r$' "$file" || true)
    crs=$(tr -cd '\r' <"$file" | wc -c)
    if [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] && [ "$crs" -eq "$lines" ]; then
        ok "$text: $lines lines, each ending in CR LF"
    else
        fail "$text: $lines lines, $crlf ending in CR LF, $crs CRs"
    fi
done
cmp -s <(tr -d '\r' <"$work/unzipped/LICENSE.txt") "$license" &&
    ok "LICENSE.txt is LICENSE" || fail "LICENSE.txt differs from $license"

[ "$failed" -eq 0 ] && echo "all zip checks passed"
exit "$failed"
