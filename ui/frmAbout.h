#pragma once

#include "resources.h"

#include <QDesktopServices>
#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

namespace lexorne {

// What the about window is built from; tests inject their own.
struct AboutOptions {
    QString title = QString::fromLatin1(kApplicationTitle);
    int versionMajor = kVersionMajor;
    int versionMinor = kVersionMinor;
    // Opens an address with the user's default application; false on failure.
    std::function<bool(const QUrl &)> openUrl = [](const QUrl &url) {
        return QDesktopServices::openUrl(url);
    };
};

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *owner, AboutOptions options = {});

private:
    AboutOptions m_options;
};

} // namespace lexorne
