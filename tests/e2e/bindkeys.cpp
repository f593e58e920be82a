// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Binds the characters of its arguments that the keyboard map lacks to spare
// key codes, the lower case on the plain level and the upper case on the
// shifted one. xdotool then types them from the map as it stands. Left to
// itself it rebinds a scratch key for every such character and unbinds it
// at once, which races with the program reading the new map: characters get
// lost or come out in the wrong case.
#include <X11/Xlib.h>

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// Latin-1 characters have keysyms of the same value; the rest use the
// Unicode keysym range.
KeySym keysymFor(wchar_t c)
{
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff))
        return KeySym(c);
    return KeySym(0x1000000 | c);
}

} // namespace

int main(int argc, char *argv[])
{
    std::setlocale(LC_ALL, ""); // NOLINT(concurrency-mt-unsafe): before any thread exists
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bindkeys: cannot open the display\n");
        return 1;
    }

    int minCode = 0;
    int maxCode = 0;
    XDisplayKeycodes(display, &minCode, &maxCode);
    int perCode = 0;
    KeySym *map = XGetKeyboardMapping(display, KeyCode(minCode), maxCode - minCode + 1, &perCode);
    std::set<KeySym> present;
    std::vector<int> spare;
    for (int code = minCode; code <= maxCode; ++code) {
        bool empty = true;
        for (int level = 0; level < perCode; ++level) {
            const KeySym sym = map[(code - minCode) * perCode + level];
            if (sym != NoSymbol) {
                present.insert(sym);
                empty = false;
            }
        }
        if (empty)
            spare.push_back(code);
    }
    XFree(map);

    std::set<std::pair<wchar_t, wchar_t>> pairs;
    for (int i = 1; i < argc; ++i) {
        std::wstring text(std::mbstowcs(nullptr, argv[i], 0) + 1, L'\0');
        if (std::mbstowcs(text.data(), argv[i], text.size()) == std::size_t(-1)) {
            std::fprintf(stderr, "bindkeys: argument %d is not valid in this locale\n", i);
            return 1;
        }
        for (wchar_t c : text) {
            if (c < 0x80 || present.count(keysymFor(c)))
                continue;
            pairs.insert({wchar_t(std::towlower(wint_t(c))), wchar_t(std::towupper(wint_t(c)))});
        }
    }

    for (const auto &[lower, upper] : pairs) {
        if (spare.empty()) {
            std::fprintf(stderr, "bindkeys: no spare key code left\n");
            return 1;
        }
        KeySym syms[2] = {keysymFor(lower), keysymFor(upper)};
        XChangeKeyboardMapping(display, spare.back(), 2, syms, 1);
        spare.pop_back();
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
