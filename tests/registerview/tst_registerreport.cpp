// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/register.h"
#include "register/registerimport.h"
#include "register/progress.h"
#include "register/reportcontent.h"
#include "registerview/chartwindows.h"
#include "registerview/palette.h"
#include "registerview/progresscharts.h"
#include "registerview/registerwindow.h"
#include "doubles.h"
#include "support_classroom.h"

#include <QChart>
#include <QDir>
#include <QLineSeries>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

namespace {

// One attempt saved on a classroom computer: computer, pupil, group,
// right answers out of ten, when.
struct Save
{
    int pc;
    QString pupil;
    FieldGroup group;
    double right;
    QDateTime when;
};

// A register of the saves, each computer exported and imported in the
// order given (a computer imported late brings earlier attempts).
std::unique_ptr<Register> registerOf(const QTemporaryDir &dir, const QVector<Save> &saves, const QVector<int> &order)
{
    auto reg = Register::create(dir.filePath(QStringLiteral("2B.sqlite")), QStringLiteral("2B"));
    if (!reg)
        return nullptr;
    for (int pc : order) {
        test::ClassroomComputer computer(dir.filePath(QStringLiteral("pc%1.mdb").arg(pc)), QStringLiteral("aula-pc%1").arg(pc));
        for (const Save &s : saves) {
            if (s.pc == pc && !computer.visit(s.pupil, s.group, {{s.right, 10, s.right * 10}}, s.when))
                return nullptr;
        }
        const QString disk = dir.filePath(QStringLiteral("disco%1.mdb").arg(pc));
        if (!computer.exportTo(disk))
            return nullptr;
        computer.close();
        if (!importFile(*reg, disk, QDateTime(QDate(2027, 1, 10), QTime(8, 0))).imported)
            return nullptr;
    }
    return reg;
}

const QStringList kClass{QStringLiteral("ABATE LIA"),      QStringLiteral("BARONE MATTIA"),  QStringLiteral("BELLINI SOFIA"),
                         QStringLiteral("CANTÙ NICOLÒ"),   QStringLiteral("COLOMBO GIULIA"), QStringLiteral("D'ANGELO SARA"),
                         QStringLiteral("ESPOSITO GINEVRA"), QStringLiteral("FERRARI ALICE"), QStringLiteral("GALLO EMMA"),
                         QStringLiteral("GRECO FRANCESCO"), QStringLiteral("MANCINI ANDREA"), QStringLiteral("MARINO VITTORIA")};

// A term of the class on two computers, each pupil getting better at
// most activities.
QVector<Save> term()
{
    QVector<Save> saves;
    const FieldGroup groups[] = {FieldGroup::Espositivi, FieldGroup::Poesia,       FieldGroup::Figure,
                                 FieldGroup::Definizioni, FieldGroup::Sequenze,    FieldGroup::Aiuti,
                                 FieldGroup::TipoSequenze, FieldGroup::Genette};
    const QDateTime start(QDate(2026, 9, 21), QTime(9, 0));
    for (int p = 0; p < kClass.size(); ++p) {
        for (int g = 0; g < 8; ++g) {
            if ((p + g) % 5 == 0)
                continue;
            for (int t = 0; t < 2 + (p + g) % 4; ++t)
                saves << Save{p % 2, kClass.at(p), groups[g], double(qMin(10, 2 + (p + 3 * g + 2 * t) % 7 + t)),
                              start.addDays(9 * t + 2 * g).addSecs(60 * p)};
        }
    }
    return saves;
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString &pdf, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return run(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
}

// A page rendered at `dpi`.
QImage pdfPage(const QString &pdf, int dpi, const QString &pngStem, int page = 1)
{
    const QString n = QString::number(page);
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), n,
                                     QStringLiteral("-l"), n, QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), pdf, pngStem});
    return QImage(pngStem + QStringLiteral(".png"));
}

int pixelsNear(const QImage &image, const QRect &area, const QColor &colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y) {
        for (int x = area.left(); x <= area.right() && x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 40 && qAbs(c.green() - colour.green()) < 40 && qAbs(c.blue() - colour.blue()) < 40)
                ++n;
        }
    }
    return n;
}

