// SPDX-License-Identifier: GPL-3.0-or-later
// The road a pupil takes on a first morning: name, menu, an exercise, the
// archive and back, across the three subsystems built so far.
#include "storage/database.h"
#include "results/frisultati.h"
#include "storage/resultsstore.h"
#include "sequences/catalogue.h"
#include "sequences/sequencescreen.h"
#include "sequences/sequencescreens.h"
#include "shell/fmenu.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

class TestTypicalRoad : public QObject
{
    Q_OBJECT
private slots:
    void expositoryExerciseToTheArchiveAndBack()
    {
        test::TestContext t;
        t.registerScreens();

        t.dialogs.queueAnswer(QStringLiteral("  rossi   mario "));
        auto *menu = static_cast<FMenu *>(t.navigator->show(ScreenName::Menu));
        QCOMPARE(t.session.nomeStudente, QStringLiteral("ROSSI MARIO"));

        emit menu->command(QStringLiteral("LabFunzioni"))->clicked();
        auto *esp = t.navigator->screenAs<SequenceScreen>(ScreenName::Espositivo);
        QVERIFY(esp && esp->isVisible());
        QVERIFY(menu->isVisible()); // left beneath the exercise

        // Text 1: every box right but the last.
        const CatalogueText &text = expositoryCatalogue().texts.at(0);
        for (int i = 0; i < text.sequences.size(); ++i) {
            const QString answer = i + 1 < text.sequences.size() ? text.sequences[i].type : QStringLiteral("Definisce");
            esp->Label7_DragDrop(i, nullptr, answer);
        }
        esp->cmdrisult_Click();
        const int n = text.sequences.size();
        QCOMPARE(esp->counter(6)->text(), QString::number(n - 1));
        QCOMPARE(esp->counter(8)->text(), QString::number(n));
        QCOMPARE(esp->dropBox(n - 1)->backgroundColor(), QColor(255, 0, 0));

        esp->CmdArchivio_Click();
        QCOMPARE(t.session.formChiamante, QStringLiteral("Fespositivo"));
        auto *ris = t.navigator->screenAs<FRisultati>(ScreenName::Risultati);
        QVERIFY(ris && ris->isVisible());
        QVERIFY(!esp->isVisible());
        QCOMPARE(ris->cell(1, 1), QString::number(n - 1));
        QCOMPARE(ris->cell(1, 2), QString::number(n));
        QCOMPARE(ris->cell(1, 3), QString::number(100 * (n - 1) / n));
        QCOMPARE(ris->cell(1, 4), QStringLiteral("14/03/2026 10:30:00"));
        QCOMPARE(ris->cell(2, 1), QStringLiteral("0"));
        QVERIFY(t.dialogs.messages.isEmpty());

        ris->Labtorna_Click();
        QVERIFY(!ris->isVisible());
        QCOMPARE(t.navigator->screen(ScreenName::Espositivo), esp); // the same screen, as it was left
        QVERIFY(esp->isVisible());
        QCOMPARE(esp->dropBox(n - 1)->backgroundColor(), QColor(255, 0, 0));
        QVERIFY(!esp->checkButton()->isEnabled());

        // MENU' unloads the exercise: the next visit starts afresh.
        esp->CmdMenu_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!t.navigator->isLoaded(ScreenName::Espositivo));
        emit menu->command(QStringLiteral("LabFunzioni"))->clicked();
        esp = t.navigator->screenAs<SequenceScreen>(ScreenName::Espositivo);
        QCOMPARE(esp->counter(6)->text(), QStringLiteral("0"));

        // The menu's own archive label returns to the menu.
        menu->Labarchivio_Click();
        QCOMPARE(t.session.formChiamante, QStringLiteral("fmenù"));
        ris->Labtorna_Click();
        QVERIFY(menu->isVisible());
        QVERIFY(!ris->isVisible());
    }

    void guestsShareOneRowAcrossBothExercises()
    {
        test::TestContext t;
        t.registerScreens();
        t.dialogs.queueAnswer(QString());
        auto *menu = static_cast<FMenu *>(t.navigator->show(ScreenName::Menu));
        QCOMPARE(t.session.nomeStudente, QStringLiteral("Ospite"));

        for (const QString &name : {ScreenName::Espositivo, ScreenName::Sequenze}) {
            emit menu->command(name == ScreenName::Espositivo ? QStringLiteral("LabFunzioni") : QStringLiteral("Labtipo"))->clicked();
            auto *s = t.navigator->screenAs<SequenceScreen>(name);
            const CatalogueText &text = s->config().catalogue->texts.at(0);
            for (int i = 0; i < text.sequences.size(); ++i)
                s->Label7_DragDrop(i, nullptr, text.sequences[i].type);
            s->cmdrisult_Click();
        }
        QCOMPARE(allNames(*t.db), QStringList{QStringLiteral("Ospite")});
        const auto row = lookupPupil(*t.db, QStringLiteral("OSPITE"));
        QVERIFY(row);
        QCOMPARE(row->at(4).toInt(), 100);  // espositivo%
        QCOMPARE(row->at(28).toInt(), 100); // tiposequenze%
    }
};

QTEST_MAIN(TestTypicalRoad)
#include "tst_typicalroad.moc"
