// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's own choices in the store, beside the game.
#include "settings/settings.h"

#include <QSettings>

namespace lexorne::settings {

namespace {

QString optionKey(const QString &key)
{
    return QStringLiteral("Options/") + key;
}

} // namespace

QString Store::readOption(const QString &key) const
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return {};
    // A list or a number written by hand is not one of our values.
    const QVariant value = m_settings->value(optionKey(key));
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool Store::writeOption(const QString &key, const QString &value)
{
    return write(optionKey(key), value);
}

} // namespace lexorne::settings