QString screenshotFolder(const QTemporaryDir &dir)
{
    const QString folder = qEnvironmentVariable("MORVELLO_SCREENSHOTS");
    return folder.isEmpty() ? dir.path() : folder;
}

int rowOf(RegisterWindow &window, const QString &pupil)
{
    const QAbstractItemModel *model = window.classView()->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 0).data().toString() == pupil)
            return r;
    }
    return -1;
}

} // namespace

class TstRegisterReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setupRegisterApplication();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("poppler-utils (pdftotext, pdftoppm) is not installed");
    }

    // The chart's series, read from the chart itself: one per group in the
    // groups' order, each holding that group's attempts in time order.
    void pupilChartHoldsAttemptsInTimeOrder_data()
    {
        QTest::addColumn<QVector<Save>>("saves");
        QTest::addColumn<QVector<int>>("importOrder");
        QTest::addColumn<int>("group");
        QTest::addColumn<QVector<double>>("percents");
        const QDateTime d(QDate(2026, 10, 5), QTime(10, 0));
        const QString ada = QStringLiteral("ROSSI ADA");
        QTest::newRow("one computer")
            << QVector<Save>{{0, ada, FieldGroup::Genette, 4, d}, {0, ada, FieldGroup::Genette, 6, d.addDays(7)},
                             {0, ada, FieldGroup::Genette, 9, d.addDays(14)}}
            << QVector<int>{0} << 7 << QVector<double>{40, 60, 90};
        QTest::newRow("earlier attempts imported later")
            << QVector<Save>{{0, ada, FieldGroup::Poesia, 8, d.addDays(20)}, {1, ada, FieldGroup::Poesia, 3, d},
                             {1, ada, FieldGroup::Poesia, 5, d.addDays(30)}, {0, ada, FieldGroup::Poesia, 2, d.addDays(1)}}
            << QVector<int>{0, 1} << 1 << QVector<double>{30, 20, 80, 50};
        QTest::newRow("another group's attempts stay out")
            << QVector<Save>{{0, ada, FieldGroup::Figure, 7, d}, {0, ada, FieldGroup::Aiuti, 1, d.addDays(2)},
                             {0, ada, FieldGroup::Figure, 10, d.addDays(3)}}
            << QVector<int>{0} << 2 << QVector<double>{70, 100};
    }
    void pupilChartHoldsAttemptsInTimeOrder()
    {
        QFETCH(QVector<Save>, saves);
        QFETCH(QVector<int>, importOrder);
        QFETCH(int, group);
        QFETCH(QVector<double>, percents);
        QTemporaryDir dir;
        std::unique_ptr<Register> reg = registerOf(dir, saves, importOrder);
        QVERIFY(reg);
        ScriptedDialogs dialogs;
        RegisterWindow window;
        window.setDialogs(&dialogs);
        window.setRegister(std::move(reg));
        PupilChartWindow *chart = window.openPupilChart(0);
        QVERIFY(chart);
        const QList<QAbstractSeries *> series = chart->chart()->series();
        QCOMPARE(series.size(), 8);
        auto *line = qobject_cast<QLineSeries *>(series.at(group));
        QVERIFY(line);
        QCOMPARE(line->name(), shortGroupCaption(group));
        QVector<double> got;
        const QList<QPointF> points = line->points();
        for (int i = 0; i < points.size(); ++i) {
            got << points.at(i).y();
            if (i > 0)
                QVERIFY(points.at(i - 1).x() < points.at(i).x());
        }
        QCOMPARE(got, percents);
        int others = 0;
        for (int g = 0; g < series.size(); ++g)
            others += g == group ? 0 : int(qobject_cast<QLineSeries *>(series.at(g))->count());
        QCOMPARE(others + int(points.size()), int(saves.size()));
        // The raw attempts beside the chart, one row each.
        QCOMPARE(chart->attemptsTable()->rowCount(), int(saves.size()));
    }

    // The printed reports read back from the PDF: heading on every page,
    // names and numbers, page numbers, and the chart drawn as lines of the
    // groups' colours, not as a picture.
    void reportsReadBackFromPdf_data()
    {
        QTest::addColumn<bool>("wholeClass");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("class") << true
                               << QStringList{"Resoconto della classe 2B", "Ultimo risultato degli alunni, per attività",
                                              "CANTÙ NICOLÒ", "D'ANGELO SARA", "MARINO VITTORIA", "Tipo sequenze",
                                              "Migliore %"};
        QTest::newRow("pupil") << false
                               << QStringList{"Resoconto di CANTÙ NICOLÒ", "Tentativi nel tempo", "Tutti i tentativi",
                                              "Giuste", "Computer", "aula-pc1", "Ultima data"};
    }
    void reportsReadBackFromPdf()
    {
        QFETCH(bool, wholeClass);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        std::unique_ptr<Register> reg = registerOf(dir, term(), {0, 1});
        QVERIFY(reg);
        QVERIFY(!setSchoolName(*reg, QStringLiteral("Scuola media \"Gianni Rodari\"")).isError());
        ScriptedDialogs dialogs;
        RegisterWindow window;
        window.setDialogs(&dialogs);
        window.setRegister(std::move(reg));
        window.setPeriod(QDate(2026, 9, 1), QDate(2026, 12, 31));
        const QString pdf = dir.filePath(QStringLiteral("resoconto.pdf"));
        dialogs.queuePdf(pdf);
        const int row = rowOf(window, QStringLiteral("CANTÙ NICOLÒ"));
        const QString said = wholeClass ? window.printClassReport() : window.printPupilReport(row);
        QVERIFY2(said.contains(QDir::toNativeSeparators(pdf)), qPrintable(said));
        QCOMPARE(dialogs.messages, QStringList{said});

        const QString text = pdfText(pdf);
        for (const QString &e : expected)
            QVERIFY2(text.contains(e), qPrintable(e));
        // The numbers the class view shows are the report's.
        const QAbstractItemModel *view = window.classView()->model();
        for (int c = 1; c < view->columnCount(); ++c) {
            const QString cell = view->index(row, c).data().toString();
            if (!cell.isEmpty())
                QVERIFY2(text.contains(cell), qPrintable(cell));
        }
        const int pages = int(text.count(QStringLiteral("Pagina ")));
        QVERIFY(pages >= (wholeClass ? 1 + kClass.size() : 1));
        for (int p = 1; p <= pages; ++p) {
            const QString page = pdfText(pdf, p);
            QVERIFY2(page.contains(QStringLiteral("Pagina %1 di %2").arg(p).arg(pages)), qPrintable(page));
            QVERIFY(page.contains(QStringLiteral("Scuola media \"Gianni Rodari\" — Classe 2B — dal 01/09/2026 al 31/12/2026")));
        }
        // Drawn, not pasted: no picture in the file, and the first page's
        // chart area holds the lines of the groups' colours.
        QVERIFY(!run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).contains(QStringLiteral("image")));
        const QImage page = pdfPage(pdf, 100, dir.filePath(QStringLiteral("pagina")));
        QVERIFY(!page.isNull());
        const QRect chartArea(0, page.height() * 14 / 100, page.width(), page.height() * 24 / 100);
        const QColor drawn = wholeClass ? scaleColour(resultBands().at(2).middle()) : groupColour(1);
        QVERIFY2(pixelsNear(page, chartArea, drawn) > 30, qPrintable(drawn.name()));
        QCOMPARE(pixelsNear(page, QRect(0, page.height() * 9 / 10, page.width(), page.height() / 20), drawn), 0);
        const QString kind = wholeClass ? QStringLiteral("classe") : QStringLiteral("alunno");
        page.save(QDir(screenshotFolder(dir)).filePath(QStringLiteral("resoconto-%1-p1.png").arg(kind)));
        pdfPage(pdf, 100, dir.filePath(QStringLiteral("seconda")), 2)
            .save(QDir(screenshotFolder(dir)).filePath(QStringLiteral("resoconto-%1-p2.png").arg(kind)));
    }

    // A long list of attempts runs over several pages: each page repeats
    // the table's header and every row is printed whole on one page.
    void longTableSplitsCleanly()
    {
        QTemporaryDir dir;
        QVector<Save> saves;
        const QDateTime start(QDate(2026, 9, 14), QTime(8, 0));
        for (int i = 0; i < 150; ++i)
            saves << Save{0, QStringLiteral("ROSSI ADA"), FieldGroup::Genette, double(i % 11), start.addSecs(3600 * 7 * i)};
        std::unique_ptr<Register> reg = registerOf(dir, saves, {0});
        QVERIFY(reg);
        ScriptedDialogs dialogs;
        RegisterWindow window;
        window.setDialogs(&dialogs);
        window.setRegister(std::move(reg));
        const QString pdf = dir.filePath(QStringLiteral("ada.pdf"));
        dialogs.queuePdf(pdf);
        window.printPupilReport(0);
        const QString text = pdfText(pdf);
        const int pages = int(text.count(QStringLiteral("Pagina ")));
        QVERIFY(pages >= 4);
        int rows = 0;
        for (int p = 2; p <= pages; ++p) {
            const QString page = pdfText(pdf, p);
            QVERIFY2(page.contains(QStringLiteral("Attività")) && page.contains(QStringLiteral("Computer")), qPrintable(page));
        }
        for (int i = 0; i < saves.size(); ++i) {
            const QString when = saves.at(i).when.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
            // The row's date and its computer on one line of one page.
            const QRegularExpression line(QRegularExpression::escape(when) + QStringLiteral("\\s+Testi narrativi \\(concetti Génette\\).*aula-pc0"));
            rows += int(text.count(line));
        }
        QCOMPARE(rows, int(saves.size()));
        pdfPage(pdf, 100, dir.filePath(QStringLiteral("pagina")), 3)
            .save(QDir(screenshotFolder(dir)).filePath(QStringLiteral("resoconto-lungo-p3.png")));
    }

    void cancelledOrRefusedPrinting_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("said");
        QTest::newRow("cancelled: nothing said") << true << QString();
        QTest::newRow("a folder that does not exist") << false << QStringLiteral("Il resoconto non è stato stampato");
    }
    void cancelledOrRefusedPrinting()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, said);
        QTemporaryDir dir;
        std::unique_ptr<Register> reg = registerOf(dir, term().mid(0, 10), {0});
        QVERIFY(reg);
        ScriptedDialogs dialogs;
        RegisterWindow window;
        window.setDialogs(&dialogs);
        window.setRegister(std::move(reg));
        const QString pdf = dir.filePath(QStringLiteral("manca/resoconto.pdf"));
        if (cancel)
            dialogs.queuePrintCancel();
        else
            dialogs.queuePdf(pdf);
        const QString message = window.printClassReport();
        QVERIFY2(said.isEmpty() ? message.isEmpty() : message.startsWith(said), qPrintable(message));
        QVERIFY(!QFileInfo::exists(pdf));
    }

    void screenshotsOfTheCharts()
    {
        QTemporaryDir dir;
        QTemporaryDir other;
        std::unique_ptr<Register> reg = registerOf(dir, term(), {0, 1});
        QVERIFY(reg);
        ScriptedDialogs dialogs;
        RegisterWindow window;
        window.setDialogs(&dialogs);
        window.setRegister(std::move(reg));
        window.resize(1280, 800);
        window.show();
        PupilChartWindow *pupil = window.openPupilChart(rowOf(window, QStringLiteral("CANTÙ NICOLÒ")));
        QVERIFY(pupil);
        QVERIFY(QTest::qWaitForWindowExposed(pupil));
        const QString folder = screenshotFolder(dir);
        QVERIFY(pupil->grab().save(QDir(folder).filePath(QStringLiteral("grafico-alunno.png"))));
        ClassChartWindow *whole = window.openClassChart();
        QVERIFY(whole);
        QVERIFY(QTest::qWaitForWindowExposed(whole));
        QVERIFY(whole->grab().save(QDir(folder).filePath(QStringLiteral("grafico-classe.png"))));
        // Another register closes the charts of the one before.
        window.setRegister(Register::create(other.filePath(QStringLiteral("3A.sqlite")), QStringLiteral("3A")));
        QTRY_VERIFY(window.findChildren<PupilChartWindow *>().isEmpty());
    }
};

QTEST_MAIN(TstRegisterReport)
#include "tst_registerreport.moc"
