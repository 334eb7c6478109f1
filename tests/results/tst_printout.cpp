// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/frisultati.h"
#include "results/printout.h"

#include "storage/database.h"
#include "kit/navigator.h"
#include "shell/morvelloapp.h"
#include "shell/screennames.h"
#include "kit/qtdialogs.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

using SavedValues = QMap<int, QVariant>;

namespace {

const QDateTime kWhen(QDate(2026, 3, 14), QTime(10, 30, 0));

// Every printer hand-out writes a PDF of its own into the folder.
struct PdfPrinters {
    QString folder;
    int handedOut = 0;
    QString last;
    PrinterProvider provider()
    {
        return [this](QString *) {
            auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
            p->setOutputFormat(QPrinter::PdfFormat);
            last = QStringLiteral("%1/page%2.pdf").arg(folder).arg(++handedOut);
            p->setOutputFileName(last);
            return p;
        };
    }
};

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool havePdfToText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The non-empty lines of a page, spaces squeezed: what a reader sees.
QStringList readLines(const QString &text)
{
    QStringList out;
    for (const QString &l : text.split(QLatin1Char('\n'))) {
        const QString s = l.simplified();
        if (!s.isEmpty())
            out << s;
    }
    return out;
}

struct Fixture {
    test::TestContext t;
    PdfPrinters pdf;
    Fixture()
    {
        pdf.folder = t.base();
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        t.host->registerResultsScreen();
        t.navigator->setShowWindows(false);
    }
    FRisultati *open()
    {
        t.host->openArchiveFromMenu();
        auto *s = t.navigator->screenAs<FRisultati>(ScreenName::Risultati);
        s->setPrinterProvider(pdf.provider());
        return s;
    }
    // The name printed on the page the last click produced.
    QString printedName()
    {
        const QStringList lines = readLines(pdfText(pdf.last));
        return lines.isEmpty() ? QString() : lines.first();
    }
};

} // namespace

