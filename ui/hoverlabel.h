// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// A label that reports every mouse move over it and clicks on it, for the
// about window's link and author labels; LinkLabel adds the keyboard.
#pragma once

#include <QLabel>

namespace lexorne {

class HoverLabel : public QLabel
{
    Q_OBJECT
public:
    explicit HoverLabel(QWidget *parent = nullptr);

signals:
    // Every move of the pointer over the label, with or without a button.
    void mouseMoved();
    // Left button pressed and released over the label.
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

// A link for the keyboard too: Tab reaches it (a click does not take the
// focus), Enter and Space open it, and it tells when it gains or loses the
// focus so that the focus can show it.
class LinkLabel : public HoverLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);

    // Opens the link as a click does; also what a screen reader's "press" runs.
    void activate();

signals:
    void focusChanged(bool focused);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace lexorne
