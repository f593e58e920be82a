// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The two windows as a screen reader sees them: every control the user can
// focus is found in the accessibility tree with a French name that says what
// it does, the right role and the right state.
#include "ui/frmAbout.h"

#include "tests/support/mainwindow.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include <memory>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

struct Node
{
    QString objectName;
    QAccessible::Role role;
    QAccessible::State state;
    QString name;
    QAccessibleInterface *iface;
};

// Every node under `root`, depth first, as an assistive technology walks it.
void walk(QAccessibleInterface *root, QList<Node> &nodes, int depth = 0)
{
    QVERIFY2(depth < 32, "the tree loops");
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        QVERIFY(child && child->isValid());
        QCOMPARE(child->parent()->object(), root->object());
        const QObject *object = child->object();
        nodes.append({object ? object->objectName() : QString(), child->role(), child->state(),
                      child->text(QAccessible::Name), child});
        walk(child, nodes, depth + 1);
    }
}

QList<Node> tree(QWidget *window)
{
    QList<Node> nodes;
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window);
    if (root)
        walk(root, nodes);
    return nodes;
}

const Node *find(const QList<Node> &nodes, const QString &objectName)
{
    for (const Node &node : nodes) {
        if (node.objectName == objectName)
            return &node;
    }
    return nullptr;
}

enum Flag : int
{
    None = 0,
    Checked = 1,
    Mixed = 2,
    Disabled = 4,
    ReadOnly = 8,
};

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private:
    testsupport::MainWindow m_fixture;
    QStringList m_opened;

    frmMain &openMain()
    {
        m_fixture.open();
        m_fixture.window().show();
        return m_fixture.window();
    }
    QCheckBox *letter(int k) const { return m_fixture.letter(k); }
    AboutOptions aboutOptions()
    {
        AboutOptions options;
        options.openUrl = [this](const QUrl &url) {
            m_opened << url.toString();
            return true;
        };
        return options;
    }

