// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/serverconfig.h"
#include "storage/serverlink.h"
#include "results/frisultati.h"

#include "storage/database.h"
#include "shell/morvelloapp.h"
#include "kit/navigator.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

using SavedValues = QMap<int, QVariant>;
Q_DECLARE_METATYPE(SavedValues)

namespace {

// Stands in for the menu and the activity screens the results screen returns to.
class PlainScreen : public Screen
{
public:
    explicit PlainScreen(const QString &name) : Screen(name, QSize(12000, 9000), QColor(64, 0, 0), name)
    {
    }
};

const QStringList kCallers = {QStringLiteral("fmenù"),     QStringLiteral("Fespositivo"), QStringLiteral("Fsequenze"),
                              QStringLiteral("Fpoesia1"),  QStringLiteral("FMetafore"),   QStringLiteral("FtrovaSEQ"),
                              QStringLiteral("FGenette")};

struct Fixture {
    test::TestContext t;
    Fixture()
    {
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        for (const QString &name : kCallers)
            t.navigator->registerScreen(name, [name]() -> Screen * { return new PlainScreen(name); });
        t.host->registerResultsScreen();
    }
    FRisultati *screen() { return t.navigator->screenAs<FRisultati>(ScreenName::Risultati); }
    FRisultati *open()
    {
        t.host->openArchiveFromMenu();
        return screen();
    }
};

// A lab server named in the configuration, with nothing listening where it
// is said to be.
ServerConfig nobodyListening(test::TestContext &t)
{
    ServerConfig c;
    c.host = t.base() + QStringLiteral("/nessuno");
    c.database = QStringLiteral("laboratorio");
    return c;
}

QStringList rowCells(FRisultati *s, int r)
{
    return {s->cell(r, 1), s->cell(r, 2), s->cell(r, 3), s->cell(r, 4)};
}

void moveOver(QWidget *w, const QPoint &pos)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestFRisultati : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The program's fonts; and a machine that speaks English: the grid
        // still writes dates the Italian way.
        setupApplication(*qApp);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void layoutOfTheGrid()
    {
        Fixture f;
        FRisultati *s = f.open();
        QVERIFY(s);
        QCOMPARE(s->windowTitle(), QStringLiteral("Risultati conseguiti nelle esercitazioni"));
        QTableWidget *g = s->grid();
        QCOMPARE(g->objectName(), QStringLiteral("Grid1"));
        QCOMPARE(g->rowCount(), 9);
        QCOMPARE(g->columnCount(), 5);
        QVERIFY(g->horizontalHeader()->isHidden());
        QVERIFY(g->verticalHeader()->isHidden());
        QCOMPARE(g->editTriggers(), QAbstractItemView::NoEditTriggers);
        const QStringList top = {QStringLiteral("Argomento"), QStringLiteral("Giusti"), QStringLiteral("    Su"),
                                 QStringLiteral("    %"), QStringLiteral("           Quando")};
        for (int c = 0; c < 5; ++c)
            QCOMPARE(s->cell(0, c), top[c]);
        const QStringList left = {QStringLiteral("Testi espositivi (tipo sequenze)"),
                                  QStringLiteral("Poesia: introduzione"),
                                  QStringLiteral("Figure retoriche: riconoscimento"),
                                  QStringLiteral("Figure retoriche: definizioni"),
                                  QStringLiteral("Testi narrativi (trovare sequenze)"),
                                  QStringLiteral("Aiuti cercati nell'individuare seq."),
                                  QStringLiteral("Testi narrativi (tipo sequenze)"),
                                  QStringLiteral("Testi narrativi (concetti Génette)")};
        for (int r = 1; r <= 8; ++r)
            QCOMPARE(s->cell(r, 0), left[r - 1]);

        for (const QSize &size : {QSize(1280, 1024), QSize(1920, 1080)}) {
            s->resize(size);
            const int widths[5] = {3500, 700, 700, 700, 3000};
            for (int c = 0; c < 5; ++c)
                QCOMPARE(g->columnWidth(c), s->px(widths[c]));
            // All nine rows inside the grid: nothing scrolled out of sight.
            int total = 0;
            for (int r = 0; r < 9; ++r)
                total += g->rowHeight(r);
            QVERIFY(total <= g->viewport()->height());
            // The design's 12 points, narrowed only as far as the captions need.
            QVERIFY(g->font().pixelSize() <= qRound(16 * s->scale()));
            QVERIFY(g->font().pixelSize() >= qRound(12 * s->scale()));
            const QFontMetrics fm(g->font());
            for (int r = 0; r < 9; ++r)
                for (int c = 0; c < 5; ++c)
                    QVERIFY2(fm.horizontalAdvance(s->cell(r, c)) <= g->columnWidth(c), qPrintable(s->cell(r, c)));
        }
        for (int c = 1; c <= 3; ++c)
            QCOMPARE(Qt::Alignment(g->item(4, c)->textAlignment()), Qt::Alignment(Qt::AlignCenter));
        QVERIFY(!(Qt::Alignment(g->item(4, 4)->textAlignment()) & Qt::AlignHCenter));
        QVERIFY(!(g->item(3, 2)->flags() & Qt::ItemIsEditable));

        for (const char *name : {"LabNOME", "Label1", "CMDAGGIORNA", "Shape1", "Label2", "Label9", "Text2", "Label8",
                                 "Text1", "LabCERCA", "Labtorna", "Labmenù", "Label5", "Labaiuto", "LabEXPORT",
                                 "LabSTAMPA", "Labesci", "Image2"})
            QVERIFY2(s->findChild<QWidget *>(QString::fromUtf8(name)), name);
    }

