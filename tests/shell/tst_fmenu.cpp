// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/database.h"
#include "storage/datafolder.h"
#include "storage/resultsstore.h"
#include "shell/activities.h"
#include "shell/chiedinome.h"
#include "shell/fmenu.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QListWidget>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

namespace {

// Stand-in for an activity screen, so that menu tests open no real exercise.
class StubScreen : public Screen
{
public:
    explicit StubScreen(const QString &name) : Screen(name, QSize(11880, 8490), QColor(128, 128, 128), name) {}
};

// The program's registry, each screen a stand-in.
QVector<Activity> stubRows()
{
    QVector<Activity> rows = activities();
    for (Activity &a : rows) {
        const QString screen = a.screen;
        a.create = [screen](const ScreenEnv &) { return new StubScreen(screen); };
    }
    return rows;
}

struct MenuFixture {
    test::TestContext t;
    FMenu *menu = nullptr;
    explicit MenuFixture(const QString &answer = QStringLiteral("rossi mario"),
                         const QVector<Activity> &rows = stubRows())
    {
        t.navigator->registerScreen(ScreenName::Menu, [this, rows]() { return new FMenu(*t.host, rows); });
        registerActivities(*t.navigator, t.env(), rows);
        t.dialogs.queueAnswer(answer);
        menu = t.navigator->screenAs<FMenu>(ScreenName::Menu);
        menu = static_cast<FMenu *>(t.navigator->show(ScreenName::Menu));
    }
    void addPupil(const QString &name)
    {
        const QString saved = t.session.nomeStudente;
        t.session.nomeStudente = name;
        QVERIFY(!saveGroup(t, FieldGroup::Poesia, 1, 2, 50).isError());
        t.session.nomeStudente = saved;
    }
    QStringList listItems() const
    {
        QStringList out;
        for (int i = 0; i < menu->list1()->count(); ++i)
            out << menu->list1()->item(i)->text();
        return out;
    }
};

} // namespace

class TestFMenu : public QObject
{
    Q_OBJECT
private slots:
    void loadAsksTheNameOnce()
    {
        MenuFixture f(QStringLiteral("  verdi   luca "));
        QCOMPARE(f.t.dialogs.prompts, QStringList{promptNome()});
        QCOMPARE(f.t.session.nomeStudente, QStringLiteral("VERDI LUCA"));
        QVERIFY(f.menu->isVisible());
        QVERIFY(f.menu->list1()->isHidden());
        QCOMPARE(f.menu->windowTitle(), QStringLiteral("Scegli"));
        QCOMPARE(f.menu->backgroundColor(), QColor(64, 0, 0));
    }

