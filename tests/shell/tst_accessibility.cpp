// SPDX-License-Identifier: GPL-3.0-or-later
// Every screen as a screen reader finds it: each control it can reach is
// named by what it is (never by its design name), each label that can be
// clicked can be pressed, each counter says its number; and an answer is
// spoken while the keyboard stays in the exercise.
#include "kit/accessibility.h"
#include "narrative/genettescreen.h"
#include "poetry/metaforescreen.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QAccessible>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QtTest>

using namespace morvello;

namespace {

// What a screen reader would trip over on one control; empty when nothing.
QString faultOf(QWidget *w)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    if (!a)
        return QStringLiteral("no interface");
    const QString name = a->text(QAccessible::Name).trimmed();
    const bool reachable = (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled();
    if (reachable && (name.isEmpty() || name == w->objectName()))
        return QStringLiteral("named \"%1\"").arg(name);
    if (reachable && (qobject_cast<ClickLabel *>(w) || qobject_cast<DragLabel *>(w))) {
        if (a->role() != QAccessible::Button)
            return QStringLiteral("clickable but not a button");
        if (!a->actionInterface()
            || !a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()))
            return QStringLiteral("clickable without a press action");
    }
    if (auto *l = qobject_cast<QLabel *>(w)) {
        static const QRegularExpression number(QStringLiteral("^\\s*\\d+([.,]\\d+)?\\s*%?\\s*$"));
        if (number.match(l->text()).hasMatch()
            && (!name.contains(l->text().trimmed()) || name == l->text().trimmed()))
            return QStringLiteral("counter showing %1 named \"%2\"").arg(l->text(), name);
    }
    return QString();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void everyScreen_data()
    {
        QTest::addColumn<QString>("screen");
        for (const QString &name : {ScreenName::Menu, ScreenName::Espositivo, ScreenName::Sequenze,
                                    ScreenName::TrovaSeq, ScreenName::Genette, ScreenName::Poesia1,
                                    ScreenName::Poesia2, ScreenName::Metafore, ScreenName::Risultati})
            QTest::newRow(qPrintable(name)) << name;
    }

    void everyScreen()
    {
        QFETCH(QString, screen);
        test::TestContext t;
        t.copyShippedData();
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        t.registerScreens();
        Screen *s = t.navigator->load(screen);
        QVERIFY(s);
        s->resize(1280, 1024);
        s->show();
        QCoreApplication::processEvents();

        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(s);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), s->windowTitle());

        QStringList faults;
        for (QWidget *w : s->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(s))
                continue;
            const QString fault = faultOf(w);
            if (!fault.isEmpty())
                faults << w->objectName() + QStringLiteral(": ") + fault;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void resultsGridIsATable()
    {
        test::TestContext t;
        t.registerScreens();
        Screen *s = t.navigator->load(ScreenName::Risultati);
        auto *grid = s->findChild<QTableWidget *>(QStringLiteral("Grid1"));
        QVERIFY(grid);
        QVERIFY(grid->focusPolicy() & Qt::TabFocus);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(grid);
        QCOMPARE(a->role(), QAccessible::Table);
        QVERIFY(!a->text(QAccessible::Name).isEmpty());
        QAccessibleTableInterface *table = a->tableInterface();
        QVERIFY(table);
        for (int c = 0; c < grid->columnCount(); ++c)
            QCOMPARE(table->columnDescription(c), grid->item(0, c)->text());
    }

    // An answer is spoken, and the next key still works in the exercise.
    void answerSpokenFocusStays_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("definition"); // FMetafore: a definition rather than a figure
        QTest::newRow("FGenette wrong") << ScreenName::Genette << false << false;
        QTest::newRow("FGenette right") << ScreenName::Genette << true << false;
        QTest::newRow("FMetafore figure wrong") << ScreenName::Metafore << false << false;
        QTest::newRow("FMetafore definition wrong") << ScreenName::Metafore << false << true;
    }

    void answerSpokenFocusStays()
    {
        QFETCH(QString, screen);
        QFETCH(bool, right);
        QFETCH(bool, definition);
        test::TestContext t;
        t.copyShippedData();
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        t.registerScreens();
        auto *s = qobject_cast<ActivityScreen *>(t.navigator->load(screen));
        QVERIFY(s);
        s->show();
        s->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s));

        QWidget *option = nullptr;
        QString expected = QStringLiteral("Giusto");
        if (auto *g = qobject_cast<GenetteScreen *>(s)) {
            const int good = g->exercise().opzioniGiuste(g->exercise().nrEsercizio());
            option = g->option(right ? good : (good == 0 ? 1 : 0));
            if (!right)
                expected = QStringLiteral("Sbagliato, la risposta era: ") + g->option(good)->text();
        } else if (auto *m = qobject_cast<MetaforeScreen *>(s); m && definition) {
            const int good = m->quiz().definizioneGiusta();
            option = m->definition(right ? good : (good + 1) % FigureCount);
            if (!right)
                expected = QStringLiteral("Sbagliato, la risposta era: ") + definitionTexts().at(good);
        } else if (auto *m = qobject_cast<MetaforeScreen *>(s)) {
            const int good = figureCaptions().indexOf(m->quiz().figuraGiusta());
            option = m->option(right ? good : (good + 1) % FigureCount);
            if (!right)
                expected = QStringLiteral("Sbagliato, la risposta era: ") + m->quiz().figuraGiusta();
        }
        QVERIFY(option);
        option->setFocus(Qt::TabFocusReason);
        QTest::keyClick(option, Qt::Key_Space);

        QCOMPARE(s->liveRegion()->lastAnnouncement(), expected);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QVERIFY2(s->isAncestorOf(focus), qPrintable(focus->objectName()));
        QVERIFY2(focus->isEnabled(), qPrintable(focus->objectName()));
        QVERIFY2(focus != s->exitButton(Exit::Menu) && focus != s->exitButton(Exit::Quit),
                 qPrintable(focus->objectName()));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
