# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Throwaway minimal Debian chroots, for trying the project on a machine where
# nothing was installed by hand, or for building with another release's
# tools. Sourced (after lib.sh, or alone: it sources lib.sh itself), not run.
# Needs root.
#
#   chroot_make SUITE [DIR]  Makes a minimal Debian SUITE (bookworm, trixie,
#                            sid...) in DIR, or in a new folder under
#                            $CHROOT_CACHE/runs; DIR must be missing or
#                            empty. Sets CHROOT_DIR to the folder. The base
#                            system (debootstrap's minbase) comes from the
#                            cache, made on first use and remade when a week
#                            old; apt reads the host's own Debian mirror for
#                            SUITE and has fresh package lists. Nothing but
#                            that base is installed: packages come anew in
#                            each chroot, from cached .debs when they are
#                            current. When apt calls SUITE's Release file
#                            expired, it says so on stderr and turns the
#                            validity check off in that chroot only.
#   chroot_run DIR CMD...    Runs CMD as root in DIR and returns its status.
#                            /proc, /sys (read-only), a /dev of its own
#                            (null, zero, full, random, urandom, tty, a new
#                            /dev/pts instance, a tmpfs /dev/shm), and tmpfs
#                            /run and /tmp are mounted in a mount namespace
#                            of the command's own, in pid, IPC and UTS
#                            namespaces of its own: whatever way the command
#                            ends, its mounts and every process it left go
#                            with it, and the host's mount table never sees
#                            them. The environment is a login's: HOME, PATH,
#                            TERM, plus the proxy variables and any NAME=VALUE
#                            given before CMD (chroot_run DIR CI=true make).
#                            The host folders listed in the array
#                            CHROOT_BINDS are mounted at their own paths
#                            inside (a clone, a build cache).
#   chroot_remove DIR        Keeps the .debs apt downloaded in DIR for the
#                            next chroot of its suite, then deletes DIR.
#   chroot_remove_all        The same for every folder chroot_make made.
#
# chroot_make sets the shell's EXIT, INT, TERM and HUP traps to
# chroot_remove_all (a signal then ends the shell with that signal's status),
# so a sourcing script that needs traps of its own calls chroot_remove_all
# from them. LEXORNE_CHROOT_KEEP=1 keeps the folders for a look afterwards
# (chroot_run works on them from any shell that sources this file).
# A folder whose shell died without its traps (SIGKILL) is deleted by the
# next chroot_make.
#
# The cache, $CHROOT_CACHE (default ~/.cache/lexorne/chroot), holds per
# suite the base system as base.tar and the .debs (debootstrap's and apt's);
# only the newest version of a package is kept. Nothing else outside DIR and
# the cache is changed.

if ! declare -F ensure_packages >/dev/null; then
    # shellcheck source=lib.sh
    source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
fi

CHROOT_CACHE="${LEXORNE_CHROOT_CACHE:-${LEXORNE_CACHE:-$HOME/.cache/lexorne}/chroot}"
_CHROOT_DIRS=()
CHROOT_BINDS=()
declare -A _CHROOT_SUITE=()
declare -A _CHROOT_LOCK=()
declare -A _CHROOT_PID=()

# The host's Debian sources as "URI SUITE" lines (deb entries only, enabled
# ones only), from both the one-line and the deb822 formats.
_chroot_host_sources() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk '$1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                print $i, $(i + 1)
            }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                types = ""; uris = ""; suites = ""; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^#/) continue
                    split($i, kv, /:[ \t]*/)
                    key = tolower(kv[1]); value = substr($i, length(kv[1]) + 2)
                    sub(/^[ \t]+/, "", value)
                    if (key == "types") types = value
                    else if (key == "uris") uris = value
                    else if (key == "suites") suites = value
                    else if (key == "enabled") enabled = tolower(value)
                }
                if (enabled == "no" || (" " types " ") !~ / deb /) next
                nu = split(uris, u, /[ \t]+/); ns = split(suites, s, /[ \t]+/)
                for (a = 1; a <= nu; a++) for (b = 1; b <= ns; b++) print u[a], s[b]
            }' "$file"
    done
}

