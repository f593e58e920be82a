// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/lettercounts.h"

#include <QCheckBox>
#include <QEvent>
#include <QPlainTextEdit>
#include <QStringList>

namespace lexorne {

namespace {

QString letterName(int box)
{
    return QString(QChar(char16_t(u'A' + box)));
}

// The tooltip is also what assistive technology reads as the description.
// Only a real change is passed on, so that a screen reader is not told of
// descriptions that stayed the same.
void describe(QWidget *widget, const QString &text)
{
    if (widget->toolTip() == text && widget->accessibleDescription() == text)
        return;
    widget->setToolTip(text);
    widget->setAccessibleDescription(text);
}

} // namespace

LetterCountTips::LetterCountTips(QPlainTextEdit *quotationBox, std::function<QString()> quotation,
                                 const std::array<QCheckBox *, kLetterCount> &letterBoxes,
                                 const BoardModel &board, QWidget *resultBox, QObject *parent)
    : QObject(parent), m_quotation(std::move(quotation)), m_letterBoxes(letterBoxes),
      m_board(board), m_resultBox(resultBox)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &LetterCountTips::refresh);
    connect(quotationBox, &QPlainTextEdit::textChanged, this, &LetterCountTips::quotationChanged);
    connect(&m_board, &BoardModel::letterChanged, this, &LetterCountTips::showSummary);
    for (QCheckBox *box : m_letterBoxes)
        box->installEventFilter(this);
    m_resultBox->installEventFilter(this);
    refresh();
}

QString LetterCountTips::letterText(int box, qsizetype count)
{
    if (count <= 0)
        return QStringLiteral("%1 : absente de la citation").arg(letterName(box));
    return QStringLiteral("%1 : %2 fois dans la citation").arg(letterName(box)).arg(count);
}

QString LetterCountTips::summaryText(bool emptyQuotation, const LetterTally &tally,
                                     const Board &board)
{
    // "Toutes les lettres sont découvertes" would be true of a text with no
    // letter at all, but says nothing useful: say what the quotation lacks.
    if (emptyQuotation)
        return QStringLiteral("La citation est vide");
    if (!tally.hasLetters())
        return QStringLiteral("La citation ne contient aucune lettre");
    const QList<int> hidden = tally.hiddenLetters(board);
    if (hidden.isEmpty())
        return QStringLiteral("Toutes les lettres sont découvertes");
    QStringList names;
    for (int box : hidden)
        names.append(letterName(box));
    return QStringLiteral("Lettres encore cachées : %1 (%2)")
        .arg(hidden.size())
        .arg(names.join(QStringLiteral(", ")));
}

bool LetterCountTips::enabled()
{
    return qEnvironmentVariable("LEXORNE_LETTER_COUNTS") != QStringLiteral("0");
}

void LetterCountTips::refresh()
{
    if (!m_stale)
        return;
    m_pause.stop();
    m_stale = false;
    const QString text = m_quotation();
    m_empty = text.isEmpty();
    m_tally = CountLetters(text);
    showLetterTexts();
    showSummary();
}

bool LetterCountTips::eventFilter(QObject *watched, QEvent *event)
{
    // A tooltip about to show must not tell an old count.
    if (event->type() == QEvent::ToolTip && m_stale)
        refresh();
    return QObject::eventFilter(watched, event);
}

void LetterCountTips::quotationChanged()
{
    m_stale = true;
    m_pause.start();
}

void LetterCountTips::showLetterTexts()
{
    for (int k = 0; k < kLetterCount; ++k)
        describe(m_letterBoxes[k], letterText(k, m_tally.occurrences(k)));
}

void LetterCountTips::showSummary()
{
    // While the quotation waits to be counted, the coming count shows the
    // summary for the board as it then stands.
    if (m_stale)
        return;
    describe(m_resultBox, summaryText(m_empty, m_tally, m_board.board()));
}

} // namespace lexorne
