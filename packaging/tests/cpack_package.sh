# What the package tests share, sourced by check_deb.sh and check_zip.sh:
# their ok and FAIL lines, and the one package that CPack builds of a kind.
failed=0
ok() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failed=1; }

# build_package GENERATOR EXTENSION BUILD_DIR WORK_DIR: builds the package
# from the build's CPack configuration into WORK_DIR/cpack (WORK_DIR made
# afresh) and sets `package` to its one file; ends the test where that fails.
build_package() {
    local generator=$1 extension=$2 build=$3 work=$4
    rm -rf "$work" && mkdir -p "$work"
    cpack -G "$generator" --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack -G $generator"; exit 1; }
    local found=("$work"/cpack/*."$extension")
    [ ${#found[@]} -eq 1 ] && [ -f "${found[0]}" ] ||
        { fail "expected one .$extension, got: ${found[*]}"; exit 1; }
    package=${found[0]}
    ok "built $(basename "$package")"
}