    void emptyAnswerIsTheGuest()
    {
        MenuFixture f{QString()};
        QCOMPARE(f.t.session.nomeStudente, QStringLiteral("Ospite"));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<bool>("bold");
        QTest::newRow("Labnarrati") << "Labnarrati" << "Testi narrativi" << QColor(255, 255, 192) << QRect(9600, 1320, 2295, 375) << true;
        QTest::newRow("Labsequenze") << "Labsequenze" << "Individuare sequenze..." << QColor(255, 255, 192) << QRect(9240, 1800, 2295, 375) << true;
        QTest::newRow("Labtipo") << "Labtipo" << "Individuare il tipo di sequenze" << QColor(255, 255, 192) << QRect(9240, 2400, 2655, 375) << true;
        QTest::newRow("Labgenette") << "Labgenette" << QString::fromUtf8("Individuare le strutture narrative (Génette)") << QColor(255, 255, 192) << QRect(9240, 2880, 2655, 375) << true;
        QTest::newRow("Labespositivo") << "Labespositivo" << "Testi espositivi" << QColor(255, 224, 192) << QRect(9720, 3840, 2175, 615) << true;
        QTest::newRow("LabFunzioni") << "LabFunzioni" << "Le funzioni comunicatice" << QColor(255, 224, 192) << QRect(9360, 4320, 2415, 375) << true;
        QTest::newRow("Labpoesia") << "Labpoesia" << "Testi poetici" << QColor(255, 192, 192) << QRect(9480, 5040, 2415, 615) << true;
        QTest::newRow("LabBASI") << "LabBASI" << "Per cominciare" << QColor(255, 192, 192) << QRect(9240, 5640, 2535, 375) << true;
        QTest::newRow("LabFigure") << "LabFigure" << "Le figure retoriche" << QColor(255, 192, 192) << QRect(9240, 6240, 2535, 375) << true;
        QTest::newRow("Labarchivio") << "Labarchivio" << "Archivio dei risultatti" << QColor(192, 192, 255) << QRect(7800, 7680, 1815, 735) << true;
        QTest::newRow("Labesco") << "Labesco" << "Esco dal programma" << QColor(192, 192, 255) << QRect(9840, 7680, 1935, 735) << true;
        QTest::newRow("LabNOMI") << "LabNOMI" << "Elenco dei nomi presenti nell'archivio dei risultati" << QColor(255, 255, 255) << QRect(6360, 7800, 1215, 855) << false;
        QTest::newRow("Label1") << "Label1" << "Come si smonta un'opera..." << QColor(64, 0, 0) << QRect(240, 7800, 5895, 615) << false;
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QColor, color);
        QFETCH(QRect, twips);
        QFETCH(bool, bold);
        MenuFixture f;
        auto *l = f.menu->findChild<StyledLabel *>(name);
        QVERIFY2(l, qPrintable(name));
        QCOMPARE(l->text(), caption);
        QCOMPARE(l->textColor(), color);
        QCOMPARE(f.menu->designGeometry(l), twips);
        QCOMPARE(l->font().bold(), bold);
    }

    void listBoxOverTheActivities()
    {
        MenuFixture f;
        QCOMPARE(f.menu->designGeometry(f.menu->list1()), QRect(8640, 360, 3375, 6465));
        QCOMPARE(f.menu->list1()->objectName(), QStringLiteral("List1"));
    }

    void hoverTurnsRedAndTheBareFormRestsAllEight()
    {
        MenuFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(f.menu));
        CommandLabel *fig = f.menu->command(QStringLiteral("LabFigure"));
        CommandLabel *esco = f.menu->command(QStringLiteral("Labesco"));
        QCOMPARE(f.menu->commandLabels().size(), 8);
        QTest::mouseMove(fig, QPoint(3, 3));
        QTRY_COMPARE(fig->textColor(), QColor(255, 0, 0));
        QTest::mouseMove(esco, QPoint(3, 3));
        QTRY_COMPARE(esco->textColor(), QColor(255, 0, 0));
        QCOMPARE(fig->textColor(), QColor(255, 0, 0)); // stays red until the bare form
        QTest::mouseMove(f.menu, QPoint(2, f.menu->height() - 2));
        QTRY_COMPARE(fig->textColor(), QColor(255, 192, 192));
        QCOMPARE(esco->textColor(), QColor(192, 192, 255));
        for (CommandLabel *l : f.menu->commandLabels())
            QCOMPARE(l->textColor(), l->restingColor());
    }

    void namesListTwoStates()
    {
        MenuFixture f;
        f.addPupil(QStringLiteral("ROSSI MARIO"));
        f.addPupil(QStringLiteral("Ospite"));
        f.addPupil(QStringLiteral("BIANCHI ANNA"));
        f.menu->LabNOMI_Click();
        QVERIFY(f.menu->list1()->isVisible());
        QVERIFY(f.menu->labNomi()->isHidden());
        QCOMPARE(f.listItems(), (QStringList{FMenu::primaRigaIniziale(), "ROSSI MARIO", "Ospite", "BIANCHI ANNA"}));

        f.menu->List1_Click(2); // a name: nothing happens
        QVERIFY(f.menu->list1()->isVisible());

        f.menu->List1_Click(0);
        QVERIFY(f.menu->list1()->isHidden());
        QVERIFY(f.menu->labNomi()->isVisible());

        f.menu->LabNOMI_Click();
        QCOMPARE(f.listItems(), (QStringList{FMenu::primaRigaSuccessiva(), "ROSSI MARIO", "Ospite", "BIANCHI ANNA"}));
    }

    void namesListOfAnEmptyArchiveHasTheFirstRowAlone()
    {
        MenuFixture f;
        f.menu->LabNOMI_Click();
        QCOMPARE(f.listItems(), QStringList{FMenu::primaRigaIniziale()});
        QVERIFY(f.t.dialogs.messages.isEmpty());
    }

    // The menu labels and the screens they open, as the registry of a whole
    // program has them.
    void activityLabels_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("menuHides");
        QTest::newRow("Labsequenze") << "Labsequenze" << "FtrovaSEQ" << true;
        QTest::newRow("Labtipo") << "Labtipo" << "Fsequenze" << false;
        QTest::newRow("Labgenette") << "Labgenette" << "FGenette" << true;
        QTest::newRow("LabFunzioni") << "LabFunzioni" << "Fespositivo" << false;
        QTest::newRow("LabBASI") << "LabBASI" << "Fpoesia1" << false;
        QTest::newRow("LabFigure") << "LabFigure" << "FMetafore" << false;
    }
    void activityLabels()
    {
        QFETCH(QString, label);
        QFETCH(QString, screen);
        QFETCH(bool, menuHides);
        {
            // The menu's labels come from the registry: no row, no label.
            MenuFixture f(QStringLiteral("rossi mario"), QVector<Activity>{});
            QVERIFY(!f.menu->command(label));
        }
        // The program's own row, with a stand-in screen: the row decides what
        // opens and whether the menu hides.
        const Activity *real = activityForMenuLabel(activities(), label);
        QVERIFY(real);
        QCOMPARE(real->screen, screen);
        QCOMPARE(real->menu == MenuAfterOpening::Hides, menuHides);
        QVERIFY(real->create);
        Activity row = *real;
        row.create = [screen](const ScreenEnv &) { return new StubScreen(screen); };
        MenuFixture f(QStringLiteral("rossi mario"), {row});
        emit f.menu->command(label)->clicked();
        QVERIFY(f.t.navigator->isLoaded(screen));
        QVERIFY(f.t.navigator->screen(screen)->isVisible());
        QCOMPARE(f.menu->isVisible(), !menuHides);
    }

    void registryHasOneRowPerScreen()
    {
        QStringList screens;
        for (const Activity &a : activities()) {
            QVERIFY2(!screens.contains(a.screen), qPrintable(a.screen));
            screens << a.screen;
        }
        // The two sequence screens are always part of the program.
        QVERIFY(screens.contains(ScreenName::Espositivo));
        QVERIFY(screens.contains(ScreenName::Sequenze));
    }

    void archiveAsksForAMissingNameFirst()
    {
        MenuFixture f(QStringLiteral("   ")); // spaces only: the guest
        QCOMPARE(f.t.session.nomeStudente, QStringLiteral("Ospite"));
        f.t.session.nomeStudente.clear();
        f.t.navigator->registerScreen(ScreenName::Risultati, []() { return new StubScreen(ScreenName::Risultati); });
        f.t.dialogs.queueAnswer(QStringLiteral("\t\u00a0 "));
        f.menu->Labarchivio_Click();
        QCOMPARE(f.t.dialogs.prompts.size(), 2);
        QCOMPARE(f.t.session.nomeStudente, QStringLiteral("Ospite"));
        QVERIFY(f.t.navigator->isLoaded(ScreenName::Risultati));
    }

    // The switch is the pupil's: kept in the archive's file under the name,
    // found again after the program starts anew, another pupil's own.
    void legibleTextIsRememberedPerPupil()
    {
        MenuFixture f;
        QVERIFY(!f.menu->legibleSwitch()->isChecked());
        f.menu->legibleSwitch()->click();
        QVERIFY(f.t.session.testoLeggibile);

        f.t.host->setDatabase(nullptr);
        f.t.db->close();
        DbError e;
        f.t.db = openResultsDatabase(f.t.base(), &e);
        QVERIFY2(f.t.db, qPrintable(e.message));
        f.t.host->setDatabase(f.t.db.get());
        const std::pair<QString, bool> pupils[] = {
            {QStringLiteral("bianchi anna"), false}, {QStringLiteral("Rossi  Mario"), true}, {QString(), false}};
        for (const auto &[typed, legible] : pupils) {
            f.t.dialogs.queueAnswer(typed);
            f.t.host->askName();
            QCOMPARE(f.t.session.testoLeggibile, legible);
            f.menu->hide();
            f.menu->show();
            QCOMPARE(f.menu->legibleSwitch()->isChecked(), legible);
        }
        QVERIFY(f.t.dialogs.messages.isEmpty());
    }

    // The voice is reached in the background a moment after the menu shows,
    // so that a pupil's first "Leggi" does not wait for the speech server;
    // not while the program starts, and not for a menu already left.
    void menuReachesTheVoiceAMomentAfterShowing()
    {
        MenuFixture f;
        f.menu->hide();
        f.t.ticks.advance(FMenu::kWarmVoiceMs);
        QCOMPARE(f.t.speech.state(), Speech::State::Idle);
        f.menu->show();
        f.t.ticks.advance(FMenu::kWarmVoiceMs - 1);
        QCOMPARE(f.t.speech.state(), Speech::State::Idle);
        f.t.ticks.advance(1);
        QCOMPARE(f.t.speech.state(), Speech::State::Ready);
    }

    void exitEndsAtOnce()
    {
        MenuFixture f;
        f.menu->Labesco_Click();
        QVERIFY(f.t.ended);
        QVERIFY(f.t.dialogs.messages.isEmpty());
    }

    void closingTheWindowEndsTheProgram()
    {
        MenuFixture f;
        f.menu->close();
        QVERIFY(f.t.ended);
    }

    void fitsTheWindowWithoutClipping_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::newRow("1280x1024") << QSize(1280, 1024);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }
    void fitsTheWindowWithoutClipping()
    {
        QFETCH(QSize, window);
        MenuFixture f;
        f.menu->resize(window);
        for (QWidget *w : f.menu->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY2(f.menu->rect().contains(w->geometry()), qPrintable(w->objectName()));
            auto *l = qobject_cast<QLabel *>(w);
            if (!l || l->text().isEmpty())
                continue;
            // The wrapped caption must fit its label's height.
            const int needed = l->heightForWidth(l->width());
            QVERIFY2(needed <= l->height() + 1,
                     qPrintable(QStringLiteral("%1 needs %2 px, has %3").arg(l->objectName()).arg(needed).arg(l->height())));
        }
    }
};

QTEST_MAIN(TestFMenu)
#include "tst_fmenu.moc"
