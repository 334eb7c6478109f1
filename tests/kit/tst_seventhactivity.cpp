// SPDX-License-Identifier: GPL-3.0-or-later
// A seventh activity added the way the kit promises: a registry row, a logic
// class speaking the contract, a screen and its content. The program takes it
// from the row alone: its menu label, its screen, its saves, its exits and
// its content checks.
#include "shell/fmenu.h"
#include "shell/screennames.h"
#include "support_verofalso.h"
#include "testsupport.h"

#include <QPushButton>
#include <QtTest>

using namespace morvello;

namespace {

struct Fixture {
    test::TestContext t;
    QVector<Activity> rows = QVector<Activity>(activities()) << verofalso::row();
    explicit Fixture(bool withContent = true)
    {
        if (withContent)
            QFile::copy(test::dataPath(QStringLiteral("verofalso/verofalso.txt")),
                        t.dataDir() + QStringLiteral("/verofalso.txt"));
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        t.host->registerScreens(rows);
    }
    verofalso::Screen *openFromMenu()
    {
        auto *menu = t.navigator->screenAs<FMenu>(ScreenName::Menu);
        if (!menu)
            menu = static_cast<FMenu *>(t.navigator->show(ScreenName::Menu));
        CommandLabel *label = menu->command(QStringLiteral("LabVeroFalso"));
        if (!label)
            return nullptr;
        emit label->clicked();
        return t.navigator->screenAs<verofalso::Screen>(verofalso::ScreenName);
    }
    QVector<QVariant> figure()
    {
        const auto row = test::lookupPupil(*t.db, t.session.nomeStudente);
        return row ? row->mid(int(FieldGroup::Figure), 3) : QVector<QVariant>();
    }
};

} // namespace

class TestSeventhActivity : public QObject
{
    Q_OBJECT
private slots:
    void openedFromItsMenuLabelJudgedAndSaved()
    {
        Fixture f;
        verofalso::Screen *s = f.openFromMenu();
        QVERIFY(s);
        QVERIFY(s->isVisible());
        QVERIFY(f.t.dialogs.messages.isEmpty());

        // The first statement is true: right, saved at once, a second press ignored.
        s->findChild<QPushButton *>(QStringLiteral("CmdVero"))->click();
        QCOMPARE(s->picture()->shows(), PictureSlot::Shows::Right);
        QCOMPARE(f.figure(), (QVector<QVariant>{1, 1, 100}));
        s->answer(false);
        QCOMPARE(f.figure(), (QVector<QVariant>{1, 1, 100}));

        // The second is false: answered "vero", it is wrong.
        s->next();
        s->answer(true);
        QCOMPARE(s->picture()->shows(), PictureSlot::Shows::Wrong);
        QCOMPARE(f.figure(), (QVector<QVariant>{1, 2, 50}));
        QCOMPARE(s->counterCaption(), QStringLiteral("Giuste 1 su 2"));
        const QString shots = qEnvironmentVariable("MORVELLO_SHOTS_DIR");
        if (!shots.isEmpty()) {
            s->resize(1280, 1024);
            s->grab().save(shots + QStringLiteral("/FVeroFalso-1280x1024.png"));
            f.t.navigator->screen(ScreenName::Menu)->resize(1280, 1024);
            f.t.navigator->screen(ScreenName::Menu)->grab().save(shots + QStringLiteral("/menu-seventh-1280x1024.png"));
        }

        // Its archive exit comes back to it, as every activity's does.
        s->exitToArchive();
        QCOMPARE(f.t.session.formChiamante, verofalso::ScreenName);
        f.t.host->showCaller(f.t.session.formChiamante);
        QVERIFY(s->isVisible());
    }

    void itsContentIsCheckedFromItsRow_data()
    {
        QTest::addColumn<bool>("withContent");
        QTest::addColumn<int>("problems");
        QTest::newRow("content in place") << true << 0;
        QTest::newRow("content missing") << false << 1;
    }
    void itsContentIsCheckedFromItsRow()
    {
        QFETCH(bool, withContent);
        QFETCH(int, problems);
        Fixture f(withContent);
        ContentCheckRegistry registry;
        addContentChecks(registry, {verofalso::row()});
        QVERIFY(registry.activities().contains(QStringLiteral("Vero o falso")));
        CheckReport report(f.t.base());
        registry.run(report);
        int own = 0;
        for (const CheckProblem &p : report.problems())
            own += p.file == verofalso::ContentFile ? 1 : 0;
        QCOMPARE(own, problems);
        if (!withContent) {
            // The screen still opens and tells the pupil once.
            QVERIFY(f.openFromMenu());
            QCOMPARE(f.t.dialogs.messages.size(), 1);
        }
    }
};

QTEST_MAIN(TestSeventhActivity)
#include "tst_seventhactivity.moc"