class TestPrintout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setupApplication(*qApp); }

    void pageLines()
    {
        QVector<QVariant> row(34);
        row[1] = QStringLiteral("ROSSI MARIO");
        row[6] = 5.0;
        row[7] = 8.0;
        row[8] = 62.0;
        row[9] = kWhen;
        row[22] = 1.0;
        row[23] = 3.0;
        row[24] = 33.5;
        row[25] = QStringLiteral("(...)");
        const QVector<PrintLine> page = resultsPage(row);

        QCOMPARE(page.size(), 23);
        QCOMPARE(page[0], PrintLine{});
        QCOMPARE(page[1], (PrintLine{{7, "ROSSI MARIO"}}));
        QCOMPARE(page[2], PrintLine{});
        QCOMPARE(page[3], PrintLine{});
        QCOMPARE(page[4], (PrintLine{{7, "Argomenti"}, {35, " Giusti"}, {45, "Su"}, {55, "%"}, {65, "Quando"}}));
        QCOMPARE(page[5], PrintLine{});
        const QStringList labels = {"Testi espositivi: tipo sequenze",  "Poesia: introduzione",
                                    "Figure retoriche: riconoscimento", "Figure retoriche: definizioni",
                                    "Testi narrativi: sequenze",        "Aiuti cercati per sequenze ",
                                    "Testi narrativi: tipo sequenza",   "Testi narrativi: concetti Génette"};
        for (int g = 0; g < 8; ++g) {
            const PrintLine &line = page[6 + 2 * g];
            QCOMPARE(line.size(), 5);
            QCOMPARE(line[0], (PrintItem{1, labels[g]}));
            QCOMPARE(line[1].column, 35);
            QCOMPARE(line[2].column, 45);
            QCOMPARE(line[3].column, 55);
            QCOMPARE(line[4].column, 65);
            if (g < 7)
                QCOMPARE(page[7 + 2 * g], PrintLine{});
        }
        QCOMPARE(page[7], PrintLine{});
        QCOMPARE(page[8], (PrintLine{{1, "Poesia: introduzione"}, {35, " 5"}, {45, " 8"}, {55, " 62"},
                                     {65, "14/03/2026 10:30:00"}}));
        QCOMPARE(page[16], (PrintLine{{1, "Aiuti cercati per sequenze "}, {35, " 1"}, {45, " 3"}, {55, " 33.5"},
                                      {65, "(...)"}}));
        // Never saved: as the grid shows it, never the word Null.
        QCOMPARE(page[6], (PrintLine{{1, "Testi espositivi: tipo sequenze"}, {35, " 0"}, {45, " 0"}, {55, " 0"},
                                     {65, ""}}));
        QCOMPARE(page[21], PrintLine{});
        QCOMPARE(page[22], PrintLine{});
        QVERIFY(!pageText(page).contains(QLatin1String("Null")));
    }

    void printedValues_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("printed");
        QTest::newRow("count never saved") << QVariant() << 0 << " 0";
        QTest::newRow("percentage never saved") << QVariant() << 2 << " 0";
        QTest::newRow("date never saved") << QVariant() << 3 << "";
        QTest::newRow("whole number") << QVariant(12.0) << 1 << " 12";
        QTest::newRow("integer column") << QVariant(qint64(7)) << 0 << " 7";
        QTest::newRow("fraction") << QVariant(33.5) << 2 << " 33.5";
        QTest::newRow("negative") << QVariant(-2.0) << 0 << "-2";
        QTest::newRow("date and time") << QVariant(kWhen) << 3 << "14/03/2026 10:30:00";
        QTest::newRow("text in a date column") << QVariant(QStringLiteral("(...)")) << 3 << "(...)";
    }
    void printedValues()
    {
        QFETCH(QVariant, value);
        QFETCH(int, kind);
        QFETCH(QString, printed);
        QCOMPARE(printedValue(value, kind), printed);
    }

    void overflowingTextGoesToTheNextLine()
    {
        const QVector<PrintLine> lines = {{{1, "abcdefghij"}, {5, "X"}}, {{3, "ok"}}};
        QCOMPARE(pageText(lines), QStringLiteral("abcdefghij\n    X\n  ok\n"));
    }

    void pageThroughAPdf()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"),
               {{2, 6}, {3, 8}, {4, 75}, {5, kWhen}, {22, 1}, {23, 3}, {24, 33}, {25, QStringLiteral("(...)")}});
        FRisultati *s = f.open();
        s->LabSTAMPA_Click();
        QVERIFY(f.t.dialogs.messages.isEmpty());
        QCOMPARE(f.pdf.handedOut, 1);
        const QString text = pdfText(f.pdf.last);
        QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
        const QString keep = qEnvironmentVariable("MORVELLO_SHOTS_DIR");
        if (!keep.isEmpty()) {
            QFile::remove(keep + QStringLiteral("/printout.pdf"));
            QFile::copy(f.pdf.last, keep + QStringLiteral("/printout.pdf"));
        }
        QVERIFY(!text.contains(QLatin1String("Null")));
        QVERIFY(!text.contains(QLatin1String("Sbagli")));

        const QStringList lines = readLines(text);
        QCOMPARE(lines, (QStringList{"ROSSI MARIO",
                                     "Argomenti Giusti Su % Quando",
                                     "Testi espositivi: tipo sequenze 6 8 75 14/03/2026 10:30:00",
                                     "Poesia: introduzione 0 0 0",
                                     "Figure retoriche: riconoscimento 0 0 0",
                                     "Figure retoriche: definizioni 0 0 0",
                                     "Testi narrativi: sequenze 0 0 0",
                                     "Aiuti cercati per sequenze 1 3 33 (...)",
                                     "Testi narrativi: tipo sequenza 0 0 0",
                                     "Testi narrativi: concetti Génette 0 0 0"}));

        // Columns: the values stand under their headings, the name is indented.
        const QStringList raw = text.split(QLatin1Char('\n'));
        auto lineWith = [&raw](const QString &s) {
            for (const QString &l : raw)
                if (l.contains(s))
                    return l;
            return QString();
        };
        const QString header = lineWith(QStringLiteral("Argomenti"));
        const QString first = lineWith(QStringLiteral("Testi espositivi"));
        QVERIFY(lineWith(QStringLiteral("ROSSI MARIO")).indexOf(QLatin1String("ROSSI")) > 0);
        const int giusti = header.indexOf(QLatin1String("Giusti"));
        const int su = header.indexOf(QLatin1String("Su"));
        const int quando = header.indexOf(QLatin1String("Quando"));
        QVERIFY(qAbs(first.indexOf(QLatin1String(" 6 ")) + 1 - giusti) <= 3);
        QVERIFY(qAbs(first.indexOf(QLatin1String(" 8 ")) + 1 - su) <= 3);
        QVERIFY(qAbs(first.indexOf(QLatin1String("14/03/2026")) - quando) <= 3);
        // Blank lines between the groups survive on paper.
        const int a = raw.indexOf(lineWith(QStringLiteral("Testi espositivi")));
        const int b = raw.indexOf(lineWith(QStringLiteral("Poesia: introduzione")));
        QCOMPARE(b - a, 2);
    }

    // Which pupil the page shows, after what the pupil did on the screen.
    void whoIsPrinted_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("printed"); // empty: "Nome non trovato nell'archivio", no page
        QTest::addColumn<bool>("throughDialog"); // Shift+click: the print dialog, answered with a PDF file
        QTest::newRow("just opened") << "" << "ROSSI MARIO" << false;
        QTest::newRow("after a search") << "search verdi anna" << "VERDI ANNA" << false;
        QTest::newRow("after a failed search") << "search neri ugo" << "ROSSI MARIO" << false;
        // The failed search replaced the searched name the page goes by.
        QTest::newRow("search, then a failed one") << "search verdi anna;search neri ugo" << "" << false;
        QTest::newRow("search, then refresh for a pupil with no row")
            << "search verdi anna;student GIALLI EVA;refresh" << "" << false;
        QTest::newRow("guest found by a search in capitals") << "search ospite" << "Ospite" << false;
        QTest::newRow("print dialog: just opened") << "" << "ROSSI MARIO" << true;
        QTest::newRow("print dialog: after a search") << "search verdi anna" << "VERDI ANNA" << true;
        QTest::newRow("print dialog: after a failed search") << "search neri ugo" << "ROSSI MARIO" << true;
        // Nobody to print: the dialog never opens.
        QTest::newRow("print dialog: search, then a failed one") << "search verdi anna;search neri ugo" << "" << true;
    }
    void whoIsPrinted()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        QFETCH(QString, steps);
        QFETCH(QString, printed);
        QFETCH(bool, throughDialog);
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 1}});
        test::addRow(*f.t.db, QStringLiteral("VERDI ANNA"), {{2, 2}});
        test::addRow(*f.t.db, QStringLiteral("Ospite"), {{2, 3}});
        FRisultati *s = f.open();
        for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList w = step.split(QLatin1Char(' '));
            if (w[0] == QLatin1String("search")) {
                s->text2()->setText(w.value(1));
                s->text1()->setText(w.value(2));
                s->LabCERCA_Click();
            } else if (w[0] == QLatin1String("student")) {
                f.t.session.nomeStudente = w.mid(1).join(QLatin1Char(' '));
            } else if (w[0] == QLatin1String("refresh")) {
                s->CMDAGGIORNA_Click();
            }
        }
        f.t.dialogs.messages.clear();
        const QString chosen = f.t.base() + QStringLiteral("/chosen.pdf");
        if (throughDialog) {
            f.t.dialogs.queuePdf(chosen);
            QTest::mouseClick(s->labStampa(), Qt::LeftButton, Qt::ShiftModifier);
        } else {
            s->LabSTAMPA_Click();
        }
        QCOMPARE(f.pdf.handedOut, 0 + (!throughDialog && !printed.isEmpty()));
        if (printed.isEmpty()) {
            QCOMPARE(f.t.dialogs.messages, QStringList{QStringLiteral("Nome non trovato nell'archivio")});
            QCOMPARE(f.t.dialogs.printerFiles.size(), 0);
            QVERIFY(!QFile::exists(chosen));
        } else if (throughDialog) {
            QCOMPARE(f.t.dialogs.messages, QStringList{printmsg::savedAsFile(chosen)});
            QCOMPARE(f.t.dialogs.printerFiles.size(), 1);
            QCOMPARE(readLines(pdfText(chosen)).value(0), printed);
        } else {
            QVERIFY(f.t.dialogs.messages.isEmpty());
            QCOMPARE(f.printedName(), printed);
        }
    }

    // How the print dialog is reached on the screen: Shift+click and Ctrl+P
    // open it; the plain click prints at once, as it always has.
    void printDialogWays_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<int>("printedAtOnce");
        QTest::newRow("click") << "click" << 0 << 1;
        QTest::newRow("Shift+click") << "shift-click" << 1 << 0;
        QTest::newRow("Ctrl+P") << "ctrl-p" << 1 << 0;
        QTest::newRow("Enter on the focused label") << "enter" << 0 << 1;
        QTest::newRow("Shift+Enter on the focused label") << "shift-enter" << 1 << 0;
    }
    void printDialogWays()
    {
        QFETCH(QString, gesture);
        QFETCH(int, dialogs);
        QFETCH(int, printedAtOnce);
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 1}});
        FRisultati *s = f.open();
        s->show();
        s->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s));
        f.t.dialogs.queuePrintCancel();
        if (gesture == QLatin1String("click"))
            QTest::mouseClick(s->labStampa(), Qt::LeftButton);
        else if (gesture == QLatin1String("shift-click"))
            QTest::mouseClick(s->labStampa(), Qt::LeftButton, Qt::ShiftModifier);
        else if (gesture == QLatin1String("ctrl-p"))
            QTest::keyClick(s, Qt::Key_P, Qt::ControlModifier);
        else if (gesture.endsWith(QLatin1String("enter")))
            QTest::keyClick(s->labStampa(), Qt::Key_Return,
                            gesture.startsWith(QLatin1String("shift")) ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(f.t.dialogs.printerFiles.size(), dialogs);
        QCOMPARE(f.pdf.handedOut, printedAtOnce);
        QVERIFY(f.t.dialogs.messages.isEmpty()); // a cancelled dialog says nothing
    }

    // What the teacher sets in the dialog reaches the page: the copies, or
    // nothing at all when it is cancelled.
    void printDialogCopiesAndCancel_data()
    {
        QTest::addColumn<int>("copies"); // 0: cancelled
        QTest::newRow("one copy") << 1;
        QTest::newRow("two copies") << 2;
        QTest::newRow("cancelled") << 0;
    }
    void printDialogCopiesAndCancel()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        QFETCH(int, copies);
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 6}, {3, 8}});
        FRisultati *s = f.open();
        const QString file = f.t.base() + QStringLiteral("/copie.pdf");
        if (copies > 0)
            f.t.dialogs.queuePdf(file, copies);
        else
            f.t.dialogs.queuePrintCancel();
        s->LabSTAMPA_ShiftClick();
        if (copies == 0) {
            QVERIFY(!QFile::exists(file));
            QVERIFY(f.t.dialogs.messages.isEmpty());
            return;
        }
        const QString text = pdfText(file);
        QCOMPARE(text.count(QLatin1String("ROSSI MARIO")), copies);
        QCOMPARE(text.count(QLatin1Char('\f')), copies); // one page each
        QCOMPARE(f.t.dialogs.messages, QStringList{printmsg::savedAsFile(file)});
    }

    // No printer at all: the dialog opens on a PDF file in the home folder,
    // under a name no file has yet.
    void noPrinterOpensTheDialogOnAPdfAtHome()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("printers are installed here");
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 1}});
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        const QString taken = home.filePath(QStringLiteral("Risultati ROSSI MARIO.pdf"));
        QVERIFY(writeBytes(taken, "a teacher's own file"));
        FRisultati *s = f.open();
        f.t.dialogs.queuePdf(QString()); // accepted as it opened
        s->LabSTAMPA_ShiftClick();
        qputenv("HOME", oldHome);
        const QString expected = home.filePath(QStringLiteral("Risultati ROSSI MARIO (2).pdf"));
        QCOMPARE(f.t.dialogs.printerFiles, QStringList{expected});
        QCOMPARE(bytesOf(taken), QByteArray("a teacher's own file"));
        QCOMPARE(readLines(pdfText(expected)).value(0), QStringLiteral("ROSSI MARIO"));
        QCOMPARE(f.t.dialogs.messages, QStringList{printmsg::savedAsFile(expected)});
    }

    // Qt's own print dialog, with no printer on the machine: accepted as it
    // opens, it prints the page into the PDF file it offers.
    void realPrintDialogPrintsToPdfWithoutAPrinter()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("printers are installed here");
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 6}, {3, 8}});
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        QtDialogs real;
        bool seen = false;
        whenModalShows(
            [](QWidget *w) {
                QVERIFY2(qobject_cast<QPrintDialog *>(w), w->metaObject()->className());
                const QString shots = shotsFolder();
                if (!shots.isEmpty())
                    w->grab().save(shots + QStringLiteral("/print-dialog.png"));
                QMetaObject::invokeMethod(w, "accept");
            },
            &seen);
        const PrintOutcome out = printResultsWithDialog(*f.t.store(), f.t.session, QString(), QString(), real);
        qputenv("HOME", oldHome);
        QVERIFY(seen);
        const QString file = home.filePath(QStringLiteral("Risultati ROSSI MARIO.pdf"));
        QCOMPARE(out.status, PrintStatus::Printed);
        QCOMPARE(out.message, printmsg::savedAsFile(file));
        QCOMPARE(readLines(pdfText(file)).value(0), QStringLiteral("ROSSI MARIO"));
    }

    void noPrinterIsSaid_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("message");
        QTest::newRow("none installed") << "none" << printmsg::noPrinter();
        QTest::newRow("cannot take the page") << "unreachable" << printmsg::printerFailed();
    }
    void noPrinterIsSaid()
    {
        QFETCH(QString, printer);
        QFETCH(QString, message);
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 1}});
        FRisultati *s = f.open();
        const QString nowhere = f.t.base() + QStringLiteral("/no-such-folder/page.pdf");
        s->setPrinterProvider([&](QString *problem) -> std::unique_ptr<QPrinter> {
            if (printer == QLatin1String("none")) {
                *problem = printmsg::noPrinter();
                return nullptr;
            }
            auto p = std::make_unique<QPrinter>();
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(nowhere);
            return p;
        });
        s->LabSTAMPA_Click();
        QCOMPARE(f.t.dialogs.messages, QStringList{message});
        QVERIFY(!QFile::exists(nowhere));
    }

    void theSystemsDefaultPrinter()
    {
        // Only where there is no printer: elsewhere this would print a page.
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a default printer is installed here");
        Fixture f;
        test::addRow(*f.t.db, QStringLiteral("ROSSI MARIO"), {{2, 1}});
        FRisultati *s = f.open();
        s->setPrinterProvider({});
        s->LabSTAMPA_Click();
        QCOMPARE(f.t.dialogs.messages, QStringList{printmsg::noPrinter()});
    }
};

QTEST_MAIN(TestPrintout)
#include "tst_printout.moc"
