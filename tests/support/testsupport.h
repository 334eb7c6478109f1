#pragma once
#include "platform/activityscreen.h"
#include "platform/clock.h"
#include "platform/contentcheck.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/navigator.h"
#include "platform/services.h"
#include "platform/session.h"
#include "platform/ticker.h"
#include "results/resultsstore.h"
#include "shell/apphost.h"

#include <QMap>
#include <initializer_list>
#include <QTemporaryDir>
#include <memory>

namespace morvello::test {

// A whole program over a temporary data folder: a fresh results database
// "permorvello/testi1.mdb" opened and handed to the host's store, scripted
// dialogs, a fixed clock (2026-03-14 10:30:00), a seeded random source,
// timers stepped by hand, a disk folder for drive A: and the host with its
// navigator. Ending the program only raises a flag. No screen is registered
// until a test asks (registerScreens(), or its own).
class TestContext
{
public:
    explicit TestContext(bool createDatabase = true);
    ~TestContext();

    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2026, 3, 14), QTime(10, 30, 0))};
    SeededRandom random{12345};
    ManualTickSource ticks;
    FolderDrive drive;
    Services services;
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    std::unique_ptr<AppHost> host;
    Session &session;
    Navigator *navigator = nullptr;
    bool ended = false;

    ScreenEnv env() { return host->env(); }
    ResultsStore *store() const { return host->store(); }
    // The menu, the results screen and every activity of the build.
    void registerScreens() { host->registerScreens(); }

    QString base() const { return dir.path(); }
    QString dataDir() const { return dir.path() + QStringLiteral("/permorvello"); }
    QString resultsPath() const { return dataDir() + QStringLiteral("/testi1.mdb"); }
};

// Adds a row to tabtesti with the given name and the given values by
// position; every other column is left never written.
void addRow(Database &db, const QString &name, const QMap<int, QVariant> &values = {});

// Every row of a table in table order, each value as stored (null for a
// column never written).
QVector<QVector<QVariant>> tableRows(Database &db, const QString &table);

// A file's whole content (empty when it cannot be read), and writing one.
QByteArray bytesOf(const QString &path);
bool writeBytes(const QString &path, const QByteArray &data);

// Path of a file of the repository's test data (e.g. "rtf/it-abiword.rtf").
QString dataPath(const QString &relative);

// The folder of an extra RTF corpus kept outside the repository, named by
// the environment variable MORVELLO_SHARED_CORPUS; empty when the variable
// is unset or names no folder. Checks that use it skip without it.
QString sharedCorpus();
// The skip message of those checks.
extern const char *const sharedCorpusAbsent;

// The save, the registration and the report of a failed save, as the
// screens reach them: through the host, for the session's pupil.
DbError saveGroup(TestContext &t, FieldGroup group, const QVariant &count, const QVariant &total,
                  const QVariant &percent);
DbError saveGroups(TestContext &t, const QVector<GroupValues> &groups);
DbError registerNarrativeResult(TestContext &t, double right, double total);
void reportSaveFailure(TestContext &t, const DbError &error);

// A row and the names read through a store of their own over `db`.
std::optional<QVector<QVariant>> lookupPupil(Database &db, const QString &name, DbError *error = nullptr);
QStringList allNames(Database &db, DbError *error = nullptr);


// The problems the given activities' checks find in the data folder under
// base, as the checker program would list them.
QList<CheckProblem> runChecks(const QString &base,
                              std::initializer_list<void (*)(ContentCheckRegistry &)> activities);
// The problems one per line, for a failure message.
QString allLines(const QList<CheckProblem> &problems);

} // namespace morvello::test