    void gridFill_data()
    {
        QTest::addColumn<SavedValues>("saved");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("shown");

        const QDateTime when(QDate(2026, 3, 14), QTime(10, 30, 0));
        QTest::newRow("only the poetry introduction")
            << SavedValues{{6, 5}, {7, 8}, {8, 62}, {9, when}} << 2
            << QStringList{"5", "8", "62", "14/03/2026 10:30:00"};
        QTest::newRow("finding sequences: helps show (...)")
            << SavedValues{{22, 1}, {23, 3}, {24, 33.5}, {25, QStringLiteral("(...)")}}
            << 6 << QStringList{"1", "3", "33.5", "(...)"};
        QTest::newRow("Genette, a save on the stroke of midnight")
            << SavedValues{{30, 9}, {31, 12}, {32, 75}, {33, QDateTime(QDate(2026, 1, 2), QTime(0, 0))}}
            << 8 << QStringList{"9", "12", "75", "02/01/2026"};
        QTest::newRow("a group with only its count") << SavedValues{{2, 4}} << 1
                                                     << QStringList{"4", "0", "0", ""};
    }
    void gridFill()
    {
        QFETCH(SavedValues, saved);
        QFETCH(int, row);
        QFETCH(QStringList, shown);
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), saved);
        FRisultati *s = f.open();
        QVERIFY(f.t.dialogs.messages.isEmpty());
        QCOMPARE(f.t.session.formChiamante, QStringLiteral("fmenù"));
        QCOMPARE(s->labNome()->text(), QStringLiteral("ROSSI MARIO"));
        QCOMPARE(s->ModoRisultati(), QStringLiteral("mionome"));
        for (int r = 1; r <= 8; ++r) {
            if (r == row)
                QCOMPARE(rowCells(s, r), shown);
            else
                QCOMPARE(rowCells(s, r), (QStringList{"0", "0", "0", ""}));
        }
    }

    void pupilWithNoRowYet()
    {
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("VERDI ANNA"), {{2, 3}});
        FRisultati *s = f.open();
        QCOMPARE(f.t.dialogs.messages, QStringList{QStringLiteral("Nome non trovato nell'archivio")});
        QCOMPARE(s->labNome()->text(), QString());
        QCOMPARE(s->ModoRisultati(), QString());
        for (int r = 1; r <= 8; ++r)
            QCOMPARE(rowCells(s, r), (QStringList{"0", "0", "0", ""}));
    }

    // A save made while the lab server did not answer: the screen says, in
    // one line, that it waits; a save that went straight to the file alone
    // does not.
    void pendingLineWhileTheServerIsAway()
    {
        Fixture f;
        QVERIFY(!test::saveGroup(f.t, FieldGroup::Genette, 1, 2, 50).isError());
        FRisultati *s = f.open();
        QVERIFY(s->labAttesa()->isHidden());
        f.t.host->connectServer(nobodyListening(f.t));
        QVERIFY(!test::saveGroup(f.t, FieldGroup::Genette, 2, 2, 100).isError());
        s->CMDAGGIORNA_Click();
        QVERIFY(s->labAttesa()->isVisible());
        QCOMPARE(s->labAttesa()->text(), FRisultati::pendingText());
        QCOMPARE(s->cell(8, 1), QStringLiteral("2"));
        QVERIFY(f.t.dialogs.messages.isEmpty()); // a server that is off is no news
    }

    void refreshAsksForAMissingName()
    {
        Fixture f;
        f.t.session.nomeStudente.clear();
        f.t.dialogs.queueAnswer(QString()); // nothing typed: "Ospite"
        test::addRow(*f.t.db, QStringLiteral("Ospite"), {{10, 2}, {11, 4}, {12, 50}});
        FRisultati *s = f.open();
        QCOMPARE(f.t.dialogs.prompts.size(), 1);
        QCOMPARE(s->labNome()->text(), QStringLiteral("Ospite"));
        QCOMPARE(rowCells(s, 3), (QStringList{"2", "4", "50", ""}));
    }

    void search_data()
    {
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<bool>("found");
        QTest::newRow("lower case") << "rossi" << "mario" << "ROSSI MARIO" << true;
        QTest::newRow("spaces around and inside the boxes") << "  rossi " << "   mario  " << "ROSSI MARIO" << true;
        QTest::newRow("both words in the surname box, two spaces") << "rossi  mario" << "" << "ROSSI MARIO" << true;
        QTest::newRow("guest typed in capitals") << "OSPITE" << "" << "OSPITE" << true;
        QTest::newRow("first name alone") << "" << "Luca" << "LUCA" << true;
        QTest::newRow("not in the archive") << "verdi" << "anna" << "VERDI ANNA" << false;
        QTest::newRow("surname alone is not the whole name") << "rossi" << "" << "ROSSI" << false;
        // The search reads names as the name entry stores them.
        QTest::newRow("no-break space and tab") << QString::fromUtf8("rossi\u00a0\tmario") << "" << "ROSSI MARIO" << true;
        QTest::newRow("zero-width character") << QString::fromUtf8("ros\u200bsi") << "mario" << "ROSSI MARIO" << true;
        QTest::newRow("accent typed as a separate mark") << "bianchi" << QString::fromUtf8("nicolo\u0300")
                                                         << QString::fromUtf8("BIANCHI NICOLÒ") << true;
    }
    void search()
    {
        QFETCH(QString, surname);
        QFETCH(QString, firstName);
        QFETCH(QString, searched);
        QFETCH(bool, found);
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{26, 7}, {27, 9}, {28, 77}});
        test::addRow(*f.t.db, QStringLiteral("Ospite"), {{26, 7}, {27, 9}, {28, 77}});
        test::addRow(*f.t.db, QStringLiteral("LUCA"), {{26, 7}, {27, 9}, {28, 77}});
        test::addRow(*f.t.db, QStringLiteral("BIANCHI PIA"), {{14, 1}, {15, 1}, {16, 100}});
        test::addRow(*f.t.db, QString::fromUtf8("BIANCHI NICOLÒ"), {{26, 7}, {27, 9}, {28, 77}});
        f.t.session.nomeStudente = QStringLiteral("BIANCHI PIA");
        FRisultati *s = f.open();
        QCOMPARE(s->ModoRisultati(), QStringLiteral("mionome"));

        s->text2()->setText(surname);
        s->text1()->setText(firstName);
        s->LabCERCA_Click();
        QCOMPARE(s->NomeCercato(), searched);
        QCOMPARE(s->text2()->text(), QString());
        QCOMPARE(s->text1()->text(), QString());
        if (found) {
            QVERIFY(f.t.dialogs.messages.isEmpty());
            QCOMPARE(s->labNome()->text(), searched);
            QCOMPARE(s->ModoRisultati(), QStringLiteral("nomebis"));
            QCOMPARE(rowCells(s, 7), (QStringList{"7", "9", "77", ""}));
            QCOMPARE(rowCells(s, 4), (QStringList{"0", "0", "0", ""}));
        } else {
            QCOMPARE(f.t.dialogs.messages, QStringList{QStringLiteral("Nome non trovato nell'archivio")});
            QCOMPARE(s->labNome()->text(), QString());
            // The printout still follows the pupil last shown.
            QCOMPARE(s->ModoRisultati(), QStringLiteral("mionome"));
            QCOMPARE(rowCells(s, 4), (QStringList{"0", "0", "0", ""}));
        }
    }

    void searchWithEmptyBoxes()
    {
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 3}, {3, 4}, {4, 75}});
        FRisultati *s = f.open();
        s->text2()->setText(QStringLiteral("   "));
        s->LabCERCA_Click();
        QCOMPARE(f.t.dialogs.messages, QStringList{QStringLiteral("Non hai scritto alcun nome..")});
        QCOMPARE(s->NomeCercato(), QString());
        QCOMPARE(s->labNome()->text(), QStringLiteral("ROSSI MARIO"));
        QCOMPARE(rowCells(s, 1), (QStringList{"3", "4", "75", ""}));
    }

    void refreshForgetsTheSearch()
    {
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 3}});
        test::addRow(*f.t.db, QStringLiteral("VERDI ANNA"), {{2, 8}});
        FRisultati *s = f.open();
        s->text2()->setText(QStringLiteral("verdi"));
        s->text1()->setText(QStringLiteral("anna"));
        s->LabCERCA_Click();
        QCOMPARE(s->cell(1, 1), QStringLiteral("8"));
        s->Labmenu_Click();
        // The next visit: same screen, refreshed for the current pupil.
        f.t.host->openArchive(QStringLiteral("Fespositivo"));
        QCOMPARE(f.screen(), s);
        QCOMPARE(s->NomeCercato(), QString());
        QCOMPARE(s->ModoRisultati(), QStringLiteral("mionome"));
        QCOMPARE(s->cell(1, 1), QStringLiteral("3"));
        QCOMPARE(f.t.session.formChiamante, QStringLiteral("Fespositivo"));
    }

    void returnToTheCaller_data()
    {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<QString>("shownAfter");
        for (const QString &c : kCallers)
            QTest::newRow(qPrintable(c)) << c << c;
        QTest::newRow("unknown name: the menu") << QStringLiteral("Fpoesia2") << QStringLiteral("fmenù");
        QTest::newRow("empty name: the menu") << QString() << QStringLiteral("fmenù");
    }
    void returnToTheCaller()
    {
        QFETCH(QString, caller);
        QFETCH(QString, shownAfter);
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"));
        if (kCallers.contains(caller) && caller != ScreenName::Menu) {
            f.t.navigator->show(caller);
            f.t.host->openArchive(caller);
            QVERIFY(!f.t.navigator->screen(caller)->isVisible());
        } else {
            f.open();
            f.t.session.formChiamante = caller;
        }
        FRisultati *s = f.screen();
        QVERIFY(s->isVisible());
        s->Labtorna_Click();
        QVERIFY(!s->isVisible());
        QVERIFY(f.t.navigator->isLoaded(ScreenName::Risultati)); // hidden, never unloaded
        QVERIFY(f.t.navigator->screen(shownAfter));
        QVERIFY(f.t.navigator->screen(shownAfter)->isVisible());
    }

    void menuAndExit()
    {
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"));
        f.t.navigator->show(QStringLiteral("FGenette"));
        f.t.host->openArchive(QStringLiteral("FGenette"));
        FRisultati *s = f.screen();
        s->Labmenu_Click();
        QVERIFY(f.t.navigator->screen(ScreenName::Menu)->isVisible());
        QVERIFY(!s->isVisible());
        QVERIFY(f.t.navigator->isLoaded(ScreenName::Risultati));
        QVERIFY(!f.t.ended);

        s->Labesci_Click();
        QVERIFY(f.t.ended);
        QVERIFY(!f.t.db->isOpen());
    }

    void exportHelp()
    {
        Fixture f;
        FRisultati *s = f.open();
        f.t.dialogs.messages.clear();
        s->Labaiuto_Click();
        QCOMPARE(f.t.dialogs.messages.size(), 1);
        const QString text = f.t.dialogs.messages.first();
        QCOMPARE(text, FRisultati::exportHelpText());
        const QStringList parts = text.split(QStringLiteral("\r\n"));
        QCOMPARE(parts.size(), 8);
        QCOMPARE(parts[0], QStringLiteral("'ESPORTO' serve a raccogliere tutti i risultati degli alunni, distribuiti "
                                          "su diversi computer, in un solo archivio che sarà salvato su floppy."));
        QCOMPARE(parts[1], QString());
        QCOMPARE(parts[2], QStringLiteral("PRIMA di esportare i dati, è necessario inserire UN DISCHETTO. Si deve:"));
        QCOMPARE(parts[3], QStringLiteral("     1°) essere sicuri che non sia danneggiato;"));
        QCOMPARE(parts[4], QStringLiteral("     2°) essere sicuri che ci siano almeno 500 Kb di spazio libero "));
        // A bare line feed, then the advice about one disk per class.
        QCOMPARE(parts[5], QStringLiteral("\nSi raccomanda di usare un dischetto diverso per ogni classe. "));
        QCOMPARE(parts[6], QString());
        QCOMPARE(parts[7], QStringLiteral("Con un programma di tipo ACCESS si può gestire i dati degli alunni o delle "
                                          "classi come si vuole. Basta aprire, con il programma DB, il file "
                                          "'exporttesti.mdb'(dal dischetto)"));
    }

    void hoverColours()
    {
        Fixture f;
        FRisultati *s = f.open();
        s->resize(1280, 1024);
        const QList<CommandLabel *> six = {s->labTorna(), s->labCerca(), s->labMenu(),
                                           s->labEsci(),  s->labStampa(), s->labExport()};
        QCOMPARE(s->labCerca()->textColor(), QColor(192, 192, 255));
        for (CommandLabel *l : six) {
            moveOver(l, QPoint(2, 2));
            QCOMPARE(l->textColor(), QColor(255, 0, 0));
        }

        // The bottom bar puts back only the three labels that lie on it.
        moveOver(s->label5(), QPoint(s->label5()->width() - 5, 5));
        QCOMPARE(s->labEsci()->textColor(), QColor(255, 192, 255));
        QCOMPARE(s->labStampa()->textColor(), QColor(192, 192, 0));
        QCOMPARE(s->labExport()->textColor(), QColor(192, 192, 0));
        QCOMPARE(s->labTorna()->textColor(), QColor(255, 0, 0));
        QCOMPARE(s->labCerca()->textColor(), QColor(255, 0, 0));
        QCOMPARE(s->labMenu()->textColor(), QColor(255, 0, 0));

        // Over the search panel, which is drawn on the form, all six rest.
        const QPoint onPanel(s->px(9200), s->px(4700));
        QCOMPARE(s->childAt(onPanel), nullptr);
        moveOver(s, onPanel);
        QCOMPARE(s->labTorna()->textColor(), QColor(255, 192, 255));
        QCOMPARE(s->labCerca()->textColor(), QColor(192, 192, 192));
        QCOMPARE(s->labMenu()->textColor(), QColor(255, 128, 255));

        // A move over a control that is not a command changes nothing.
        moveOver(s->labCerca(), QPoint(2, 2));
        moveOver(s, s->grid()->geometry().center());
        QCOMPARE(s->labCerca()->textColor(), QColor(255, 0, 0));
    }

    // Pictures for a human eye: set MORVELLO_SHOTS_DIR to write them.
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("MORVELLO_SHOTS_DIR");
        if (dir.isEmpty())
            QSKIP("MORVELLO_SHOTS_DIR not set");
        Fixture f;
        const QDateTime when(QDate(2026, 3, 14), QTime(10, 30, 0));
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"),
               {{2, 6}, {3, 8}, {4, 75}, {5, when}, {6, 5}, {7, 8}, {8, 62}, {9, when}, {18, 14}, {19, 20}, {20, 70},
                {21, when}, {22, 1}, {23, 3}, {24, 33}, {25, QStringLiteral("(...)")}});
        FRisultati *s = f.open();
        for (const QSize &size : {QSize(1280, 1024), QSize(1920, 1080)}) {
            s->resize(size);
            s->labNome()->setText(QStringLiteral("ROSSI MARIO"));
            f.t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
            s->CMDAGGIORNA_Click();
            moveOver(s->labStampa(), QPoint(2, 2));
            const QString tag = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
            QVERIFY(s->grab().save(dir + QStringLiteral("/frisultati-filled-") + tag + QStringLiteral(".png")));
            moveOver(s, QPoint(s->px(9200), s->px(4700)));
            s->text2()->setText(QStringLiteral("verdi"));
            s->text1()->setText(QStringLiteral("anna"));
            s->LabCERCA_Click();
            QVERIFY(s->grab().save(dir + QStringLiteral("/frisultati-failed-search-") + tag + QStringLiteral(".png")));
        }
        f.t.host->connectServer(nobodyListening(f.t));
        QVERIFY(!test::saveGroup(f.t, FieldGroup::Genette, 2, 2, 100).isError());
        for (const QSize &size : {QSize(1280, 1024), QSize(800, 600)}) {
            s->resize(size);
            s->CMDAGGIORNA_Click();
            const QString tag = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
            QVERIFY(s->grab().save(dir + QStringLiteral("/frisultati-pending-") + tag + QStringLiteral(".png")));
        }
    }
};

QTEST_MAIN(TestFRisultati)
#include "tst_frisultati.moc"
