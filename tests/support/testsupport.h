#pragma once
#include "platform/appcontext.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/navigator.h"

#include <QMap>
#include <QTemporaryDir>
#include <memory>

namespace morvello::test {

// A whole program context over a temporary data folder: a fresh results
// database "permorvello/testi1.mdb" opened as dbTesti, scripted dialogs, a
// fixed clock (2026-03-14 10:30:00), a seeded random source and a navigator.
// endProgram() only raises a flag.
class TestContext
{
public:
    explicit TestContext(bool createDatabase = true);
    ~TestContext();

    AppContext ctx;
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2026, 3, 14), QTime(10, 30, 0))};
    SeededRandom random{12345};
    std::unique_ptr<Navigator> navigator;
    std::unique_ptr<Database> db;
    QTemporaryDir dir;
    bool ended = false;

    QString base() const { return dir.path(); }
    QString dataDir() const { return dir.path() + QStringLiteral("/permorvello"); }
    QString resultsPath() const { return dataDir() + QStringLiteral("/testi1.mdb"); }
};

// Adds a row to tabtesti with the given name and the given values by
// position; every other column is left never written.
void addRow(Database &db, const QString &name, const QMap<int, QVariant> &values = {});

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

} // namespace morvello::test
