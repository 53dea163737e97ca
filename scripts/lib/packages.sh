# Installs the given Debian packages when any is missing. Packages named with
# :i386 need the i386 architecture, which is added first when it is not there.
# Sourced by scripts/test and scripts/demo.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "need root to install packages: $*" >&2
        return 1
    fi
}

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing from Debian's packages: ${missing[*]}"
    if [[ " ${missing[*]}" == *":i386"* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

CROSS_PACKAGES=(cmake make python3 g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev)
HOST_TEST_PACKAGES=(g++ libgtest-dev libgmock-dev)
WINE_PACKAGES=(wine wine32:i386 wine64)
