#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# Another local user against the window's start: runtime and cache folders
# of theirs (or links to them) with their listeners, a listener and a live
# lock where the user's own go, their request, a read-only runtime folder.
# The victim, `nobody`, must open its window or say why, never write to a
# socket of another user, and never end up with two windows.
#   attack.sh LEXORNE ATTACKER [WINDOW]
# WINDOW is the window program LEXORNE execs, when it is a separate file.
# Needs root to play two users (CI runs as root); skipped otherwise.
set -u
lexorne=${1:?the program}
attacker=${2:?the attacker helper}
window=${3:-}

skip() { echo "skipped: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "playing two users needs root"
command -v setpriv >/dev/null || skip "no setpriv"
victim_uid=$(id -u nobody 2>/dev/null) || skip "no user nobody"
victim_gid=$(id -g nobody)
other_uid=4242 # another user: a number is enough

root=$(mktemp -d "${TMPDIR:-/tmp}/lexorne-attack.XXXXXX") || exit 1
chmod 755 "$root"
pids=()
# Each job in a process group of its own, so that a job started through a
# shell function (a subshell, then setpriv, then the program) dies whole.
set -m
cleanup() {
    local pid folder
    for pid in "${pids[@]}"; do kill -KILL -- -"$pid" "$pid" 2>/dev/null; done
    wait 2>/dev/null
    # Reports of the programs other users ran go where the caller looks.
    for folder in "${report_folders[@]}"; do
        [ -d "$folder" ] && cp "$root"/sanitizer/*.[0-9]* "$folder"/ 2>/dev/null
    done
    rm -rf "$root"
}
trap cleanup EXIT

# Under the sanitizers, the caller's report folder and suppression files may
# sit in a folder other users cannot enter (a checkout in a private folder),
# and a sanitizer that cannot open its log ends the program. The programs
# played by other users log into a folder of the scenario's own, read copies
# of the suppressions, and the reports are handed back at the end.
report_folders=()
sanitizer_env=()
mkdir -m 1777 "$root/sanitizer" || exit 1
for variable in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
    value=${!variable:-}
    [ -n "$value" ] || continue
    options=()
    IFS=: read -r -a options <<<"$value"
    for i in "${!options[@]}"; do
        case "${options[$i]}" in
            log_path=*)
                path=${options[$i]#log_path=}
                report_folders+=("$(dirname "$path")")
                options[$i]="log_path=$root/sanitizer/$(basename "$path")"
                ;;
            suppressions=*)
                path=${options[$i]#suppressions=}
                copy="$root/sanitizer/$variable-$(basename "$path")"
                cp "$path" "$copy" 2>/dev/null && chmod 644 "$copy" &&
                    options[$i]="suppressions=$copy"
                ;;
        esac
    done
    value=$(IFS=:; echo "${options[*]}")
    export "$variable=$value"
    sanitizer_env+=("$variable=$value")
done

as_victim() { setpriv --reuid="$victim_uid" --regid="$victim_gid" --clear-groups "$@"; }
as_other() { setpriv --reuid="$other_uid" --regid="$other_uid" --clear-groups "$@"; }

# A checkout below a folder closed to other users (root's own home, where a
# newcomer working as root clones it) keeps nobody out: the programs are
# copied into the scenario's own open folder, the window program at the same
# place relative to the launcher.
if ! as_victim test -x "$lexorne" -a -x "$attacker"; then
    mkdir -p "$root/bin" || exit 1
    if [ -n "$window" ]; then
        relative=$(realpath --relative-to="$(dirname "$lexorne")" "$window") || exit 1
        mkdir -p "$(dirname "$root/bin/$relative")" &&
            cp "$window" "$root/bin/$relative" || exit 1
    fi
    cp "$lexorne" "$attacker" "$root/bin/" || exit 1
    chmod -R a+rX "$root/bin"
    lexorne="$root/bin/$(basename "$lexorne")"
    attacker="$root/bin/$(basename "$attacker")"
    as_victim test -x "$lexorne" -a -x "$attacker" ||
        skip "nobody cannot run the programs even from $root/bin"
fi

victim_env=() # more of the victim's environment, for a scenario
failures=0
verdict() { # name, then a reason when it failed
    if [ $# -eq 1 ]; then
        echo "ok - $1"
    else
        echo "not ok - $1: $2"
        failures=$((failures + 1))
    fi
}

# A scenario's folders: a shared temporary folder (like /tmp), the victim's
# home, and one for the other user.
setup() {
    dir="$root/$1"
    mkdir -p "$dir/tmp" "$dir/home" "$dir/other"
    chmod 1777 "$dir/tmp"
    chown "$victim_uid:$victim_gid" "$dir/home"
    chmod 700 "$dir/home"
    chown "$other_uid:$other_uid" "$dir/other"
    : >"$dir/log"
    chown "$other_uid" "$dir/log"
}

# start_victim NAME [RUNTIME [WRAPPER...]]: starts the program as nobody,
# its output in $dir/NAME.out; its process id in $victim.
start_victim() {
    local name=$1 runtime=${2:-}
    shift $(($# < 2 ? $# : 2))
    local env=(HOME="$dir/home" TMPDIR="$dir/tmp" PATH=/usr/bin:/bin LANG=C.UTF-8
        QT_QPA_PLATFORM=offscreen "${sanitizer_env[@]}" "${victim_env[@]}")
    [ -n "$runtime" ] && env+=(XDG_RUNTIME_DIR="$runtime")
    "$@" setpriv --reuid="$victim_uid" --regid="$victim_gid" --clear-groups \
        env -i "${env[@]}" "$lexorne" -platform offscreen >"$dir/$name.out" 2>&1 &
    victim=$!
    pids+=("$victim")
}

# start_listener USER SOCKET: another user's listener, answering like the
# program, logging into $dir/log; its process id in $listener.
start_listener() {
    local as=$1 socket=$2
    $as "$attacker" listen "$socket" "$dir/log" >"$dir/listener.out" 2>&1 &
    listener=$!
    pids+=("$listener")
    for _ in $(seq 50); do
        grep -q listening "$dir/listener.out" && return 0
        sleep 0.1
    done
    echo "the listener did not start: $(cat "$dir/listener.out")"
    return 1
}

# The victim's own runtime folder, as a session gives it: $run.
make_runtime() {
    run="$dir/run"
    install -d -m 700 -o "$victim_uid" -g "$victim_gid" "$run"
}

runs_after() { sleep "$2"; kill -0 "$1" 2>/dev/null; }

ends_within() { # pid seconds: true when it ended, its status in $status
    local i
    for i in $(seq $(($2 * 10))); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"
            status=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

says_within() { # file text seconds
    local i
    for i in $(seq $(($3 * 10))); do
        grep -q "$2" "$1" && return 0
        sleep 0.1
    done
    return 1
}

nothing_logged() { [ ! -s "$dir/log" ]; }

lock_line() { printf '%s\n\n%s\n' "$1" "$(uname -n)"; } # QLockFile's: pid, app, host

# One window: the first start stays, a second hands over to it and ends.
# Run in a command substitution, whose subshell the cleanup does not see: it
# ends what it started itself.
one_window() { # runtime [wrapper...]
    local before=${#pids[@]} result pid
    one_window_check "$@"
    result=$?
    for pid in "${pids[@]:before}"; do kill -KILL -- -"$pid" "$pid" 2>/dev/null; done
    return $result
}
one_window_check() {
    start_victim first "$@"
    local first=$victim
    runs_after "$first" 3 || { echo "the first start ended: $(cat "$dir/first.out")"; return 1; }
    grep -q "déjà ouvert" "$dir/first.out" && { echo "the first start gave up"; return 1; }
    start_victim second "$@"
    ends_within "$victim" 10 || { echo "two windows are open"; return 1; }
    [ "$status" = 0 ] || { echo "the second start said: $(cat "$dir/second.out")"; return 1; }
    kill -0 "$first" 2>/dev/null || { echo "the first window is gone"; return 1; }
}

# 1. XDG_RUNTIME_DIR names another user's folder, open to all, holding
# their listener under the victim's socket name; then the same through a
# link of theirs. The victim keeps out of it: one window, reachable from its
# next start, and not a byte to the listener.
for how in folder link; do
    name="runtime folder of another user ($how)"
    setup "other-$how"
    as_other mkdir -m 755 "$dir/other/run"
    runtime="$dir/other/run"
    if [ "$how" = link ]; then
        as_other ln -s "$dir/other/run" "$dir/other/run-link"
        runtime="$dir/other/run-link"
    fi
    if ! start_listener as_other "$dir/other/run/lexorne-nobody.socket"; then
        verdict "$name" "no listener"
    elif ! reason=$(one_window "$runtime"); then
        verdict "$name" "$reason"
    elif ! nothing_logged; then
        verdict "$name" "wrote to the listener: $(head -c 200 "$dir/log")"
    else
        verdict "$name"
    fi
done

# 2. A listener of another user where the victim's own socket goes, and a
# live lock of theirs: the victim sends nothing and says why it stops.
setup foreign
make_runtime
as_victim mkdir -p "$dir/home/.config/Quillmoor"
printf '[General%%20Settings]\nCitation=Il pleut\n' >"$dir/home/.config/Quillmoor/Lexorne.conf"
chown "$victim_uid" "$dir/home/.config/Quillmoor/Lexorne.conf"
before=$(stat -c '%s %Y' "$dir/home/.config/Quillmoor/Lexorne.conf"; md5sum <"$dir/home/.config/Quillmoor/Lexorne.conf")
if start_listener "" "$run/lexorne-nobody.socket"; then
    lock_line "$listener" >"$dir/home/.config/Quillmoor/Lexorne.lock"
    start_victim victim "$run"
    after() { stat -c '%s %Y' "$dir/home/.config/Quillmoor/Lexorne.conf"; md5sum <"$dir/home/.config/Quillmoor/Lexorne.conf"; }
    if ! says_within "$dir/victim.out" "déjà ouvert" 10; then
        verdict "listener of another user" "said nothing: $(cat "$dir/victim.out")"
    elif ! nothing_logged; then
        verdict "listener of another user" "wrote to it: $(head -c 200 "$dir/log")"
    elif [ "$(after)" != "$before" ]; then
        verdict "listener of another user" "the store changed"
    else
        verdict "listener of another user"
    fi
else
    verdict "listener of another user" "no listener"
fi

# 3. Another user's request to the running copy is not taken.
setup request
make_runtime
start_victim victim "$run"
if ! runs_after "$victim" 3; then
    verdict "request from another user" "no window: $(cat "$dir/victim.out")"
elif ! as_victim "$attacker" request "$run/lexorne-nobody.socket"; then
    verdict "request from another user" "the copy does not answer its own user"
elif "$attacker" request "$run/lexorne-nobody.socket"; then
    verdict "request from another user" "the copy answered root"
else
    verdict "request from another user"
fi

# 4. No runtime folder, and the cache folder shared (like a temporary
# folder), where another user made the folder the victim's socket would go
# in, with their listener: the victim's window opens, unreachable; its next
# start says so rather than opening a second one; nothing reaches the
# listener.
setup cache
as_other mkdir -m 777 "$dir/tmp/lexorne-runtime"
victim_env=(XDG_CACHE_HOME="$dir/tmp")
if ! start_listener as_other "$dir/tmp/lexorne-runtime/lexorne-nobody.socket"; then
    verdict "shared cache folder" "no listener"
else
    start_victim first
    first=$victim
    if ! runs_after "$first" 3; then
        verdict "shared cache folder" "no window: $(cat "$dir/first.out")"
    else
        start_victim second
        if ! says_within "$dir/second.out" "déjà ouvert" 15; then
            verdict "shared cache folder" "the second start said: $(cat "$dir/second.out")"
        elif ! nothing_logged; then
            verdict "shared cache folder" "wrote to the listener: $(head -c 200 "$dir/log")"
        elif [ -n "$(find "$dir/tmp/lexorne-runtime" -user "$victim_uid")" ]; then
            verdict "shared cache folder" "made files in the other user's folder"
        else
            verdict "shared cache folder"
        fi
    fi
fi
victim_env=()

# 5. A read-only runtime folder (mounted so, in a mount namespace of the
# victim's own): still one window.
setup readonly
make_runtime
readonly_mount() {
    exec unshare --mount sh -c 'mount --bind "$0" "$0" && mount -o remount,ro,bind "$0" "$0" && exec "$@"' "$run" "$@"
}
if ! (readonly_mount true) 2>/dev/null; then
    echo "skipped - read-only runtime folder: no mount namespace here"
elif reason=$(one_window "$run" readonly_mount); then
    verdict "read-only runtime folder"
else
    verdict "read-only runtime folder" "$reason"
fi

exit $((failures > 0))
