// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Qt reads Windows' setting for apps (AppsUseLightTheme) and builds a dark
// palette from it. Its windows11 style, picked on Windows 11, draws that
// palette; the windowsvista style it picks before cannot and puts the light
// palette back. There, while the apps are dark, Qt's Fusion style draws the
// system's dark palette instead.
#include "app/systemlook.h"

#include <QApplication>
#include <QStyle>
#include <QStyleHints>

using namespace Qt::StringLiterals;

namespace lexorne::app {

namespace {

bool styleChosenByUser()
{
    if (qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE"))
        return true;
    const QStringList arguments = QCoreApplication::arguments();
    for (const QString &argument : arguments) {
        if (argument == "-style"_L1 || argument == "--style"_L1 ||
            argument.startsWith("-style="_L1) || argument.startsWith("--style="_L1))
            return true;
    }
    return false;
}

void applyLook(const QString &platformStyle)
{
    const bool dark = QGuiApplication::styleHints()->colorScheme() == Qt::ColorScheme::Dark;
    const QString wanted = dark && platformStyle == "windowsvista"_L1 ? u"fusion"_s : platformStyle;
    if (QApplication::style()->name() != wanted)
        QApplication::setStyle(wanted);
}

} // namespace

void followSystemLook()
{
    if (styleChosenByUser())
        return;
    const QString platformStyle = QApplication::style()->name();
    applyLook(platformStyle);
    QObject::connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, qApp,
                     [platformStyle] { applyLook(platformStyle); });
}

} // namespace lexorne::app
