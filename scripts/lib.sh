# Shared by the set-up scripts: package checks and the incremental build.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${LEXORNE_BUILD_DIR:-$ROOT/build}"

# What building and running needs, from Debian 12's own archive.
RUN_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins
    libbenchmark-dev fonts-dejavu-core x11-utils)
# What the test suites need on top: an X server with a window manager for the
# end-to-end suite, the clipboard and input tools, and the desktop validators.
TEST_PACKAGES=("${RUN_PACKAGES[@]}" xvfb openbox xdotool xclip imagemagick
    desktop-file-utils appstream)

say() { printf '%s\n' "$*" >&2; }

# Installs the missing packages among "$@": as root with apt-get (updating the
# package lists first, and only when something is missing), otherwise prints
# the command to run and fails.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    if [ "$(id -u)" -eq 0 ]; then
        say "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq || return 1
        apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
    else
        say "Some packages are missing. Install them with:"
        say "  sudo apt-get install ${missing[*]}"
        return 1
    fi
}

# Configures (once) and builds incrementally in $BUILD_DIR. Extra arguments
# go to the configure step.
build() {
    local werror="$1"; shift
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DLEXORNE_WERROR="$werror" "$@" || return 1
    else
        cmake -S "$ROOT" -B "$BUILD_DIR" -DLEXORNE_WERROR="$werror" "$@" >/dev/null || return 1
    fi
    cmake --build "$BUILD_DIR" || return 1
}
