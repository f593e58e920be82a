// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Test support shared by every suite: a widget found by its objectName (or
// the suite stops, naming it), a settings store in a temporary folder, and a
// throwaway runtime folder. The main window's fixture is in
// tests/support/mainwindow.h; a board from its letters is Board::fromLetters.
#pragma once

#include <QList>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

namespace lexorne::testsupport {

// Stops the suite with a message naming what was looked for; a test going on
// with a null widget would only crash further down.
[[noreturn]] void missingWidget(const QObject *parent, const QString &name, qsizetype found);

// The one descendant of parent of type T named name. None, or more than one
// (two controls sharing a name would make every lookup ambiguous), stops the
// suite.
template <class T = QWidget>
T *widget(const QObject *parent, const QString &name)
{
    const QList<T *> found = parent->findChildren<T *>(name);
    if (found.size() != 1)
        missingWidget(parent, name, found.size());
    return found.first();
}

// The program's settings store moved into a folder of its own for as long as
// this object lives, never the user's.
//
// setPath() moves file-based stores only, and the native store on Windows is
// the registry. So the default format is switched to INI files, whose folder
// setPath() does move on every platform, and the store opens the default
// format. The native format's folder is moved too, for code that names it.
// When one replaces another (a fixture made afresh for each test), the
// newest one holds: the older one's end leaves the default format alone.
class TemporarySettings
{
public:
    TemporarySettings();
    ~TemporarySettings();
    TemporarySettings(const TemporarySettings &) = delete;
    TemporarySettings &operator=(const TemporarySettings &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    // The folder standing in for the user's settings folder.
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }
    // The organisation's folder, and the store's file within it.
    QString folder() const;
    QString storePath() const;
    // The store as the program opens it.
    static QSettings open();

private:
    QTemporaryDir m_dir;
};

// A runtime folder (sockets, locks) private to the current user, removed
// with this object.
class RuntimeFolder
{
public:
    RuntimeFolder();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
};

} // namespace lexorne::testsupport
