// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Letter counts at a glance: each letter box's tooltip and accessible
// description tell how often its letter occurs in the quotation ("E : 12 fois
// dans la citation"), and the result box's tell which letters the board still
// hides ("Lettres encore cachées : 3 (B, Q, V)").
//
// Typing never pays for the count: a change of the quotation only restarts a
// short timer, and the text is counted once typing pauses, or at once when a
// tooltip is about to show. A tick only redoes the summary from the counts
// already made.
#pragma once

#include "engine/lettercount.h"
#include "ui/boardmodel.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>

class QCheckBox;
class QPlainTextEdit;

namespace lexorne {

class LetterCountTips : public QObject
{
    Q_OBJECT
public:
    // How long typing must pause before the quotation is counted again.
    static constexpr int kPauseMs = 300;

    // quotation returns the quotation box's exact text. Counts it at once,
    // then follows the box's changes and the board's ticks.
    LetterCountTips(QPlainTextEdit *quotationBox, std::function<QString()> quotation,
                    const std::array<QCheckBox *, kLetterCount> &letterBoxes,
                    const BoardModel &board, QWidget *resultBox, QObject *parent = nullptr);

    // "E : 12 fois dans la citation", "K : absente de la citation".
    static QString letterText(int box, qsizetype count);
    // What the result box says for this quotation under this board.
    static QString summaryText(bool emptyQuotation, const LetterTally &tally, const Board &board);

    // Counts now if the quotation changed since the last count.
    void refresh();

    // Whether the program runs with the counts: the key-to-screen benchmark
    // sets LEXORNE_LETTER_COUNTS=0 to time typing without them.
    static bool enabled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void quotationChanged();
    void showLetterTexts();
    void showSummary();

    std::function<QString()> m_quotation;
    std::array<QCheckBox *, kLetterCount> m_letterBoxes;
    const BoardModel &m_board;
    QWidget *m_resultBox;
    QTimer m_pause;
    LetterTally m_tally;
    bool m_empty = true;
    bool m_stale = true;
};

} // namespace lexorne