private slots:
    void init()
    {
        QVERIFY(m_fixture.begin());
        m_opened.clear();
    }
    void cleanup() { m_fixture.end(); }

    void controls_data()
    {
        QTest::addColumn<bool>("about");      // the about window, else the main one
        QTest::addColumn<QString>("control"); // objectName
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("focusable");
        QTest::addColumn<int>("flags");
        using R = QAccessible;
        const auto row = [](bool about, const char *control, QAccessible::Role role,
                            const QString &name, bool focusable, int flags) {
            QTest::addRow("%s", control)
                << about << QString::fromLatin1(control) << role << name << focusable << flags;
        };
        row(false, "cmdExit", R::Button, u"Quitter"_s, true, None);
        row(false, "cmdAbout", R::Button, u"À propos de..."_s, true, None);
        row(false, "cmdGenerate", R::Button, u"On y va !"_s, true, None);
        row(false, "cmdReset", R::Button, u"Reset"_s, true, None);
        row(false, "txtRendu", R::EditableText, u"Résultat"_s, true, ReadOnly);
        row(false, "txtOrigin", R::EditableText, u"Citation"_s, true, None);
        row(false, "chkLetter0", R::CheckBox, u"A"_s, true, Checked);
        row(false, "chkLetter4", R::CheckBox, u"E"_s, true, Mixed);
        row(false, "chkLetter25", R::CheckBox, u"Z"_s, true, None);
        row(false, "chkClip", R::CheckBox, u"Copier dans le presse-papier"_s, true, Checked);
        row(false, "chkBBCode", R::CheckBox, u"Entourer la lettre"_s, true, None);
        row(false, "cboBBCode1", R::ComboBox, u"Lettre à entourer"_s, true, Disabled);
        row(false, "cboBBCode2", R::ComboBox, u"Couleur"_s, true, Disabled);
        row(false, "cmdBBCode", R::Button, u"Go !"_s, true, Disabled);
        row(false, "chkRecap", R::CheckBox, u"Log des lettres demandées"_s, true, Checked);
        row(false, "chkAbsent", R::CheckBox, u"Lettres absentes"_s, true, None);
        row(false, "cmdPartie", R::CheckBox, u"Panneau de la partie"_s, true, None);
        row(true, "cmdOK", R::Button, u"OK"_s, true, None);
        row(true, "cmdMail", R::Button, u"Envoyer un e-m@il au programmeur"_s, true, None);
        row(true, "lblWeb", R::Link, u"Page web de l'auteur, www.example.org/lexorne"_s, true,
            None);
        row(true, "picIcon", R::Graphic, u"Icône de Lexorne"_s, false, None);
        row(true, "Picture1", R::Graphic, u"Logo de Lexorne"_s, false, None);
    }
    // A ticked A and a greyed E on the board, the rest as at start.
    void controls()
    {
        QFETCH(bool, about);
        QFETCH(QString, control);
        QFETCH(int, flags);
        QFETCH(bool, focusable);
        openMain();
        letter(0)->setChecked(true);
        letter(4)->setCheckState(Qt::PartiallyChecked);
        frmAbout aboutWindow(&m_fixture.window(), aboutOptions());
        aboutWindow.show();
        QWidget *window = about ? static_cast<QWidget *>(&aboutWindow) : &m_fixture.window();

        const QList<Node> nodes = tree(window);
        const Node *node = find(nodes, control);
        QVERIFY2(node, "not in the tree");
        QTEST(node->role, "role");
        QTEST(node->name, "name");
        QCOMPARE(bool(node->state.focusable), focusable);
        QCOMPARE(bool(node->state.checked), bool(flags & Checked));
        QCOMPARE(bool(node->state.checkStateMixed), bool(flags & Mixed));
        QCOMPARE(bool(node->state.disabled), bool(flags & Disabled));
        if (node->role == QAccessible::EditableText)
            QCOMPARE(bool(node->state.readOnly), bool(flags & ReadOnly));
        QVERIFY(!node->state.invisible);
    }

    void everyFocusableControlIsNamed_data()
    {
        QTest::addColumn<bool>("about");
        QTest::addColumn<int>("count"); // focusable controls, list entries aside
        QTest::newRow("main window") << false << 4 + 2 + 26 + 7 + 1;
        QTest::newRow("about window") << true << 3;
    }
    // Whatever is added later gets a name too, or this fails.
    void everyFocusableControlIsNamed()
    {
        QFETCH(bool, about);
        openMain();
        frmAbout aboutWindow(&m_fixture.window(), aboutOptions());
        aboutWindow.show();
        QWidget *window = about ? static_cast<QWidget *>(&aboutWindow) : &m_fixture.window();
        int focusable = 0;
        for (const Node &node : tree(window)) {
            if (!node.state.focusable || node.state.invisible)
                continue;
            // Controls, not the entries inside the lists.
            if (node.iface->object() && node.iface->object()->isWidgetType())
                ++focusable;
            QVERIFY2(!node.name.trimmed().isEmpty(), qPrintable(node.objectName));
            QVERIFY2(node.role != QAccessible::Client && node.role != QAccessible::NoRole,
                     qPrintable(node.objectName));
        }
        QTEST(focusable, "count");
    }

    void letterStates_data()
    {
        QTest::addColumn<Qt::CheckState>("state");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("mixed");
        QTest::newRow("unticked") << Qt::Unchecked << false << false;
        QTest::newRow("ticked") << Qt::Checked << true << false;
        // Only the third state: "checked" as well would be read out as ticked.
        QTest::newRow("greyed") << Qt::PartiallyChecked << false << true;
    }
    // The state follows the box, and the screen reader's toggle acts as a
    // click does: a greyed box becomes ticked, and the store learns it.
    void letterStates()
    {
        QFETCH(Qt::CheckState, state);
        openMain();
        letter(7)->setCheckState(state);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(letter(7));
        QVERIFY(iface);
        QTEST(bool(iface->state().checked), "checked");
        QTEST(bool(iface->state().checkStateMixed), "mixed");
        QVERIFY(iface->state().checkable);

        QAccessibleActionInterface *actions = iface->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        const Qt::CheckState after = state == Qt::Checked ? Qt::Unchecked : Qt::Checked;
        QCOMPARE(letter(7)->checkState(), after);
        QCOMPARE(iface->state().checked, after == Qt::Checked);
        QVERIFY(!iface->state().checkStateMixed);
        QCOMPARE(m_fixture.stored(u"Alpha/7"_s).toString(), after == Qt::Checked ? u"1"_s : u"0"_s);
    }

    // A screen reader's "press" on the web link opens it as a click does.
    void linkPress()
    {
        openMain();
        frmAbout about(&m_fixture.window(), aboutOptions());
        about.show();
        auto *link = testsupport::widget(&about, u"lblWeb"_s);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(link);
        QVERIFY(iface && iface->actionInterface());
        QVERIFY(iface->state().linked);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m_opened, QStringList{QString::fromUtf8(kAuthorWebUrl)});
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
