// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's register on a class's term: exports of several computers,
// each with pupils and their history rows.
//   bench_register [exports=30] [pupils=30] [rows per pupil=200] [big class=1000] [CSV rows=1000000]
// Prints the first import of every export into a new register, the same
// imports again (nothing new), and, for comparison, the sqlite3 tool doing
// the same ATTACH / INSERT OR IGNORE work on the same files in the same run;
// then, for a big class (its pupils x 8 groups x 25 attempts, imported from
// exports of 100 pupils), the class table read, the class view's refresh
// (model reset and the window painted, offscreen) with and without a
// period, and the CSV of every attempt once the register holds the given
// number of them.

#include "benchstats.h"
#include "register/classtable.h"
#include "register/register.h"
#include "register/registercsv.h"
#include "register/registerimport.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "core/resultgroups.h"
#include "registerview/registerwindow.h"

#include <QApplication>
#include <QTableView>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>

using namespace morvello;

namespace {

bool writeExport(const QString &path, int computer, int pupils, int rows, int groups = 1, int firstPupil = 0)
{
    if (!Database::create(path, schema::exportTemplateStatements()))
        return false;
    auto db = Database::open(path);
    if (!db || !db->beginTransaction())
        return false;
    QSqlQuery q(db->connection());
    q.prepare(QStringLiteral("INSERT INTO tentativi (codice, nome, gruppo, conteggio, totale, percentuale, data, momento, "
                             "schermata, visita, computer) VALUES (?, ?, ?, ?, 10, ?, ?, ?, 'FGenette', ?, ?)"));
    const QDateTime start(QDate(2026, 9, 14), QTime(8, 0));
    for (int p = firstPupil; p < firstPupil + pupils; ++p) {
        for (int r = 0; r < rows; ++r) {
            const QDateTime when = start.addSecs(qint64(r) * 3600 + p * 60);
            const int right = (p + r) % 11;
            q.bindValue(0, schema::newRowCode());
            // Every computer has the whole class, as with pupils who move.
            q.bindValue(1, groups == 1 ? QStringLiteral("ALUNNO %1 DEL PC %2").arg(p).arg(computer % 3)
                                       : QStringLiteral("ALUNNA CON UN NOME LUNGO %1").arg(p));
            q.bindValue(2, resultGroups().at(r % groups).columns[0]);
            q.bindValue(3, right);
            q.bindValue(4, right * 10);
            q.bindValue(5, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            q.bindValue(6, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
            q.bindValue(7, schema::newRowCode());
            q.bindValue(8, QStringLiteral("pc%1").arg(computer));
            if (!q.exec())
                return false;
        }
    }
    q.finish();
    return db->commit();
}

double ownCpu()
{
    rusage self{};
    ::getrusage(RUSAGE_SELF, &self);
    return self.ru_utime.tv_sec + self.ru_stime.tv_sec + (self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1e6;
}

double importAll(Register &reg, const QStringList &files, int *rows)
{
    QElapsedTimer t;
    t.start();
    *rows = 0;
    for (const QString &f : files) {
        const ImportOutcome out = importFile(reg, f, QDateTime::currentDateTime());
        if (!out.imported)
            std::fprintf(stderr, "%s\n", qPrintable(out.message));
        *rows += out.newRows;
    }
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupRegisterApplication();
    const QStringList args = app.arguments();
    const int exports = args.size() > 1 ? args.at(1).toInt() : 30;
    const int pupils = args.size() > 2 ? args.at(2).toInt() : 30;
    const int rows = args.size() > 3 ? args.at(3).toInt() : 200;
    const int bigClass = args.size() > 4 ? args.at(4).toInt() : 1000;
    const int csvRows = args.size() > 5 ? args.at(5).toInt() : 1000000;
    QTemporaryDir dir;
    QStringList files;
    for (int e = 0; e < exports; ++e) {
        files << dir.filePath(QStringLiteral("export%1.mdb").arg(e));
        if (!writeExport(files.last(), e, pupils, rows)) {
            std::fprintf(stderr, "cannot write the exports\n");
            return 1;
        }
    }
    std::printf("%d exports x %d pupils x %d history rows\n", exports, pupils, rows);

    // The sqlite3 tool on an empty register of its own.
    const QString toolFile = dir.filePath(QStringLiteral("tool.sqlite"));
    Register::create(toolFile, QStringLiteral("strumento")).reset();
    QString script = QStringLiteral(".bail on\n");
    for (const QString &f : files) {
        script += QStringLiteral("ATTACH '%1' AS f;\nBEGIN;\n"
                                 "INSERT OR IGNORE INTO alunni (nome) SELECT DISTINCT nome FROM f.tentativi;\n"
                                 "INSERT OR IGNORE INTO tentativi (codice, alunno, nome, gruppo, conteggio, totale, "
                                 "percentuale, data, momento, schermata, visita, computer, storico) SELECT t.codice, a.id, "
                                 "t.nome, t.gruppo, t.conteggio, t.totale, t.percentuale, t.data, t.momento, t.schermata, "
                                 "t.visita, t.computer, 1 FROM f.tentativi AS t JOIN alunni AS a ON a.nome = t.nome;\n"
                                 "COMMIT;\nDETACH f;\n")
                      .arg(f);
    }
    QProcess tool;
    QElapsedTimer t;
    t.start();
    tool.start(QStringLiteral("sqlite3"), {toolFile});
    tool.write(script.toUtf8());
    tool.closeWriteChannel();
    tool.waitForFinished(-1);
    const double toolMs = t.nsecsElapsed() / 1e6;
    // Processor time too: on a shared machine the clock counts the waits.
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    const double toolCpu = children.ru_utime.tv_sec + children.ru_stime.tv_sec
                           + (children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1e6;

    auto reg = Register::create(dir.filePath(QStringLiteral("registro.sqlite")), QStringLiteral("bench"));
    int firstRows = 0;
    int againRows = 0;
    const double cpu0 = ownCpu();
    const double first = importAll(*reg, files, &firstRows);
    const double cpu1 = ownCpu();
    const double again = importAll(*reg, files, &againRows);
    const double cpu2 = ownCpu();
    std::printf("sqlite3 tool           %9.1f ms  (%.2f s of processor)\n", toolMs, toolCpu);
    std::printf("first import           %9.1f ms  (%d rows, %.2fx the tool; processor %.2f s, %.2fx; goal <= 2x)\n",
                first, firstRows, first / toolMs, cpu1 - cpu0, (cpu1 - cpu0) / toolCpu);
    std::printf("same files again       %9.1f ms  (%d rows, %.2fx the first; processor %.2f s, %.2fx; goal <= 0.5x)\n",
                again, againRows, again / first, cpu2 - cpu1, (cpu2 - cpu1) / (cpu1 - cpu0));

    t.start();
    const QVector<PupilLine> lines = classTable(*reg);
    std::printf("class table            %9.1f ms  (%d pupils)\n", t.nsecsElapsed() / 1e6, int(lines.size()));
    reg.reset();

    // A big class: 100 pupils an export, 8 groups x 25 attempts each.
    QStringList bigFiles;
    for (int first = 0; first < bigClass; first += 100) {
        bigFiles << dir.filePath(QStringLiteral("big%1.mdb").arg(first));
        if (!writeExport(bigFiles.last(), first / 100, std::min(100, bigClass - first), 8 * 25, 8, first)) {
            std::fprintf(stderr, "cannot write the exports\n");
            return 1;
        }
    }
    auto big = Register::create(dir.filePath(QStringLiteral("grande.sqlite")), QStringLiteral("grande"));
    int bigRows = 0;
    const double bigImport = importAll(*big, bigFiles, &bigRows);
    std::printf("\nbig class: %d pupils, %d attempts, imported in %.1f ms\n", bigClass, bigRows, bigImport);
    bench::print("class table (query)", bench::measure(15, [&] { classTable(*big); }));
    bench::print("class table, one month (query)",
                 bench::measure(5, [&] { classTable(*big, QDate(2026, 10, 1), QDate(2026, 10, 31)); }));
    RegisterWindow window;
    window.resize(1920, 1080);
    window.show();
    QApplication::processEvents();
    window.setRegister(std::move(big));
    // The refresh and the window painted with the new rows, as the teacher
    // sees it after an import.
    auto refreshAndPaint = [&] {
        window.refresh();
        window.classView()->viewport()->repaint();
        QApplication::processEvents();
    };
    bench::print("class view refresh (query + model + paint)", bench::measure(15, refreshAndPaint));
    window.setPeriod(QDate(2026, 9, 1), QDate(2026, 12, 31));
    bench::print("same, a term chosen as period", bench::measure(5, refreshAndPaint));
    window.setPeriod(QDate(2026, 10, 1), QDate(2026, 10, 31));
    bench::print("same, a month chosen as period", bench::measure(5, refreshAndPaint));
    window.setPeriod({}, {});

    // The CSV of every attempt once the register holds csvRows of them:
    // the rest made in place, spread over the same pupils.
    Register &r = *window.currentRegister();
    const int more = csvRows - bigRows;
    if (more > 0) {
        r.database().exec(QStringLiteral(
                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                              "INSERT INTO tentativi (codice, alunno, nome, gruppo, conteggio, totale, percentuale, data, "
                              "momento, schermata, visita, computer, storico) SELECT 'extra' || i, 1 + i % ?, 'x', "
                              "'genette', i % 11, 10, (i % 11) * 10, '2026-10-01 10:00:00', "
                              "printf('2026-10-%02d %02d:%02d:00.000', 1 + i % 28, i % 24, i % 60), 'FGenette', "
                              "'extra' || i, 'pc9', 1 FROM n"),
                          {more, bigClass});
    }
    const QString csvFile = dir.filePath(QStringLiteral("tentativi.csv"));
    // Processor time beside the clock: on a shared machine the clock counts
    // the waits for the processor too.
    const std::clock_t cpu = std::clock();
    t.start();
    QFile out(csvFile);
    if (!out.open(QIODevice::WriteOnly) || !writeAttemptsCsv(r, out)) {
        std::fprintf(stderr, "cannot write the CSV\n");
        return 1;
    }
    out.close();
    const double csvMs = t.nsecsElapsed() / 1e6;
    std::printf("CSV of every attempt   %9.1f ms  (%.1f s of processor; %d attempts, %.1f MB)\n", csvMs,
                double(std::clock() - cpu) / CLOCKS_PER_SEC, std::max(csvRows, bigRows), QFileInfo(csvFile).size() / 1e6);
    return 0;
}
