#include "testsupport.h"

#include "results/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

void addRow(Database &db, const QString &name, const QMap<int, QVariant> &values)
{
    DbError err;
    auto rs = db.openRecordset(QStringLiteral("tabtesti"), &err);
    QVERIFY2(rs, qPrintable(err.message));
    rs->addNew();
    QVERIFY(rs->setValue(QStringLiteral("nome"), name, &err));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        QVERIFY2(rs->setValue(it.key(), it.value(), &err), qPrintable(err.message));
    QVERIFY2(rs->update(&err), qPrintable(err.message));
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeBytes(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QString dataPath(const QString &relative)
{
    return QDir(QStringLiteral(MORVELLO_SOURCE_DIR "/tests/data")).filePath(relative);
}

QString sharedCorpus()
{
    const QString dir = qEnvironmentVariable("MORVELLO_SHARED_CORPUS");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return QString();
    return QDir(dir).absolutePath();
}

const char *const sharedCorpusAbsent =
    "extra RTF corpus not checked: MORVELLO_SHARED_CORPUS does not name a folder (.ci/run sets it)";

} // namespace morvello::test
