// Timing of the results archive with 10,000 pupils:
//  - the export of the whole archive onto an empty disk folder (template
//    copied, every row appended), beside the same copy made by the sqlite3
//    command-line tool (ATTACH + INSERT ... SELECT) as a yardstick;
//  - the refresh of the results screen (CMDAGGIORNA) for one pupil.
//
//   bench_results [PUPILS] [EXPORT_RUNS] [REFRESH_RUNS]   (10000, 7, 200)
//
// Goals: export at most 1 s, refresh at most 20 ms (medians).

#include "doubles.h"
#include "storage/export.h"
#include "results/frisultati.h"
#include "storage/resultsstore.h"
#include "shell/apphost.h"
#include "shell/screennames.h"

#include "storage/database.h"
#include "core/dialogs.h"
#include "kit/navigator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "benchdata.h"
#include "benchstats.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace morvello;
using namespace morvello::bench;

namespace {

int rowsOn(const QString &file)
{
    auto db = Database::open(file);
    if (!db)
        return -1;
    QSqlQuery q(db->connection());
    return q.exec(QStringLiteral("SELECT count(*) FROM tabtesti")) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int pupils = args.size() > 1 ? args[1].toInt() : 10000;
    const int exportRuns = args.size() > 2 ? args[2].toInt() : 7;
    const int refreshRuns = args.size() > 3 ? args[3].toInt() : 200;

    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/permorvello");
    QDir().mkpath(data);
    const QString results = data + QStringLiteral("/testi1.mdb");
    const QString exportTemplate = data + QStringLiteral("/exporttesti.mdb");
    DbError err;
    std::unique_ptr<Database> db = openArchive(dir.path());
    if (!db)
        return 1;

    // A school's archive: every group saved, the help date as "(...)".
    {
        QElapsedTimer t;
        t.start();
        db->beginTransaction();
        const QDateTime when(QDate(2026, 3, 14), QTime(10, 30, 0));
        QStringList marks;
        for (int j = 1; j < 34; ++j)
            marks << QStringLiteral("?");
        const QString insert = QStringLiteral("INSERT INTO tabtesti VALUES (NULL, %1)").arg(marks.join(QLatin1Char(',')));
        for (int i = 0; i < pupils; ++i) {
            QVariantList values{QStringLiteral("ALUNNO %1 DI PROVA").arg(i, 5, 10, QLatin1Char('0'))};
            for (int g = 0; g < 8; ++g) {
                values << double(i % 10) << 10.0 << double((i % 10) * 10)
                       << Database::toStored(g == 5 ? QVariant(QStringLiteral("(...)")) : QVariant(when.addSecs(i)));
            }
            if (!db->exec(insert, values, &err)) {
                std::fprintf(stderr, "%s\n", qPrintable(err.message));
                return 1;
            }
        }
        db->commit();
        std::printf("archive of %d pupils written in %.0f ms (%lld bytes)\n", pupils, double(t.elapsed()),
                    QFileInfo(results).size());
    }

    ScriptedDialogs dialogs;
    FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(10, 30, 0)));
    FolderDrive drive;
    Services services;
    services.baseDir = dir.path();
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.drive = &drive;
    AppHost host(services);
    host.setDatabase(db.get());
    host.navigator().setShowWindows(false);

    // Export onto a fresh, empty disk folder each run.
    int run = 0;
    QString disk;
    bool exportOk = true;
    const Stats ours = measure(
        exportRuns,
        [&] {
            disk = dir.path() + QStringLiteral("/disk%1").arg(++run);
            QDir().mkpath(disk);
            drive.setFolder(disk);
        },
        [&] {
            const ExportOutcome out = exportArchive(*host.store(), services);
            exportOk = exportOk && out.status == ExportStatus::Done && out.rowsAppended == pupils;
        });
    const int exported = rowsOn(disk + QStringLiteral("/exporttesti.mdb"));
    print("export (template copy + append all rows)", ours);
    std::printf("   rows on the last disk: %d, all runs complete: %s\n", exported, exportOk ? "yes" : "NO");

    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty()) {
        std::printf("sqlite3 command-line tool not found: no yardstick\n");
    } else {
        bool cliOk = true;
        const Stats cli = measure(
            exportRuns,
            [&] {
                disk = dir.path() + QStringLiteral("/cli%1").arg(++run);
                QDir().mkpath(disk);
            },
            [&] {
                const QString target = disk + QStringLiteral("/exporttesti.mdb");
                QFile::copy(exportTemplate, target);
                QProcess p;
                p.start(sqlite3, {target, QStringLiteral("ATTACH '%1' AS s; INSERT INTO tabtesti SELECT * FROM s.tabtesti;")
                                              .arg(results)});
                cliOk = cliOk && p.waitForFinished(60000) && p.exitCode() == 0;
            });
        print("sqlite3 CLI (template copy + ATTACH/INSERT SELECT)", cli);
        std::printf("   rows on the last disk: %d, all runs complete: %s\n",
                    rowsOn(disk + QStringLiteral("/exporttesti.mdb")), cliOk ? "yes" : "NO");
        std::printf("   ratio export / sqlite3 CLI: %.2f\n", ours.median / cli.median);
    }
    std::printf("   goal: export at most 1000 ms -> %s\n", ours.median <= 1000 ? "met" : "NOT met");

    // Refresh of the results screen for a pupil in the middle of the archive.
    host.registerResultsScreen();
    host.session().nomeStudente = QStringLiteral("ALUNNO %1 DI PROVA").arg(pupils / 2, 5, 10, QLatin1Char('0'));
    auto *screen = host.resultsScreen();
    screen->resize(1280, 1024);
    const Stats refresh = measure(refreshRuns, [] {}, [&] { screen->CMDAGGIORNA_Click(); }, 5);
    print("refresh of the results screen", refresh);
    std::printf("   shown: %s / %s %s %s %s, messages: %lld\n", qPrintable(screen->labNome()->text()),
                qPrintable(screen->cell(1, 0)), qPrintable(screen->cell(1, 1)), qPrintable(screen->cell(1, 2)),
                qPrintable(screen->cell(1, 4)), qlonglong(dialogs.messages.size()));
    std::printf("   goal: refresh at most 20 ms -> %s\n", refresh.median <= 20 ? "met" : "NOT met");

    return 0;
}
