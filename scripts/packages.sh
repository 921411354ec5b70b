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

# Further, for the benchmarks (bench/): the start-up probe watches windows
# through the X server's DAMAGE extension.
KVIX_TEST_PACKAGES+=(
    libxcb-damage0-dev
)

# kvix_install_missing PACKAGE...: installs those not yet installed, as root
# or through sudo.
kvix_install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing Debian packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "error: not root and no sudo; install as root: apt-get install ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
