# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the set-up scripts: package checks and the incremental build.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${LEXORNE_BUILD_DIR:-$ROOT/build}"

# What building and running needs, from Debian 12's own archive. The Wayland
# plugin lets a Wayland session run the program natively; help2man and the
# French locale sources make the manual page; Qt's own French texts (context
# menus, standard buttons) are compiled into the program from
# qt6-translations-l10n.
RUN_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins
    qt6-wayland qt6-translations-l10n libbenchmark-dev fonts-dejavu-core x11-utils
    help2man locales)
# What the plain test stage needs on top: an X server with a window manager
# for the end-to-end suite, the clipboard and input tools, the keyboard map
# compiler, a nested Wayland compositor with its clipboard tools, the desktop
# validators, and the private session bus of every end-to-end run
# (tests/e2e/xsession.sh), and the forum renderers the posts are read back
# through (tests/forum/tst_renderers: cmark, cmark-gfm, markdown-it on
# Node.js, Parse::BBCode). dbus-x11 is left out on purpose: nothing may
# depend on libdbus starting a bus by itself.
TEST_PACKAGES=("${RUN_PACKAGES[@]}" xvfb openbox xdotool xclip x11-xkb-utils
    weston wl-clipboard imagemagick desktop-file-utils appstream dbus-daemon
    cmark cmark-gfm nodejs node-markdown-it libparse-bbcode-perl)
# What scripts/bench needs on top: the X extensions its probe uses (XTEST to
# type, XFIXES to see the clipboard change hands, DAMAGE to see drawing), and
# hyperfine to time whole command-line processes.
BENCH_PACKAGES=("${TEST_PACKAGES[@]}" libxtst-dev libxfixes-dev libxdamage-dev hyperfine)
# What scripts/screenshots needs on top: Qt's GTK theme, for the dark shots.
SCREENSHOT_PACKAGES=("${TEST_PACKAGES[@]}" qt6-gtk-platformtheme)
# Each further test stage (scripts/stages/) lists what it needs on top of the
# plain stage's packages.
# llvm-14 brings llvm-symbolizer, which puts file and line into the reports.
SANITIZE_PACKAGES=(clang libclang-rt-14-dev llvm-14)
FUZZ_PACKAGES=(clang libclang-rt-14-dev libfuzzer-14-dev)
ANALYSE_PACKAGES=(clang-tidy clang-format cppcheck reuse)
PACKAGE_PACKAGES=(dpkg-dev fakeroot lintian help2man locales man-db groff-base
    file desktop-file-utils git)
# Throwaway Debian chroots (scripts/chroot.sh): debootstrap and the archive's
# keys; unshare, mount and chroot come with the essential packages.
CHROOT_PACKAGES=(debootstrap debian-archive-keyring)
# The Windows stage on top of those: the Debian 13 chroot compiles Qt and
# Lexorne.exe (scripts/windows-lib.sh lists what goes into it); Wine runs
# them, zip and NSIS make the packages.
WINDOWS_PACKAGES=("${CHROOT_PACKAGES[@]}" wine wine64 zip nsis)

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
        apt-get -o DPkg::Lock::Timeout=600 update -qq || return 1
        apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" || return 1
    else
        say "Some packages are missing. Install them with:"
        say "  sudo apt-get install ${missing[*]}"
        return 1
    fi
}

# Configures (once) and builds incrementally in $BUILD_DIR.
#   build WERROR [-DOPTION=VALUE ...] [TARGET]
# WERROR is ON or OFF, or "keep" to leave an existing build's setting alone
# (so that running after testing rebuilds nothing). -D options go to the
# configure step; a TARGET limits the build.
build() {
    local werror="$1" target="" arg
    shift
    local options=()
    for arg in "$@"; do
        case "$arg" in
            -D*) options+=("$arg") ;;
            *) target="$arg" ;;
        esac
    done
    if [ "$werror" != keep ] || [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        [ "$werror" = keep ] && werror=OFF
        options+=("-DLEXORNE_WERROR=$werror")
    fi
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja "${options[@]}" || return 1
    elif [ ${#options[@]} -gt 0 ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" "${options[@]}" >/dev/null || return 1
    fi
    cmake --build "$BUILD_DIR" ${target:+--target "$target"} || return 1
}
