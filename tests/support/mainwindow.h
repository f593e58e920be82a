// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the UI suites use it: on a store of its own in a
// temporary folder, opened afresh (or reopened, as a restart would), its
// controls found by objectName. For suites that link lexorne_ui.
//
//   testsupport::MainWindow m_main;
//   void init() { QVERIFY(m_main.begin()); }
//   void cleanup() { m_main.end(); }
//   frmMain &w = m_main.open();  m_main.letter(4)->click();
#pragma once

#include "tests/support/testsupport.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace lexorne::testsupport {

class MainWindow
{
public:
    // A fresh settings folder, never the user's; false if it could not be made.
    bool begin()
    {
        QStandardPaths::setTestModeEnabled(true);
        end();
        m_settings = std::make_unique<TemporarySettings>();
        return m_settings->isValid();
    }
    // The window goes first: its writes end before the store closes.
    void end()
    {
        m_window.reset();
        m_store.reset();
        m_settings.reset();
    }

    // Opens the store and a window on it, as a start does. A window still
    // open is dropped first without closing, as a crash would leave it: close
    // it first for a clean restart.
    frmMain &open()
    {
        m_window.reset();
        m_store.reset();
        m_store = std::make_unique<settings::Store>();
        m_window = std::make_unique<frmMain>(*m_store);
        return *m_window;
    }

    frmMain &window() const { return *m_window; }
    settings::Store &store() const { return *m_store; }
    TemporarySettings &settings() const { return *m_settings; }

    template <class T = QWidget>
    T *get(const QString &name) const
    {
        return widget<T>(m_window.get(), name);
    }
    // Box k, 0 for "A" to 25 for "Z".
    QCheckBox *letter(int k) const { return get<QCheckBox>(QStringLiteral("chkLetter%1").arg(k)); }
    QCheckBox *letter(QChar c) const { return letter(c.unicode() - u'A'); }
    QCheckBox *option(const QString &name) const { return get<QCheckBox>(name); }
    QPlainTextEdit *origin() const { return get<QPlainTextEdit>(QStringLiteral("txtOrigin")); }
    QPlainTextEdit *result() const { return get<QPlainTextEdit>(QStringLiteral("txtRendu")); }
    void click(const QString &name) const { get<QPushButton>(name)->click(); }

    // Shows the window and waits until it is active; false if it never is.
    bool showActive() const
    {
        m_window->show();
        m_window->activateWindow();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    // The store through QSettings, as the tests write it.
    static QSettings storeFile() { return TemporarySettings::open(); }
    // What the next run would read under key, once the window's writes are
    // done: parsed from a copy, since QSettings shares what it read of a file
    // among all its objects in the process.
    QVariant stored(const QString &key)
    {
        if (m_window)
            m_window->waitUntilStored();
        const QString copy = m_settings->filePath(QStringLiteral("copy-%1.ini").arg(++m_copies));
        QFile::copy(m_settings->storePath(), copy);
        return QSettings(copy, QSettings::IniFormat).value(key);
    }
    // Stores a game, as an earlier run would have left it.
    static void storeGame(const QString &quotation, QStringView ticked)
    {
        QSettings s = storeFile();
        s.setValue(QStringLiteral("General Settings/Citation"), quotation);
        for (QChar c : ticked)
            s.setValue(QStringLiteral("Alpha/%1").arg(c.unicode() - u'A'), QStringLiteral("1"));
    }

private:
    std::unique_ptr<TemporarySettings> m_settings;
    std::unique_ptr<settings::Store> m_store;
    std::unique_ptr<frmMain> m_window;
    int m_copies = 0;
};

} // namespace lexorne::testsupport