# The sources.list of a SUITE chroot: each host source of the host's own
# release (its updates and security suites too) with the release renamed;
# sid, which has neither, gets the main suite only.
_chroot_sources() {
    local suite="$1" host uri from to
    host="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    [ -n "$host" ] || { say "chroot: the host's release has no code name in /etc/os-release"; return 1; }
    while read -r uri from; do
        case "$from" in
            "$host") to="$suite" ;;
            "$host"-*) to="$suite-${from#"$host"-}" ;;
            *) continue ;;
        esac
        case "$suite" in sid | unstable) [ "$to" = "$suite" ] || continue ;; esac
        printf 'deb %s %s main\n' "$uri" "$to"
    done < <(_chroot_host_sources) | awk '!seen[$0]++'
}

# Makes (under a lock, so that two runs do not both make it) the cached base
# system of SUITE when missing or a week old.
_chroot_base() {
    local suite="$1" cache="$CHROOT_CACHE/$1"
    (
        flock 9 || exit 1
        if [ -f "$cache/base.tar" ] && [ -z "$(find "$cache/base.tar" -mtime +6)" ]; then
            exit 0
        fi
        mirror="$(_chroot_sources "$suite" | awk -v s="$suite" '$3 == s { print $2; exit }')"
        [ -n "$mirror" ] || { say "chroot: no Debian mirror in the host's apt sources"; exit 1; }
        tmp="$(mktemp -d "$cache/base.XXXXXX")" || exit 1
        trap 'rm -rf --one-file-system "$tmp"' EXIT
        say "chroot: debootstrap $suite (minbase), for the cache"
        # debootstrap mounts /proc and /sys in the target: in a namespace of
        # its own, so that they never outlive it.
        if ! unshare --mount --pid --fork --kill-child --propagation private \
            debootstrap --variant=minbase --cache-dir="$cache/debootstrap" \
            "$suite" "$tmp/root" "$mirror" >"$tmp/log" 2>&1; then
            tail -n 30 "$tmp/log" >&2
            say "chroot: debootstrap $suite failed"
            exit 1
        fi
        rm -rf "$tmp/root/var/lib/apt/lists/"* "$tmp/root/var/cache/apt/archives/"*.deb
        tar --numeric-owner -cpf "$tmp/base.tar" -C "$tmp/root" . &&
            mv "$tmp/base.tar" "$cache/base.tar"
    ) 9>"$cache/lock"
}

