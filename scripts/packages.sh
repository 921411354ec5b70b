# Debian packages the project needs, and a function that installs the
# missing ones.  Sourced by run.sh and test.sh.

# To build and start the program.
KVIX_RUN_PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev
    fonts-dejavu-core tzdata
)

# Further, to run every test.
KVIX_TEST_PACKAGES=(
    xvfb xauth xdotool xclip
    libbenchmark-dev
)
# Further, for the tests of the desktop program: the desktop entry and
# AppStream validators, and for the Debian package dpkg-shlibdeps and file
# (with which cpack finds the executables whose libraries dpkg-shlibdeps is
# to name) and lintian, Debian's own package checker.  The Windows resource
# compiler comes with the Windows packages below.
KVIX_TEST_PACKAGES+=(
    desktop-file-utils appstream dpkg-dev file lintian
)

# Further, for the benchmarks (bench/): the start-up probe watches windows
# through the X server's DAMAGE extension.
KVIX_TEST_PACKAGES+=(
    libxcb-damage0-dev
)

# To build the Windows programs (scripts/windows.sh; the run packages too,
# for the icon tool): MinGW-w64 for 64-bit and 32-bit Windows, the posix
# thread model (for std::thread).
KVIX_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
)
# Further, to test them: Wine to run the 64-bit program and its console
# tests, Wine's fonts (marlett.ttf draws the caption buttons), and icoutils
# (wrestool, icotool) to read the icon out of the executables.
KVIX_TEST_PACKAGES+=("${KVIX_WINDOWS_PACKAGES[@]}" wine64 fonts-wine icoutils)
# With KVIX_WINE32=1, test.sh runs the 32-bit program too, under the 32-bit
# Wine from Debian's i386 architecture, which it adds (kvix_add_i386).
KVIX_WINE32_PACKAGES=(wine wine32:i386)

# kvix_add_i386: adds Debian's i386 architecture, where it is not yet added.
kvix_add_i386() {
    dpkg --print-foreign-architectures | grep -qx i386 && return 0
    echo "Adding Debian's i386 architecture (for wine32)"
    kvix_as_root dpkg --add-architecture i386
}

# kvix_as_root COMMAND...: runs it as root, through sudo when not root.
kvix_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "error: not root and no sudo; run as root: $*" >&2
        return 1
    fi
}

# kvix_install_missing PACKAGE...: installs those not yet installed.
kvix_install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing Debian packages: ${missing[*]}"
    kvix_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    kvix_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ---- Hardening: fuzzing with clang, the end-to-end driver, and the locales
# of the locale matrix ----
# python3 runs the end-to-end test's driver.
KVIX_TEST_PACKAGES+=(clang-14 libclang-rt-14-dev locales python3)

# The locales the time-zone and locale matrix runs in (tests/CMakeLists.txt).
KVIX_MATRIX_LOCALES=(C.UTF-8 de_DE.UTF-8 tr_TR.UTF-8 ar_EG.UTF-8 fa_IR.UTF-8)

# kvix_ensure_locales LOCALE...: generates those the C library does not have
# yet (locale-gen from the package locales).
kvix_ensure_locales() {
    local missing=() name
    for name in "$@"; do
        # locale complains on stderr about a locale it cannot set.
        [ -z "$(LC_ALL="$name" locale 2>&1 >/dev/null)" ] || missing+=("$name")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Generating missing locales: ${missing[*]}"
    for name in "${missing[@]}"; do
        # Enable its line in /etc/locale.gen, or add one: "de_DE.UTF-8 UTF-8".
        if grep -q "^# *${name//./\\.} UTF-8\$" /etc/locale.gen 2>/dev/null; then
            kvix_as_root sed -i "s/^# *\\(${name//./\\.} UTF-8\\)\$/\\1/" /etc/locale.gen
        elif ! grep -q "^${name//./\\.} UTF-8\$" /etc/locale.gen 2>/dev/null; then
            echo "$name UTF-8" | kvix_as_root tee -a /etc/locale.gen >/dev/null
        fi
    done
    kvix_as_root locale-gen
}
