// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's register on a class's term: exports of several computers,
// each with pupils and their history rows.
//   bench_register [exports=30] [pupils=30] [rows per pupil=200]
// Prints the first import of every export into a new register, the same
// imports again (nothing new), and, for comparison, the sqlite3 tool doing
// the same ATTACH / INSERT OR IGNORE work on the same files in the same run;
// then the class table and the CSV of every attempt of the register.

#include "register/classtable.h"
#include "register/register.h"
#include "register/registercsv.h"
#include "register/registerimport.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

using namespace morvello;

namespace {

bool writeExport(const QString &path, int computer, int pupils, int rows)
{
    if (!Database::create(path, schema::exportTemplateStatements()))
        return false;
    auto db = Database::open(path);
    if (!db || !db->beginTransaction())
        return false;
    QSqlQuery q(db->connection());
    q.prepare(QStringLiteral("INSERT INTO tentativi (codice, nome, gruppo, conteggio, totale, percentuale, data, momento, "
                             "schermata, visita, computer) VALUES (?, ?, 'genette', ?, 10, ?, ?, ?, 'FGenette', ?, ?)"));
    const QDateTime start(QDate(2026, 9, 14), QTime(8, 0));
    for (int p = 0; p < pupils; ++p) {
        for (int r = 0; r < rows; ++r) {
            const QDateTime when = start.addSecs(qint64(r) * 3600 + p * 60);
            const int right = (p + r) % 11;
            q.bindValue(0, schema::newRowCode());
            // Every computer has the whole class, as with pupils who move.
            q.bindValue(1, QStringLiteral("ALUNNO %1 DEL PC %2").arg(p).arg(computer % 3));
            q.bindValue(2, right);
            q.bindValue(3, right * 10);
            q.bindValue(4, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            q.bindValue(5, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
            q.bindValue(6, schema::newRowCode());
            q.bindValue(7, QStringLiteral("pc%1").arg(computer));
            if (!q.exec())
                return false;
        }
    }
    q.finish();
    return db->commit();
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
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int exports = args.size() > 1 ? args.at(1).toInt() : 30;
    const int pupils = args.size() > 2 ? args.at(2).toInt() : 30;
    const int rows = args.size() > 3 ? args.at(3).toInt() : 200;
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

    auto reg = Register::create(dir.filePath(QStringLiteral("registro.sqlite")), QStringLiteral("bench"));
    int firstRows = 0;
    int againRows = 0;
    const double first = importAll(*reg, files, &firstRows);
    const double again = importAll(*reg, files, &againRows);
    std::printf("sqlite3 tool           %9.1f ms\n", toolMs);
    std::printf("first import           %9.1f ms  (%d rows, %.2fx the tool; goal <= 2x)\n", first, firstRows,
                first / toolMs);
    std::printf("same files again       %9.1f ms  (%d rows, %.2fx the first; goal <= 0.5x)\n", again, againRows,
                again / first);

    t.start();
    const QVector<PupilLine> lines = classTable(*reg);
    std::printf("class table            %9.1f ms  (%d pupils)\n", t.nsecsElapsed() / 1e6, int(lines.size()));
    t.start();
    const QVector<PupilAttempt> all = attemptsOf(*reg, 0);
    const QByteArray csv = attemptsCsv(all);
    const double csvMs = t.nsecsElapsed() / 1e6;
    std::printf("CSV of every attempt   %9.1f ms  (%d attempts, %.1f s per million)\n", csvMs, int(all.size()),
                csvMs / std::max(1, int(all.size())) * 1000.0);
    return 0;
}
