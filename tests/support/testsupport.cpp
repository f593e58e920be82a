// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/testsupport.h"

#include "version/version.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

namespace lexorne::testsupport {

void missingWidget(const QObject *parent, const QString &name, qsizetype found)
{
    const QString owner = parent->objectName().isEmpty()
                              ? QString::fromLatin1(parent->metaObject()->className())
                              : parent->objectName();
    if (found == 0)
        qFatal("%s has no control named \"%s\"", qPrintable(owner), qPrintable(name));
    qFatal("%s has %d controls named \"%s\"", qPrintable(owner), int(found), qPrintable(name));
}

namespace {

// Suites replace one store with the next (`m_settings = make_unique<...>()`),
// so the new store exists before the old one goes. Only the last to go may
// give the default format back, or every later test would open the native
// store: the user's registry on Windows.
int liveStores = 0;

} // namespace

TemporarySettings::TemporarySettings()
{
    ++liveStores;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
}

TemporarySettings::~TemporarySettings()
{
    if (--liveStores == 0)
        QSettings::setDefaultFormat(QSettings::NativeFormat);
}

QString TemporarySettings::folder() const
{
    return QFileInfo(storePath()).path();
}

QString TemporarySettings::storePath() const
{
    return open().fileName();
}

QSettings TemporarySettings::open()
{
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope,
                     QString::fromLatin1(kOrganization), QString::fromLatin1(kApplicationTitle));
}

RuntimeFolder::RuntimeFolder()
{
    // Runtime folders are the user's alone; some code refuses any other.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace lexorne::testsupport
