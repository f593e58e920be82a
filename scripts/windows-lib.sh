# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows cross build's steps, shared by scripts/windows and the windows
# test stage. Sourced after lib.sh, not run.

# shellcheck source=chroot.sh
source "$ROOT/scripts/chroot.sh"

WINDOWS_CACHE="${LEXORNE_CACHE:-$HOME/.cache/lexorne}"
WINDOWS_BUILD_DIR="${LEXORNE_WINDOWS_BUILD_DIR:-$ROOT/build-windows}"
MINGW_TRIPLET=x86_64-w64-mingw32
# Qt for Windows and Lexorne.exe are both compiled in a Debian 13 chroot
# (scripts/chroot.sh, one per run), by its MinGW-w64 and against its own Qt
# tools: a cross Qt needs host tools of its very version. Wine, zip and NSIS
# stay the host's. The translations give the French catalogue that the
# program compiles in.
WINDOWS_SUITE=trixie
WINDOWS_CHROOT_PACKAGES=(g++-mingw-w64-x86-64-posix qt6-base-dev
    qt6-base-dev-tools qt6-translations-l10n cmake ninja-build dpkg-dev)
WINDOWS_CHROOT=""
# The cross Qts and their sources: seen at the same path inside the chroot and
# outside, like the clone, so that no path needs translating.
WINDOWS_QT_CACHE="$WINDOWS_CACHE/windows-qt"
# Qt for Windows needs the POSIX thread model of the MinGW compilers.
MINGW_TOOLCHAIN="$WINDOWS_QT_CACHE/mingw64-posix.cmake"

# Qt's configure options: a release build of shared libraries with their
# third-party libraries bundled, and only the modules Lexorne uses, compiled
# as a unity build (a third of the compile time on this 2-core machine). OpenGL is
# off in all four of its switches (with fewer, the windows plugin fails to
# compile); Direct2D stays on (without it the windows plugin does not link).
# TLS comes from Schannel.
QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_GENERATE_SBOM=OFF
    -DQT_UNITY_BUILD=ON
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_md4c=OFF -DFEATURE_system_jpeg=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF
    -DFEATURE_dynamicgl=OFF
    -DFEATURE_direct2d=ON
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_openssl=OFF -DFEATURE_zstd=OFF
    -DFEATURE_brotli=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF
    -DFEATURE_jpeg=OFF
)

# What is built of that Qt: everything but what Lexorne never loads (the
# Direct2D and minimal platforms, image formats, TLS, network information,
# generic input plugins, the examples' icons), which is neither built nor
# installed.
QT_BUILD_TARGETS=(Platform src/tools/all src/entrypoint/all
    src/3rdparty/all src/corelib/all src/network/all src/gui/all
    src/widgets/all src/platformsupport/all src/testlib/all
    src/plugins/platforms/windows/all src/plugins/platforms/offscreen/all
    src/plugins/platforminputcontexts/all src/plugins/platformthemes/all
    src/plugins/styles/all)
QT_UNUSED=(plugins/platforms/direct2d plugins/platforms/minimal
    plugins/imageformats plugins/tls plugins/networkinformation plugins/generic
    assets)

# Makes this run's Debian 13 chroot with what compiles for Windows; the
# clone and the cross Qt cache are seen inside at their own paths. Called
# from the main shell, once per run: the chroot goes when the shell ends.
windows_chroot() {
    [ -n "$WINDOWS_CHROOT" ] && return 0
    chroot_make "$WINDOWS_SUITE" || return 1
    WINDOWS_CHROOT="$CHROOT_DIR"
    mkdir -p "$WINDOWS_QT_CACHE" "$WINDOWS_BUILD_DIR"
    CHROOT_BINDS=("$ROOT" "$WINDOWS_QT_CACHE" "$WINDOWS_BUILD_DIR")
    say "Installing MinGW-w64, Qt's host tools and CMake into the $WINDOWS_SUITE chroot"
    chroot_run "$WINDOWS_CHROOT" DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${WINDOWS_CHROOT_PACKAGES[@]}" >/dev/null
}

# Runs the shell command "$1" (with the arguments after it as $1...) inside
# this run's chroot.
in_chroot() {
    local command="$1"
    shift
    chroot_run "$WINDOWS_CHROOT" LANG=C.UTF-8 bash -c "$command" _ "$@"
}

mingw_toolchain_text() {
    cat <<TOOLCHAIN
# Written by scripts/windows: 64-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $MINGW_TRIPLET-gcc-posix)
set(CMAKE_CXX_COMPILER $MINGW_TRIPLET-g++-posix)
set(CMAKE_RC_COMPILER $MINGW_TRIPLET-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$MINGW_TRIPLET)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
}

