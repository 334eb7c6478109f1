// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "testfiles.h"
#include "kit/activityscreen.h"
#include "kit/navigator.h"
#include "core/services.h"
#include "core/session.h"
#include "storage/resultsstore.h"
#include "shell/apphost.h"

#include <QTemporaryDir>
#include <memory>

namespace morvello::test {

// Where the contexts made from now on keep the results: the file, as a
// computer without a server does, or a database on this test program's
// PostgreSQL cluster, emptied for each context.
enum class Archive { File, Server };
void setArchive(Archive archive);
Archive currentArchive();
// Runs a test class on the file, then again on the server; without
// PostgreSQL the second run is reported skipped (a failure under CI=true).
int runOnBothArchives(QObject &tests, int argc, char **argv);

// A whole program over a temporary data folder: a fresh results database
// "permorvello/testi1.mdb" opened and handed to the host's store, scripted
// dialogs, a fixed clock (2026-03-14 10:30:00), a seeded random source,
// timers stepped by hand, a scripted voice, a disk folder for drive A: and the host with its
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
    ScriptedSpeech speech;
    Services services;
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    std::unique_ptr<AppHost> host;
    Session &session;
    Navigator *navigator = nullptr;
    bool ended = false;

    ScreenEnv env() { return host->env(); }
    ResultsStore *store() const { return host->store(); }
    // The shipped data folder (passages, poems, pictures) copied in, so that
    // screens show what a classroom sees.
    void copyShippedData();
    // The menu, the results screen and every activity of the build.
    void registerScreens() { host->registerScreens(); }

    QString base() const { return dir.path(); }
    QString dataDir() const { return dir.path() + QStringLiteral("/permorvello"); }
    QString resultsPath() const { return dataDir() + QStringLiteral("/testi1.mdb"); }
    bool onServer() const { return db && db->isServer(); }
    // A second connection to the same archive: another computer saving.
    std::unique_ptr<Database> openAnother(DbError *error = nullptr) const;
};

// What a test does to the archive behind the program's back, on either
// kind: refuse the statements of a trigger's moment ("BEFORE UPDATE ON
// tabtesti") until allowWrites(), or let the connection only read.
bool refuseWrites(Database &db, const QString &moment);
bool allowWrites(Database &db);
bool makeReadOnly(Database &db);

// The save, the registration and the report of a failed save, as the
// screens reach them: through the host, for the session's pupil.
DbError saveGroup(TestContext &t, FieldGroup group, const QVariant &count, const QVariant &total,
                  const QVariant &percent);
DbError saveGroups(TestContext &t, const QVector<GroupValues> &groups);
DbError registerNarrativeResult(TestContext &t, double right, double total);
void reportSaveFailure(TestContext &t, const DbError &error);

// Runs `answer` on the next modal dialog as soon as it is on screen, from
// inside the event loop the dialog runs: for tests of Qt's real dialogs.
// `seen` (when given) is set once it ran.
void whenModalShows(std::function<void(QWidget *)> answer, bool *seen = nullptr);

// Where pictures for a human eye go (MORVELLO_SHOTS_DIR); empty for none.
QString shotsFolder();

} // namespace morvello::test
