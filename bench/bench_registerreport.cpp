// SPDX-License-Identifier: GPL-3.0-or-later
// The register's charts and reports.
//   bench_registerreport [attempts of the one pupil=1000] [pupils=30] [attempts per pupil=200]
// Prints, for one pupil with that many attempts: the chart made from the
// register's rows, the chart drawn at a window's size, and the whole pupil
// window opened and painted; then the class report of the class written
// into a PDF file (a page for the class, a page per pupil).

#include "benchstats.h"

#include <functional>

#include "core/dialogs.h"
#include "core/resultgroups.h"
#include "register/classtable.h"
#include "register/progress.h"
#include "register/register.h"
#include "registerview/chartwindows.h"
#include "registerview/progresscharts.h"
#include "registerview/registerreport.h"
#include "registerview/registerwindow.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QApplication>
#include <QChart>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

using namespace morvello;

namespace {

// Pupils with their attempts written straight into the register: what an
// import would leave, without the time of importing.
bool fill(Register &reg, int pupils, int attempts, int firstPupil = 0)
{
    Database &db = reg.database();
    if (!db.beginTransaction())
        return false;
    QSqlQuery pupil(db.connection());
    QSqlQuery row(db.connection());
    pupil.prepare(QStringLiteral("INSERT INTO alunni (nome) VALUES (?)"));
    row.prepare(QStringLiteral("INSERT INTO tentativi (codice, alunno, nome, gruppo, conteggio, totale, percentuale, momento, "
                               "schermata, visita, computer, storico) VALUES (?, ?, ?, ?, ?, 10, ?, ?, 'FGenette', ?, ?, 1)"));
    const QVector<ResultGroup> &groups = resultGroups();
    const QDateTime start(QDate(2026, 9, 14), QTime(8, 0));
    for (int p = firstPupil; p < firstPupil + pupils; ++p) {
        const QString name = QStringLiteral("ALUNNO %1").arg(p, 3, 10, QLatin1Char('0'));
        pupil.bindValue(0, name);
        if (!pupil.exec())
            return false;
        const qint64 id = pupil.lastInsertId().toLongLong();
        for (int a = 0; a < attempts; ++a) {
            const int right = (p + a * 3) % 11;
            row.bindValue(0, schema::newRowCode());
            row.bindValue(1, id);
            row.bindValue(2, name);
            row.bindValue(3, groups.at(a % groups.size()).columns[0]);
            row.bindValue(4, right);
            row.bindValue(5, right * 10);
            row.bindValue(6, start.addSecs(qint64(a) * 5400 + p * 60).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
            row.bindValue(7, schema::newRowCode());
            row.bindValue(8, QStringLiteral("pc%1").arg(p % 3));
            if (!row.exec())
                return false;
        }
    }
    pupil.finish();
    row.finish();
    return db.commit();
}

// The median of the processor time this thread spent on `work`: on a
// machine shared by several builds the wall-clock figure mostly counts
// the time spent waiting for a core.
double medianCpuMs(int runs, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        timespec a{}, b{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
        work();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
        ms.push_back((b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setupRegisterApplication();
    const QStringList args = app.arguments();
    const int single = args.size() > 1 ? args.at(1).toInt() : 1000;
    const int pupils = args.size() > 2 ? args.at(2).toInt() : 30;
    const int each = args.size() > 3 ? args.at(3).toInt() : 200;
    QTemporaryDir dir;

    auto one = Register::create(dir.filePath(QStringLiteral("uno.sqlite")), QStringLiteral("uno"));
    if (!one || !fill(*one, 1, single)) {
        std::fprintf(stderr, "cannot fill the register\n");
        return 1;
    }
    const qint64 id = classTable(*one).value(0).id;
    std::printf("one pupil with %d attempts\n", single);
    std::unique_ptr<QChart> chart;
    QVector<PupilAttempt> rows;
    bench::print("the pupil's attempts read", bench::measure(21, [&] { rows = attemptsOf(*one, id); }));
    PupilProgress progress;
    bench::print("their points worked out", bench::measure(21, [&] { progress = pupilProgress(rows); }));
    bench::print("the chart made of the points", bench::measure(21, [&] { chart.reset(pupilChart(progress)); }));
    bench::print("chart made from the register's rows", bench::measure(21, [&] {
                     chart.reset(pupilChart(pupilProgress(attemptsOf(*one, id))));
                 }));
    QImage image(720, 640, QImage::Format_ARGB32_Premultiplied);
    bench::print("the same chart drawn at 720x640", bench::measure(21, [&] {
                     image.fill(Qt::white);
                     QPainter p(&image);
                     drawChart(*chart, p, QRectF(0, 0, 720, 640), QSizeF(720, 640));
                 }));
    const auto madeAndDrawn = [&] {
        chart.reset(pupilChart(pupilProgress(attemptsOf(*one, id))));
        image.fill(Qt::white);
        QPainter p(&image);
        drawChart(*chart, p, QRectF(0, 0, 720, 640), QSizeF(720, 640));
    };
    bench::print("made and drawn (what the goal counts)", bench::measure(21, madeAndDrawn));
    std::printf("  the same in processor time: median %.3f ms\n", medianCpuMs(21, madeAndDrawn));
    chart.reset();

    // The window as a double click opens it; its print dialog is not asked.
    std::unique_ptr<PupilChartWindow> window;
    class Quiet : public Dialogs
    {
    public:
        void message(const QString &) override {}
        std::optional<QString> input(const QString &, int) override { return std::nullopt; }
        int choose(const QString &, const QStringList &b) override { return int(b.size()) - 1; }
        bool choosePrinter(QPrinter &) override { return false; }
        std::optional<QString> chooseFolder(const QString &, const QString &) override { return std::nullopt; }
        void showGuide(const QString &) override {}
    } quiet;
    bench::print("pupil window opened and painted (table too)", bench::measure(11, [&] {
                     window = std::make_unique<PupilChartWindow>(*one, id, QStringLiteral("ALUNNO 000"), QDate(), QDate(),
                                                                 quiet);
                     window->resize(1200, 700);
                     window->grab();
                 }));
    window.reset();

    auto klass = Register::create(dir.filePath(QStringLiteral("classe.sqlite")), QStringLiteral("2B"));
    if (!klass || !fill(*klass, pupils, each)) {
        std::fprintf(stderr, "cannot fill the class register\n");
        return 1;
    }
    std::printf("class of %d pupils, %d attempts each\n", pupils, each);
    const QString pdf = dir.filePath(QStringLiteral("classe.pdf"));
    int pages = 0;
    const auto report = [&] {
        QPrinter printer(QPrinter::HighResolution);
        setUpReportPrinter(printer, QStringLiteral("Resoconto"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QString problem;
        if (!writeClassReport(printer, *klass, QDate(), QDate(), &problem))
            std::fprintf(stderr, "%s\n", qPrintable(problem));
    };
    bench::print("class report into a PDF file", bench::measure(5, report, 1));
    std::printf("  the same in processor time: median %.3f ms\n", medianCpuMs(5, report));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    for (const QString &line : out.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            pages = line.section(QLatin1Char(':'), 1).trimmed().toInt();
    std::printf("  %d pages, %lld KB\n", pages, QFileInfo(pdf).size() / 1024);
    return 0;
}
