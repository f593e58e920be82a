// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Times a program from the outside, as the X server sees it:
//
//   lexorne_xprobe start IDLE_MS PROGRAM [ARGS...]
//     Starts PROGRAM and prints the time from the exec to the MapNotify of its
//     first top-level window, the processor time it had used by then (user
//     and system, all threads), the time until its drawing settles, and,
//     IDLE_MS after the map, the peak and current resident memory. Then ends
//     PROGRAM with SIGTERM. Needs no window manager: the window must be a
//     child of the root window.
//
//   lexorne_xprobe run PROGRAM [ARGS...]
//     Starts PROGRAM, waits for its end and prints the time from the exec to
//     the end and the processor time it used (user and system): a second
//     start that hands over to the running copy and ends.
//
//   lexorne_xprobe press WINDOW KEYS FROM
//     Takes the clipboard, sends KEYS ("alt+o", "space") through XTEST and
//     prints the time from the key's press or release (FROM) to the moment
//     the program takes the clipboard back, and to its first drawing into
//     WINDOW after that: the command has run and its result is on screen.
//
//   lexorne_xprobe type WINDOW KEY
//     Sends KEY through XTEST and prints the time from its press to the
//     program's first drawing into WINDOW wider than a text cursor: the
//     keystroke has reached the screen. A cursor blink, a few pixels wide,
//     does not count.
//
// Every time is taken when the event reaches this client, in milliseconds.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

[[noreturn]] void die(const char *message)
{
    std::fprintf(stderr, "xprobe: %s\n", message);
    std::exit(1); // NOLINT(concurrency-mt-unsafe): the probe runs one thread
}

// Waits for the next event until deadline; false on time-out.
bool nextEvent(Display *display, XEvent &event, Clock::time_point deadline)
{
    while (!XPending(display)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, int(left.count()) + 1);
    }
    XNextEvent(display, &event);
    return true;
}

long statusField(pid_t pid, const char *field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::atol(line.c_str() + prefix.size());
    }
    return -1;
}

// The processor time a process has used so far, in milliseconds; -1 when
// it cannot be read.
double cpuMs(pid_t pid)
{
    clockid_t clock{};
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0)
        return -1;
    return double(used.tv_sec) * 1000.0 + double(used.tv_nsec) / 1e6;
}

void endChild(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int start(Display *display, int idleMs, char **argv)
{
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError))
        die("the X server has no DAMAGE extension");
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto began = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        die("fork failed");
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(argv[0], argv);
        std::perror("xprobe: exec");
        _exit(127);
    }

    // Drawn: the last drawing into the window before 150 ms without any. The
    // server's own exposure of the new window counts too, but always comes
    // first.
    const auto deadline = began + std::chrono::seconds(30);
    const auto quiet = std::chrono::milliseconds(150);
    std::optional<Clock::time_point> mapped;
    std::optional<Clock::time_point> drawn;
    double cpuAtMap = -1;
    Window window = 0;
    XEvent event;
    while (true) {
        const auto until = !mapped ? deadline
                           : drawn ? std::min(*drawn + quiet, *mapped + std::chrono::seconds(3))
                                   : *mapped + std::chrono::seconds(3);
        // Wakes every 50 ms to notice a program that ended without a window.
        if (!nextEvent(display, event,
                       std::min(until, Clock::now() + std::chrono::milliseconds(50)))) {
            if (Clock::now() >= until)
                break;
            if (!mapped && waitpid(pid, nullptr, WNOHANG) == pid)
                die("the program ended before mapping a window");
            continue;
        }
        if (event.type == MapNotify && !mapped && event.xmap.event == root &&
            !event.xmap.override_redirect) {
            mapped = Clock::now();
            cpuAtMap = cpuMs(pid);
            window = event.xmap.window;
            XDamageCreate(display, window, XDamageReportRawRectangles);
            XFlush(display);
        } else if (mapped && event.type == damageEvent + XDamageNotify &&
                   reinterpret_cast<XDamageNotifyEvent &>(event).drawable == window) {
            drawn = Clock::now();
        }
    }
    if (!mapped) {
        endChild(pid);
        die("no window was mapped within 30 s");
    }

    const auto idleEnd = *mapped + std::chrono::milliseconds(idleMs);
    std::this_thread::sleep_until(idleEnd);
    const long peak = statusField(pid, "VmHWM");
    const long resident = statusField(pid, "VmRSS");
    endChild(pid);

    // map_at: the map on the CLOCK_MONOTONIC scale, to cut a profile taken
    // with "perf record -k CLOCK_MONOTONIC" at the map.
    std::printf("map_ms=%.2f cpu_ms=%.2f drawn_ms=%.2f hwm_kb=%ld rss_kb=%ld map_at=%.6f\n",
                msBetween(began, *mapped), cpuAtMap, drawn ? msBetween(began, *drawn) : -1.0, peak,
                resident, std::chrono::duration<double>(mapped->time_since_epoch()).count());
    return 0;
}