# The Debian version of the chroot's qtbase: the cross Qt is built from that
# very source, against its host tools.
qt_debian_version() {
    in_chroot 'dpkg-query -W -f="\${Version}" qt6-base-dev-tools'
}

# Where the cross Qt for the chroot's version and these options lives
# (whether or not it has been built).
qt_prefix() {
    local version key
    version="$(qt_debian_version)" && [ -n "$version" ] || return 1
    key="$({ printf '%s\n' "$version" "${QT_OPTIONS[@]}"; mingw_toolchain_text; } |
        sha256sum | cut -c1-12)"
    printf '%s/qt-%s-mingw64-%s\n' "$WINDOWS_QT_CACHE" "${version%%+*}" "$key"
}

# Whether some cross Qt has been built: the test stage runs only then (and
# builds anew when Debian 13's qtbase has moved on).
qt_built() {
    compgen -G "$WINDOWS_QT_CACHE/qt-*/complete" >/dev/null
}

# The cross Qt build-windows/ was configured with, for the runs under Wine.
built_qt_prefix() {
    local toolchain
    toolchain="$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$WINDOWS_BUILD_DIR/CMakeCache.txt" 2>/dev/null)"
    [ -n "$toolchain" ] || { say "No Windows build in $WINDOWS_BUILD_DIR: run scripts/windows build"; return 1; }
    printf '%s\n' "${toolchain%/lib/cmake/Qt6/qt.toolchain.cmake}"
}

windows_qt() {
    windows_chroot || return 1
    local prefix version build_dir start
    prefix="$(qt_prefix)" || return 1
    if [ -f "$prefix/complete" ]; then
        say "Qt for Windows: ready in $prefix"
        return 0
    fi
    version="$(qt_debian_version)"
    mingw_toolchain_text > "$MINGW_TOOLCHAIN"
    build_dir="$prefix.build"
    # A stopped run's build folder goes on where it stopped (ninja trusts only
    # finished steps); the install folder is written again in full.
    rm -rf "$prefix"
    say "Building Qt $version for Windows into $prefix (takes a while)"
    start=$SECONDS
    in_chroot '
        set -euo pipefail
        version="$1" prefix="$2" build="$3" src="$4" toolchain="$5" triplet="$6"
        shift 6
        options=() targets=() unused=()
        while [ "$1" != -- ]; do options+=("$1"); shift; done; shift
        while [ "$1" != -- ]; do targets+=("$1"); shift; done; shift
        unused=("$@")
        # Debian'\''s own source, its patches applied, fetched once.
        if [ ! -f "$src/unpacked-$version" ]; then
            sed -n "s/^deb /deb-src /p" /etc/apt/sources.list > /etc/apt/sources.list.d/sources.list
            apt-get update -qq
            rm -rf "$src" && mkdir -p "$src"
            (cd "$src" && apt-get source -qq "qt6-base=$version")
            touch "$src/unpacked-$version"
        fi
        source_dir="$(find "$src" -mindepth 1 -maxdepth 1 -type d -name "qt6-base-*" | head -n 1)"
        if [ ! -f "$build/build.ninja" ]; then
            rm -rf "$build"
            cmake -S "$source_dir" -B "$build" -G Ninja \
                -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
                -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}"
        fi
        nice -n 5 cmake --build "$build" --parallel 2 --target "${targets[@]}"
        for part in "${unused[@]}"; do
            printf "# Not installed: Lexorne does not load it.\n" \
                > "$build/src/$part/cmake_install.cmake"
        done
        cmake --install "$build" >/dev/null
        # The MinGW runtime beside the Qt DLLs: one folder holds what every
        # program built here needs, from the toolchain that built it.
        for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
            cp "$("$triplet-g++-posix" -print-file-name="$dll")" "$prefix/bin/"
        done
    ' "$version" "$prefix" "$build_dir" "$WINDOWS_QT_CACHE/src" "$MINGW_TOOLCHAIN" \
        "$MINGW_TRIPLET" "${QT_OPTIONS[@]}" -- "${QT_BUILD_TARGETS[@]}" -- "${QT_UNUSED[@]}"
    printf 'Qt %s, built in %d s\n' "$version" $((SECONDS - start)) > "$prefix/complete"
    rm -rf "$build_dir"
    say "Qt for Windows: built in $((SECONDS - start)) s"
}