# Deletes run folders whose shell died without removing them (their lock is
# free).
_chroot_sweep() {
    local lock fd
    for lock in "$CHROOT_CACHE"/runs/*.lock; do
        [ -f "$lock" ] || continue
        exec {fd}<"$lock"
        if flock -n "$fd"; then
            say "chroot: deleting ${lock%.lock}, left by an earlier run"
            _chroot_delete "${lock%.lock}" && rm -f "$lock"
        fi
        exec {fd}<&-
    done
}

# Deletes DIR, unless something is still mounted under it.
_chroot_delete() {
    local dir="$1"
    [ -d "$dir" ] || return 0
    if findmnt -rn -o TARGET | grep -q "^$dir/"; then
        say "chroot: something is still mounted under $dir; not deleting it"
        return 1
    fi
    rm -rf --one-file-system "$dir"
}

chroot_make() {
    local suite="${1:-}" dir="${2:-}" cache out fd
    if [ -z "$suite" ]; then
        say "usage: chroot_make SUITE [DIR]"
        return 2
    fi
    [ "$(id -u)" -eq 0 ] || { say "chroot: needs root"; return 1; }
    ensure_packages "${CHROOT_PACKAGES[@]}" || return 1
    cache="$CHROOT_CACHE/$suite"
    mkdir -p "$cache/debs" "$cache/debootstrap" "$CHROOT_CACHE/runs" || return 1
    chmod 700 "$CHROOT_CACHE" "$CHROOT_CACHE/runs"
    _chroot_sweep
    if [ -z "$dir" ]; then
        dir="$(mktemp -d "$CHROOT_CACHE/runs/$suite.XXXXXX")" || return 1
    elif [ -e "$dir" ] && [ -n "$(ls -A "$dir")" ]; then
        say "chroot: $dir is not empty"
        return 1
    fi
    mkdir -p "$dir" && chmod 700 "$dir" || return 1
    dir="$(cd "$dir" && pwd)"
    # Held while this shell and the chroot's processes live.
    exec {fd}>"$dir.lock"
    flock -n "$fd" || { say "chroot: $dir is in use"; return 1; }
    _CHROOT_DIRS+=("$dir")
    _CHROOT_SUITE[$dir]="$suite"
    _CHROOT_LOCK[$dir]="$fd"
    trap chroot_remove_all EXIT
    trap '_chroot_signal INT' INT
    trap '_chroot_signal TERM' TERM
    trap '_chroot_signal HUP' HUP
    CHROOT_DIR="$dir"

    _chroot_base "$suite" || return 1
    tar --numeric-owner -xpf "$cache/base.tar" -C "$dir" || return 1
    cp /etc/resolv.conf "$dir/etc/resolv.conf" || return 1
    _chroot_sources "$suite" >"$dir/etc/apt/sources.list" || return 1
    # The cached .debs, as links (a copy on another file system).
    find "$cache/debs" -maxdepth 1 -name '*.deb' \
        -exec cp -l -t "$dir/var/cache/apt/archives/" {} + 2>/dev/null ||
        find "$cache/debs" -maxdepth 1 -name '*.deb' -exec cp -t "$dir/var/cache/apt/archives/" {} +

    out="$(chroot_run "$dir" apt-get update 2>&1)"
    if grep -qi 'is expired' <<<"$out"; then
        say "chroot: apt calls the $suite Release file expired on the mirror; this chroot does not check its validity date"
        echo 'Acquire::Check-Valid-Until "false";' >"$dir/etc/apt/apt.conf.d/99lexorne-expired"
        out="$(chroot_run "$dir" apt-get update 2>&1)"
    fi
    if grep -qE '^(E|W): ' <<<"$out"; then
        printf '%s\n' "$out" >&2
        say "chroot: apt-get update failed in the $suite chroot"
        return 1
    fi
}

chroot_run() {
    local dir="${1:-}" pid status
    shift
    if [ ! -d "$dir/etc/apt" ] || [ $# -eq 0 ]; then
        say "usage: chroot_run DIR COMMAND... (DIR made by chroot_make)"
        return 2
    fi
    local environment=(HOME=/root TERM="${TERM:-dumb}"
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
    local name
    for name in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
        [ -n "${!name:-}" ] && environment+=("$name=${!name}")
    done
    while [ $# -gt 0 ] && [[ "$1" =~ ^[A-Za-z_][A-Za-z0-9_]*= ]]; do
        environment+=("$1")
        shift
    done
    # In the background, so that a signal to this shell runs its trap at
    # once (which ends the command); stdin stays the shell's.
    unshare --mount --pid --ipc --uts --fork --kill-child --propagation private \
        sh -euc '
            root="$1" binds="$2"; shift 2
            mount -t proc -o nosuid,nodev,noexec proc "$root/proc"
            mount -t sysfs -o ro,nosuid,nodev,noexec sysfs "$root/sys"
            mount -t tmpfs -o mode=755,nosuid dev "$root/dev"
            for node in null:1:3 zero:1:5 full:1:7 random:1:8 urandom:1:9 tty:5:0; do
                IFS=: read -r name major minor <<EOF
$node
EOF
                mknod -m 666 "$root/dev/$name" c "$major" "$minor"
            done
            mkdir "$root/dev/pts" "$root/dev/shm"
            mount -t devpts -o newinstance,ptmxmode=0666,mode=620,gid=5,nosuid,noexec devpts "$root/dev/pts"
            ln -s pts/ptmx "$root/dev/ptmx"
            mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
            ln -s /proc/self/fd "$root/dev/fd"
            ln -s /proc/self/fd/0 "$root/dev/stdin"
            ln -s /proc/self/fd/1 "$root/dev/stdout"
            ln -s /proc/self/fd/2 "$root/dev/stderr"
            mount -t tmpfs -o mode=755,nosuid,nodev run "$root/run"
            mkdir -m 1777 "$root/run/lock"
            mount -t tmpfs -o mode=1777,nosuid,nodev tmp "$root/tmp"
            printf "%s\n" "$binds" | while IFS= read -r bind; do
                [ -n "$bind" ] || continue
                mkdir -p "$root$bind"
                mount --bind "$bind" "$root$bind"
            done
            exec chroot "$root" /usr/bin/env -i "$@"
        ' sh "$dir" "$(printf '%s\n' "${CHROOT_BINDS[@]}")" "${environment[@]}" "$@" <&0 &
    pid=$!
    _CHROOT_PID[$dir]="$pid"
    wait "$pid"
    status=$?
    unset "_CHROOT_PID[$dir]"
    return $status
}

chroot_remove() {
    local dir="${1:-}" suite debs file name pkg arch old fd
    [ -n "$dir" ] || return 0
    suite="${_CHROOT_SUITE[$dir]:-}"
    if [ -n "${_CHROOT_PID[$dir]:-}" ]; then
        # unshare's child, the namespace's first process, takes every other
        # one with it.
        kill -KILL "${_CHROOT_PID[$dir]}" 2>/dev/null
        wait "${_CHROOT_PID[$dir]}" 2>/dev/null
        unset "_CHROOT_PID[$dir]"
    fi
    if [ "${LEXORNE_CHROOT_KEEP:-0}" = 1 ]; then
        # Without its lock file, no later sweep takes it.
        rm -f "$dir.lock"
        say "chroot: kept $dir (delete it by hand)"
    else
        if [ -n "$suite" ] && [ -d "$dir/var/cache/apt/archives" ]; then
            debs="$CHROOT_CACHE/$suite/debs"
            (
                flock 9 || exit 1
                for file in "$dir"/var/cache/apt/archives/*.deb; do
                    [ -f "$file" ] || continue
                    name="${file##*/}"
                    [ -e "$debs/$name" ] && continue
                    # A newer download replaces the cached versions of its
                    # package (Debian package names have no "_").
                    pkg="${name%%_*}" arch="${name##*_}"
                    for old in "$debs/${pkg}_"*"_$arch"; do
                        [ -e "$old" ] && rm -f "$old"
                    done
                    ln "$file" "$debs/$name" 2>/dev/null || cp "$file" "$debs/$name"
                done
            ) 9>"$CHROOT_CACHE/$suite/lock"
        fi
        _chroot_delete "$dir" && rm -f "$dir.lock"
    fi
    fd="${_CHROOT_LOCK[$dir]:-}"
    [ -n "$fd" ] && exec {fd}>&-
    unset "_CHROOT_LOCK[$dir]" "_CHROOT_SUITE[$dir]"
    local kept=() d
    for d in "${_CHROOT_DIRS[@]}"; do [ "$d" = "$dir" ] || kept+=("$d"); done
    _CHROOT_DIRS=("${kept[@]}")
}

chroot_remove_all() {
    local dir
    for dir in "${_CHROOT_DIRS[@]}"; do
        chroot_remove "$dir"
    done
}

_chroot_signal() {
    trap - "$1" EXIT
    chroot_remove_all
    kill -s "$1" $$
}
