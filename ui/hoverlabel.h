// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// A label that reports every mouse move over it and clicks on it, for the
// about window's link and author labels.
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

} // namespace lexorne