struct Key
{
    std::vector<KeyCode> modifiers;
    KeyCode key = 0;
};

Key parseKeys(Display *display, const std::string &combo)
{
    Key parsed;
    std::size_t from = 0;
    while (true) {
        const std::size_t plus = combo.find('+', from);
        const std::string part = combo.substr(from, plus == std::string::npos ? plus : plus - from);
        const char *name = part == "alt"     ? "Alt_L"
                           : part == "ctrl"  ? "Control_L"
                           : part == "shift" ? "Shift_L"
                                             : part.c_str();
        const KeySym sym = XStringToKeysym(name);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (!code)
            die("unknown key");
        if (plus == std::string::npos) {
            parsed.key = code;
            return parsed;
        }
        parsed.modifiers.push_back(code);
        from = plus + 1;
    }
}

int press(Display *display, Window window, const std::string &keys, bool fromRelease)
{
    int fixesEvent = 0;
    int fixesError = 0;
    int damageEvent = 0;
    int damageError = 0;
    int xtest[4];
    if (!XFixesQueryExtension(display, &fixesEvent, &fixesError) ||
        !XDamageQueryExtension(display, &damageEvent, &damageError) ||
        !XTestQueryExtension(display, &xtest[0], &xtest[1], &xtest[2], &xtest[3]))
        die("the X server lacks XFIXES, DAMAGE or XTEST");

    const Key key = parseKeys(display, keys);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Window own =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, clipboard, own, CurrentTime);
    if (XGetSelectionOwner(display, clipboard) != own)
        die("could not take the clipboard");
    XFixesSelectSelectionInput(display, own, clipboard, XFixesSetSelectionOwnerNotifyMask);
    const Damage damage = XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
    XEvent event;
    while (XPending(display))
        XNextEvent(display, &event);

    for (KeyCode modifier : key.modifiers)
        XTestFakeKeyEvent(display, modifier, True, CurrentTime);
    XTestFakeKeyEvent(display, key.key, True, CurrentTime);
    XFlush(display);
    const auto pressed = Clock::now();

    // A quick keystroke: the release 30 ms after the press. Events that come
    // meanwhile are stamped as they come.
    std::optional<Clock::time_point> released;
    std::optional<Clock::time_point> taken;
    std::optional<Clock::time_point> shown;
    const auto deadline = pressed + std::chrono::seconds(20);
    while (!shown) {
        const auto wake = released ? deadline : pressed + std::chrono::milliseconds(30);
        if (!nextEvent(display, event, wake)) {
            if (released)
                break;
            XTestFakeKeyEvent(display, key.key, False, CurrentTime);
            for (auto it = key.modifiers.rbegin(); it != key.modifiers.rend(); ++it)
                XTestFakeKeyEvent(display, *it, False, CurrentTime);
            XFlush(display);
            released = Clock::now();
            continue;
        }
        if (event.type == fixesEvent + XFixesSelectionNotify && !taken &&
            reinterpret_cast<XFixesSelectionNotifyEvent &>(event).owner != own) {
            taken = Clock::now();
        } else if (taken && event.type == damageEvent + XDamageNotify) {
            shown = Clock::now();
        }
    }
    if (!released) {
        XTestFakeKeyEvent(display, key.key, False, CurrentTime);
        for (auto it = key.modifiers.rbegin(); it != key.modifiers.rend(); ++it)
            XTestFakeKeyEvent(display, *it, False, CurrentTime);
        XFlush(display);
    }
    XDamageDestroy(display, damage);
    XDestroyWindow(display, own);
    XSync(display, False);
    if (!shown)
        die("the program did not take the clipboard and draw within 20 s");

    const auto origin = fromRelease ? *released : pressed;
    std::printf("clip_ms=%.2f shown_ms=%.2f\n", msBetween(origin, *taken),
                msBetween(origin, *shown));
    return 0;
}