# Exports what Wine needs to run the cross-built programs: Lexorne's own
# prefix (created once) and, on the Windows PATH, the folder of the cross
# Qt's DLLs and the MinGW runtime beside them.
wine_environment() {
    local prefix
    export WINEPREFIX="${LEXORNE_WINEPREFIX:-$WINDOWS_CACHE/wineprefix}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko downloads: nothing here needs them.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "Creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        [ -f "$WINEPREFIX/system.reg" ] || { say "wineboot failed in $WINEPREFIX"; return 1; }
    fi
    # Qt's offscreen platform on Windows reads fonts from a folder only, and
    # Wine hands no QT_* variable over from Linux: the prefix's own user
    # environment names the DejaVu fonts once.
    if [ ! -f "$WINEPREFIX/lexorne-fontdir" ]; then
        wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ \
            /d 'Z:\usr\share\fonts\truetype\dejavu' /f >/dev/null 2>&1 &&
            touch "$WINEPREFIX/lexorne-fontdir"
    fi
    prefix="$(built_qt_prefix)" || return 1
    export WINEPATH="Z:${prefix//\//\\}\\bin"
}

# The DLLs (full paths) in FOLDER that the PE files after it load, directly
# or through one another; Windows' own are left out.
dll_closure() {
    local -A seen=()
    local folder="$1"
    shift
    local queue=("$@") file name found
    while [ ${#queue[@]} -gt 0 ]; do
        file="${queue[0]}"
        queue=("${queue[@]:1}")
        while IFS= read -r name; do
            [ -n "${seen[${name,,}]:-}" ] && continue
            seen[${name,,}]=1
            found="$(find "$folder" -maxdepth 1 -iname "$name" -print -quit)"
            [ -n "$found" ] || continue
            printf '%s\n' "$found"
            queue+=("$found")
        done < <("$MINGW_TRIPLET-objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
    done
}

# Configures and builds Lexorne in build-windows/, inside the chroot.
windows_compile() {
    local prefix
    prefix="$(qt_prefix)" || return 1
    # A build made with another Qt (or with the host's MinGW, as before)
    # starts over.
    if [ -f "$WINDOWS_BUILD_DIR/CMakeCache.txt" ] && [ "$(built_qt_prefix)" != "$prefix" ]; then
        say "Windows build: $WINDOWS_BUILD_DIR was made with another Qt; starting it over"
        find "$WINDOWS_BUILD_DIR" -mindepth 1 -delete
    fi
    # The suites run through Wine, their reports through a file.
    in_chroot '
        set -e
        build="$1" root="$2" prefix="$3"
        cmake -S "$root" -B "$build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
            -DCMAKE_BUILD_TYPE=Release \
            -DLEXORNE_WERROR=ON -DLEXORNE_BUILD_BENCH=OFF \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run;--qtest" >/dev/null
        nice -n 5 cmake --build "$build"
    ' "$WINDOWS_BUILD_DIR" "$ROOT" "$prefix"
}

# The program's files, as the zip and the installer hold them, into
# package/NAME/: Lexorne.exe, the windows platform plugin, the style plugin
# Qt picks on Windows and every DLL these load, all stripped. Runs inside the
# chroot, whose MinGW binutils read and strip them.
windows_stage_files() {
    local prefix="$1" stage="$2" exe="$3"
    mkdir -p "$stage/platforms" "$stage/styles"
    "$MINGW_TRIPLET-strip" -o "$stage/Lexorne.exe" "$exe"
    cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
    cp "$prefix/plugins/styles/qmodernwindowsstyle.dll" "$stage/styles/"
    dll_closure "$prefix/bin" "$stage/Lexorne.exe" "$stage/platforms/qwindows.dll" \
        "$stage/styles/qmodernwindowsstyle.dll" | while IFS= read -r dll; do
        cp "$dll" "$stage/"
    done
    # Debian's MinGW runtime DLLs carry their symbols: a third of the size.
    find "$stage" -name '*.dll' -exec "$MINGW_TRIPLET-strip" --strip-unneeded {} +
}

# Lexorne.exe and what it needs, in a zip named after the version, and the
# installer.
windows_package() {
    local prefix version stage name
    prefix="$(qt_prefix)" || return 1
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WINDOWS_BUILD_DIR/CMakeCache.txt")"
    name="Lexorne-$version-win64"
    stage="$WINDOWS_BUILD_DIR/package/$name"
    rm -rf "$WINDOWS_BUILD_DIR/package" "$WINDOWS_BUILD_DIR/$name.zip"
    # Qt puts every Windows program at the top of the build, next to its DLLs.
    in_chroot 'source "$1/scripts/lib.sh" && source "$1/scripts/windows-lib.sh" &&
        windows_stage_files "$2" "$3" "$4"' \
        "$ROOT" "$prefix" "$stage" "$WINDOWS_BUILD_DIR/Lexorne.exe"
    (cd "$WINDOWS_BUILD_DIR/package" && zip -q -r -X "../$name.zip" "$name")
    say "Windows package: $WINDOWS_BUILD_DIR/$name.zip ($(du -k "$WINDOWS_BUILD_DIR/$name.zip" | cut -f1) KiB)"
    (cd "$WINDOWS_BUILD_DIR/package" && find "$name" -type f | sort) >&2

    # The installer takes the same files; its uninstaller deletes each by name.
    local files="$WINDOWS_BUILD_DIR/package/uninstall-files.nsh"
    (cd "$stage" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|    Delete "$INSTDIR\\&"|') > "$files"
    makensis -V2 -DVERSION="$version" -DSOURCE="$stage" -DFILES="$files" \
        -DOUTFILE="$WINDOWS_BUILD_DIR/$name-setup.exe" "$ROOT/resources/windows/installer.nsi" >&2
    say "Windows installer: $WINDOWS_BUILD_DIR/$name-setup.exe"
}

windows_build() {
    windows_qt || return 1
    windows_compile || return 1
    windows_package
}

# Installs the installer silently into the Wine prefix, checks that every
# file of the zip, the Start menu entry and the uninstall entry are there and
# that the installed program shows its window, uninstalls and checks that
# nothing of them is left. Runs on an X display.
windows_installer_check() {
    local version name setup user programs menu key listed installed status=0
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WINDOWS_BUILD_DIR/CMakeCache.txt")"
    name="Lexorne-$version-win64"
    setup="$WINDOWS_BUILD_DIR/$name-setup.exe"
    user="$WINEPREFIX/drive_c/users/$(id -un)"
    programs="$user/AppData/Local/Programs/Lexorne"
    menu="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Lexorne.lnk"
    key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexorne'
    check() { if "$@"; then :; else say "installer: FAIL: $*"; status=1; fi; }
    # The caption the installed program's window is found by.
    source "$WINDOWS_BUILD_DIR/version/facts.sh" || return 1

    wine "$setup" /S && wineserver -w
    listed="$(cd "$WINDOWS_BUILD_DIR/package/$name" && find . -type f | sort)"
    installed="$(cd "$programs" 2>/dev/null && find . -type f ! -name Uninstall.exe | sort)"
    check [ -n "$listed" ]
    check [ "$listed" = "$installed" ]
    check [ -f "$programs/Uninstall.exe" ]
    check [ -f "$menu" ]
    check eval 'wine reg query "$key" /v UninstallString >/dev/null 2>&1'
    # The installed program starts with nothing but what was installed: no
    # DLL folder on the path, its own platform plugin.
    local pid shown=""
    WINEPATH="" wine "$programs/Lexorne.exe" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 60); do
        shown="$(xdotool search --onlyvisible --name "^$LX_CAPTION\$" 2>/dev/null | head -n 1)"
        [ -n "$shown" ] && break
        sleep 0.5
    done
    check [ -n "$shown" ]
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    wine "$programs/Uninstall.exe" /S && wineserver -w
    check [ ! -e "$programs" ]
    check [ ! -e "$menu" ]
    check [ "$(wine reg query "$key" >/dev/null 2>&1; echo $?)" != 0 ]
    [ $status -eq 0 ] && say "installer: installs $(wc -l <<<"$listed") files, a Start menu entry and an uninstall entry; the installed program shows its window with nothing else on the path; the uninstaller removes them all"
    return $status
}

# Every suite under Wine, on a private X server: Wine's desktop process
# wants a display even when Qt draws offscreen. Two at a time: most of a
# suite's time under Wine is waiting.
windows_test() {
    windows_qt || return 1
    windows_compile || return 1
    wine_environment
    # The prefix is Lexorne's own: a session left from another display goes.
    wineserver -k 2>/dev/null || true
    local status=0
    # Under Wine the single-instance waits on named pipes stretch with the
    # machine's load (seen failing once at load 9 and passing when run again):
    # a suite gets a second run, and a failure shows in the output either way.
    xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' \
        ctest --test-dir "$WINDOWS_BUILD_DIR" --output-on-failure -j 2 \
        --repeat until-pass:2 "$@" || status=$?
    wineserver -k 2>/dev/null || true
    xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' bash -c \
        'source "$1/scripts/lib.sh" && source "$1/scripts/windows-lib.sh" &&
         wine_environment && windows_installer_check' _ "$ROOT" || status=$?
    wineserver -k 2>/dev/null || true
    return $status
}
