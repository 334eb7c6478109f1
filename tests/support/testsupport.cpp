#include "testsupport.h"

#include "results/schema.h"

#include <QDir>
#include <QtTest>

namespace morvello::test {

TestContext::TestContext(bool createDatabase)
{
    QDir().mkpath(dataDir());
    ctx.baseDir = dir.path();
    ctx.dialogs = &dialogs;
    ctx.clock = &clock;
    ctx.random = &random;
    navigator = std::make_unique<Navigator>(ctx);
    ctx.navigator = navigator.get();
    ctx.quit = [this] { ended = true; };
    if (createDatabase) {
        DbError err;
        if (!Database::create(resultsPath(), schema::resultsDatabaseStatements(), &err))
            qFatal("cannot create test database: %s", qPrintable(err.message));
        db = Database::open(resultsPath(), &err);
        if (!db)
            qFatal("cannot open test database: %s", qPrintable(err.message));
        ctx.dbTesti = db.get();
    }
}

TestContext::~TestContext()
{
    navigator.reset();
    ctx.dbTesti = nullptr;
    db.reset();
}

QString sharedPath(const QString &relative)
{
    return QDir(QStringLiteral(MORVELLO_SHARED_DIR)).filePath(relative);
}

} // namespace morvello::test
