// Results store timings on a school-sized archive: 10,000 pupils.
//   bench_store [pupils] [saves]
// Prints medians (and the slower tail) of one save through the results store,
// a lookup, the names list, a walk of all rows and the menu's list fill, for
// the file's own journal mode (rollback journal, synchronous=FULL) and, for
// comparison, the write-ahead log earlier versions used; and the start-up's
// full integrity check. The load average is printed with the figures: the
// flushes to disk dominate a save on a busy machine.

#include "doubles.h"
#include "core/clock.h"
#include "storage/database.h"
#include "core/dialogs.h"
#include "storage/datafolder.h"
#include "storage/resultsstore.h"
#include "storage/schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace morvello;

namespace {

struct Stats {
    double median = 0, p90 = 0, max = 0;
};

Stats stats(QVector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    Stats s;
    if (ms.isEmpty())
        return s;
    s.median = ms.at(ms.size() / 2);
    s.p90 = ms.at(std::min<int>(ms.size() - 1, int(ms.size() * 0.9)));
    s.max = ms.last();
    return s;
}

Stats timeIt(int runs, const std::function<void(int)> &f)
{
    QVector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        f(i);
        ms << t.nsecsElapsed() / 1e6;
    }
    return stats(ms);
}

void print(const char *what, const Stats &s)
{
    std::printf("%-52s median %8.3f ms   p90 %8.3f ms   max %8.3f ms\n", what, s.median, s.p90, s.max);
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

QString pupil(int i)
{
    return QStringLiteral("COGNOME%1 NOME%2").arg(i, 5, 10, QLatin1Char('0')).arg(i % 97);
}

bool fill(Database &db, int pupils)
{
    if (!db.beginTransaction())
        return false;
    const QString when = QStringLiteral("2026-03-01 09:00:00");
    for (int i = 0; i < pupils; ++i) {
        if (!db.exec(QStringLiteral("INSERT INTO tabtesti (nome, espositivi, espositivitot, \"espositivo%\", "
                                    "espositividata, aiuti, aiutitot, \"aiuti%\", aiutidata) "
                                    "VALUES (?, ?, 10, ?, ?, 1, 3, 33.3, '(...)')"),
                     {pupil(i), i % 11, (i % 11) * 10, when}))
            return false;
    }
    return db.commit();
}

// Every save carries new values (SQLite skips rewriting a row whose content
// does not change, which would make a save look free).
void saves(const char *label, ResultsStore &store, FixedClock &clock, int pupils, int count)
{
    static int serial = 0;
    QRandomGenerator rng(7);
    QVector<int> order(count);
    for (int &n : order)
        n = int(rng.bounded(pupils));
    int failures = 0;
    const Stats s = timeIt(count, [&](int i) {
        const QString name = pupil(order.at(i)).toLower(); // the lookup ignores case
        clock.set(clock.now().addSecs(1));
        const DbError e = store.save(name, {GroupValues{FieldGroup::Genette, ++serial, 7, 42, {}}}, clock.now());
        if (e.isError() && !failures++)
            std::printf("   first failure: %s\n", qPrintable(e.message));
    });
    print(label, s);
    if (failures)
        std::printf("   (%d saves failed)\n", failures);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pupils = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int count = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 200;

    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("permorvello")));
    if (prepareDataFolder(dir.path()).isError())
        return 1;
    {
        auto db = Database::open(dir.filePath(QStringLiteral("permorvello/testi1.mdb")));
        if (!db || !fill(*db, pupils))
            return 1;
    }
    std::printf("%d pupils, %d saves; data in %s; load average %s\n\n", pupils, count, qPrintable(dir.path()),
                qPrintable(loadAverage()));

    DbError err;
    std::unique_ptr<Database> db;
    print("open + check (openResultsDatabase)", timeIt(5, [&](int) {
              db.reset();
              db = openResultsDatabase(dir.path(), &err);
          }));
    if (!db) {
        std::printf("open failed: %s\n", qPrintable(err.message));
        return 1;
    }

    print("full integrity check (indexes against tables)", timeIt(9, [&](int) { db->checkIntegrity(); }));

    FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(10, 30)));
    ResultsStore store(*db);

    {
        QSqlQuery q(db->connection());
        q.exec(QStringLiteral("PRAGMA journal_mode"));
        q.next();
        std::printf("journal mode of the results file: %s\n", qPrintable(q.value(0).toString()));
    }
    saves("save, existing pupil (find, update, durable commit)", store, clock, pupils, count);
    {
        int n = 0;
        print("save, new pupil (find, insert, update, commit)", timeIt(std::max(20, count / 4), [&](int) {
                  store.save(QStringLiteral("NUOVO ALUNNO %1").arg(n++), {GroupValues{FieldGroup::Poesia, 3, 6, 48, {}}},
                             clock.now());
              }));
    }
    print("appendStudentRow (append to studenti)", timeIt(std::max(20, count / 4), [&](int i) {
              store.appendStudentRow(pupil(i), QStringLiteral("Testi narrativi"), 3, 4);
          }));
    print("pupilRow (find + 34 values)", timeIt(count, [&](int i) {
              store.pupilRow(pupil((i * 7919) % pupils).toLower());
          }));
    QStringList names;
    print("names", timeIt(20, [&](int) { names = store.names(); }));
    print("names + QListWidget fill (menu list)", timeIt(10, [&](int) {
              QListWidget list;
              list.addItems(store.names());
          }));
    print("forEachRow, all 34 values", timeIt(5, [&](int) {
              int n = 0;
              store.forEachRow([&n](const QVector<QVariant> &row) {
                  n += int(row.size());
                  return true;
              });
              Q_UNUSED(n);
          }));

    // What the program itself spends on a save, the flushes to disk aside:
    // on a busy disk those dominate every figure above.
    if (db->exec(QStringLiteral("PRAGMA synchronous=OFF"))) {
        saves("save, rollback journal, no flush (statements alone)", store, clock, pupils, count);
        db->exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }
    // The same saves with the write-ahead log of earlier versions, for
    // comparison; the file goes back to its rollback journal afterwards.
    if (db->exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        std::printf("\njournal mode switched to: wal\n");
        saves("save, existing pupil, write-ahead log", store, clock, pupils, count);
        db->exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        saves("save, existing pupil, rollback journal (again)", store, clock, pupils, count);
    }
    std::printf("\nnames listed: %d; load average at the end %s\n", int(names.size()), qPrintable(loadAverage()));
    store.close();
    return 0;
}