int type(Display *display, Window window, const std::string &keys)
{
    int damageEvent = 0;
    int damageError = 0;
    int xtest[4];
    if (!XDamageQueryExtension(display, &damageEvent, &damageError) ||
        !XTestQueryExtension(display, &xtest[0], &xtest[1], &xtest[2], &xtest[3]))
        die("the X server lacks DAMAGE or XTEST");

    // Wider than any text cursor with its margins, narrower than a line of text.
    constexpr int kCursorWidth = 16;
    const Key key = parseKeys(display, keys);
    const Damage damage = XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
    XEvent event;
    while (XPending(display))
        XNextEvent(display, &event);

    for (KeyCode modifier : key.modifiers)
        XTestFakeKeyEvent(display, modifier, True, CurrentTime);
    XTestFakeKeyEvent(display, key.key, True, CurrentTime);
    XFlush(display);
    const auto pressed = Clock::now();

    std::optional<Clock::time_point> shown;
    const auto deadline = pressed + std::chrono::seconds(20);
    while (!shown && nextEvent(display, event, deadline)) {
        if (event.type == damageEvent + XDamageNotify &&
            reinterpret_cast<XDamageNotifyEvent &>(event).area.width > kCursorWidth)
            shown = Clock::now();
    }
    XTestFakeKeyEvent(display, key.key, False, CurrentTime);
    for (auto it = key.modifiers.rbegin(); it != key.modifiers.rend(); ++it)
        XTestFakeKeyEvent(display, *it, False, CurrentTime);
    XDamageDestroy(display, damage);
    XSync(display, False);
    if (!shown)
        die("the program did not draw within 20 s");
    std::printf("shown_ms=%.2f\n", msBetween(pressed, *shown));
    return 0;
}

int run(char **argv)
{
    const auto began = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        die("fork failed");
    if (pid == 0) {
        execvp(argv[0], argv);
        std::perror("xprobe: exec");
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        die("wait failed");
    const auto ended = Clock::now();
    const auto ms = [](const timeval &t) {
        return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0;
    };
    std::printf("end_ms=%.2f cpu_ms=%.2f status=%d\n", msBetween(began, ended),
                ms(usage.ru_utime) + ms(usage.ru_stime),
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && std::string(argv[1]) == "run")
        return run(argv + 2);
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        die("cannot open the display");
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "start" && argc >= 4)
        return start(display, std::atoi(argv[2]), argv + 3);
    if (command == "press" && argc == 5) {
        const std::string from = argv[4];
        if (from != "press" && from != "release")
            die("FROM is press or release");
        return press(display, Window(std::strtoul(argv[2], nullptr, 0)), argv[3],
                     from == "release");
    }
    if (command == "type" && argc == 4)
        return type(display, Window(std::strtoul(argv[2], nullptr, 0)), argv[3]);
    std::fprintf(stderr, "usage: lexorne_xprobe start IDLE_MS PROGRAM [ARGS...]\n"
                         "       lexorne_xprobe run PROGRAM [ARGS...]\n"
                         "       lexorne_xprobe press WINDOW KEYS press|release\n"
                         "       lexorne_xprobe type WINDOW KEY\n");
    return 2;
}
