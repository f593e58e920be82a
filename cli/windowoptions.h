// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Which arguments open the window rather than the command line: none at all,
// or only Qt's own window options. On bytes and without Qt, so that the
// program users start can decide before loading any of Qt; cli::opensWindow()
// is the same rule for text.
#pragma once

#include <array>
#include <string_view>

namespace lexorne::cli {

namespace detail {

// Qt's own window options, which QApplication takes for itself: given alone
// they still open the window (a session manager restarts it with -session).
inline constexpr std::array<std::string_view, 13> kQtOptionsWithValue{
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger"};
inline constexpr std::array<std::string_view, 5> kQtFlags{"reverse", "widgetcount", "nograb",
                                                          "dograb", "sync"};

// "-style", "--style" or "-style=fusion" as "style", "style=fusion"; empty
// for anything that is not an option.
constexpr std::string_view optionWord(std::string_view argument)
{
    if (argument.starts_with("--"))
        return argument.substr(2);
    if (argument.starts_with('-'))
        return argument.substr(1);
    return {};
}

template <std::size_t N>
constexpr bool isOneOf(std::string_view word, const std::array<std::string_view, N> &names)
{
    for (const std::string_view name : names)
        if (word == name)
            return true;
    return false;
}

} // namespace detail

// The arguments, program name excluded.
constexpr bool opensWindow(int count, const char *const *arguments)
{
    for (int i = 0; i < count; ++i) {
        const std::string_view word = detail::optionWord(arguments[i]);
        if (detail::isOneOf(word, detail::kQtFlags))
            continue;
        const std::size_t equals = word.find('=');
        if (equals != std::string_view::npos && equals > 0 &&
            detail::isOneOf(word.substr(0, equals), detail::kQtOptionsWithValue))
            continue;
        if (detail::isOneOf(word, detail::kQtOptionsWithValue)) {
            ++i; // its value
            continue;
        }
        return false;
    }
    return true;
}

} // namespace lexorne::cli
