// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessibility.h"

#include "ui/hoverlabel.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>

namespace lexorne {

namespace {

// A caption's text without its access-key markers ("&&" stays one "&").
QString withoutAccessKey(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&') {
            if (i + 1 == caption.size())
                break;
            ++i;
        }
        text.append(caption.at(i));
    }
    return text;
}

class CheckBoxAccessible : public QAccessibleWidget
{
public:
    explicit CheckBoxAccessible(QCheckBox *box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return withoutAccessKey(box()->text());
        if (t == QAccessible::Accelerator)
            return QKeySequence::mnemonic(box()->text()).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        switch (box()->checkState()) {
        case Qt::Checked:
            state.checked = true;
            break;
        case Qt::PartiallyChecked:
            // Greyed only: "checked" too would have it read out as ticked.
            state.checkStateMixed = true;
            break;
        case Qt::Unchecked:
            break;
        }
        state.pressed = box()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action != toggleAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // The same path as a click: the box's handlers store the change.
        if (widget()->isEnabled())
            box()->click();
    }

private:
    QCheckBox *box() const { return static_cast<QCheckBox *>(widget()); }
};

class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(LinkLabel *link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return link()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (widget()->isEnabled())
            link()->activate();
    }

private:
    LinkLabel *link() const { return static_cast<LinkLabel *>(widget()); }
};

// Qt's own description of a drop-down list on Linux names it by its current
// entry ("A/a"), leaving the label to a relation that these lists, labelled
// only by the sentence they stand in, do not have. This one takes the name
// the program gives, keeps the entry as the value, and otherwise describes
// the list as Qt does: the popup list as its one child, opened by "press".
class ComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            return box()->currentText();
        case QAccessible::Value:
            return box()->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    int childCount() const override { return box()->view() ? 1 : 0; }

    QAccessibleInterface *child(int index) const override
    {
        if (index != 0 || !box()->view())
            return nullptr;
        return QAccessible::queryAccessibleInterface(box()->view());
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && box()->view() && child->object() == box()->view() ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = box()->view() && box()->view()->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << showMenuAction() << pressAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (!widget()->isEnabled())
            return;
        if (box()->view() && box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }

private:
    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
};

// Asked with each class name of an object's ancestry, most derived first.
QAccessibleInterface *describe(const QString &className, QObject *object)
{
    if (className == QLatin1String("lexorne::LinkLabel")) {
        if (auto *link = qobject_cast<LinkLabel *>(object))
            return new LinkAccessible(link);
    }
    if (className == QLatin1String("QComboBox")) {
        // An editable list keeps Qt's description, which covers its line edit.
        auto *box = qobject_cast<QComboBox *>(object);
        if (box && !box->isEditable())
            return new ComboBoxAccessible(box);
    }
    if (className == QLatin1String("QCheckBox")) {
        if (auto *box = qobject_cast<QCheckBox *>(object))
            return new CheckBoxAccessible(box);
    }
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(describe);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace lexorne
