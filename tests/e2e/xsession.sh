# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# A private X session for the end-to-end suite, the screenshots and the
# benchmarks: Xvfb on a free display, optionally openbox (so that minimise,
# activate and the close request behave as on a desktop), and a throwaway
# HOME so that the user's own game and settings are never touched, with a
# private session bus as a desktop session has.
# Sourced, not run. Needs: Xvfb, xprop (x11-utils), dbus-daemon; openbox when
# asked for; at-spi2-core for the accessibility bus (xs_a11y_start).

XS_DIR=""
XS_TMPDIR="${TMPDIR:-/tmp}"
XS_XVFB_PID=""
XS_WM_PID=""
XS_BUS_PID=""
XS_A11Y_PID=""

# Polls "$@" every 20 ms until it succeeds or $1 milliseconds have passed.
xs_wait() {
    local limit="$1"; shift
    local deadline=$((${EPOCHREALTIME/./} + limit * 1000))
    until "$@"; do
        [ "${EPOCHREALTIME/./}" -ge "$deadline" ] && return 1
        sleep 0.02
    done
}

# xs_start [wm]: starts a session bus and Xvfb (and openbox with "wm") and
# exports DISPLAY, DBUS_SESSION_BUS_ADDRESS and a fresh HOME, XDG_CONFIG_HOME
# and XDG_RUNTIME_DIR under one temporary folder.
xs_start() {
    local with_wm="${1:-}"
    XS_DIR="$(mktemp -d "$XS_TMPDIR/lexorne-x.XXXXXX")" || return 1
    mkdir -p "$XS_DIR/home" "$XS_DIR/config" "$XS_DIR/runtime" "$XS_DIR/data" \
        "$XS_DIR/cache" "$XS_DIR/tmp" || return 1
    chmod 700 "$XS_DIR/runtime" || return 1
    export HOME="$XS_DIR/home" XDG_CONFIG_HOME="$XS_DIR/config"
    export XDG_RUNTIME_DIR="$XS_DIR/runtime" XDG_DATA_HOME="$XS_DIR/data"
    export XDG_CACHE_HOME="$XS_DIR/cache" TMPDIR="$XS_DIR/tmp"
    export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
    # Nothing of the caller's desktop session may leak in.
    unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XAUTHORITY \
        DESKTOP_STARTUP_ID XDG_ACTIVATION_TOKEN QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
    xs_bus_start || return 1

    # -displayfd picks a free display number and writes it once listening.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$XS_DIR/display" >"$XS_DIR/xvfb.log" 2>&1 &
    XS_XVFB_PID=$!
    if ! xs_wait 15000 grep -qs '[0-9]' "$XS_DIR/display"; then
        echo "xsession: Xvfb did not start:" >&2
        cat "$XS_DIR/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$(tr -dc 0-9 <"$XS_DIR/display")"

    if [ "$with_wm" = wm ]; then
        openbox --sm-disable >"$XS_DIR/openbox.log" 2>&1 &
        XS_WM_PID=$!
        if ! xs_wait 15000 xs_wm_ready; then
            echo "xsession: openbox did not start:" >&2
            cat "$XS_DIR/openbox.log" >&2
            return 1
        fi
    fi
}

# A session bus of the run's own, its socket in the private runtime folder.
# Without one, libdbus (under Qt) tries to start a bus through dbus-launch,
# which a machine may lack, and leaks when that fails. It activates no
# service, so nothing else the machine has installed starts with it.
xs_bus_start() {
    cat >"$XS_DIR/bus.conf" <<BUS || return 1
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$XDG_RUNTIME_DIR/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
BUS
    dbus-daemon --config-file="$XS_DIR/bus.conf" --nofork --nopidfile \
        --print-address=3 3>"$XS_DIR/bus-address" >"$XS_DIR/bus.log" 2>&1 &
    XS_BUS_PID=$!
    if ! xs_wait 15000 grep -qs '^unix:' "$XS_DIR/bus-address"; then
        echo "xsession: the session bus did not start:" >&2
        cat "$XS_DIR/bus.log" >&2
        return 1
    fi
    DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$XS_DIR/bus-address")"
    export DBUS_SESSION_BUS_ADDRESS
}

# The accessibility bus on the session bus, as a desktop starts it for a
# screen reader: at-spi-bus-launcher starts the bus and, on it, the registry.
xs_a11y_start() {
    local launcher
    for launcher in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
        [ -x "$launcher" ] && break
    done
    if [ ! -x "$launcher" ]; then
        echo "xsession: at-spi-bus-launcher is missing (at-spi2-core)" >&2
        return 1
    fi
    "$launcher" --launch-immediately >"$XS_DIR/a11y.log" 2>&1 &
    XS_A11Y_PID=$!
    a11y_ready() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1; }
    if ! xs_wait 15000 a11y_ready; then
        echo "xsession: the accessibility bus did not start:" >&2
        cat "$XS_DIR/a11y.log" >&2
        return 1
    fi
}

xs_wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Stops what xs_start started, by process id, and removes the folder.
xs_stop() {
    local pid
    for pid in "$XS_A11Y_PID" "$XS_WM_PID" "$XS_XVFB_PID" "$XS_BUS_PID"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    XS_A11Y_PID="" XS_WM_PID="" XS_XVFB_PID="" XS_BUS_PID=""
    unset DBUS_SESSION_BUS_ADDRESS
    [ -n "$XS_DIR" ] && rm -rf "$XS_DIR"
    XS_DIR=""
    export TMPDIR="$XS_TMPDIR"
}
