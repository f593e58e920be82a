// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for start-up time and memory: a Qt Widgets program that shows one
// empty window of the main window's design size and waits.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(342, 358);
    window.show();
    return QApplication::exec();
}
