// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the window's start with text in it: a Qt Widgets window of
// the main window's design size with one label and one button, so that the
// fonts are loaded and text drawn as in any window with a caption.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(342, 358);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Citation"), &window));
    layout->addWidget(new QPushButton(QStringLiteral("&On y va !"), &window));
    window.show();
    return QApplication::exec();
}
