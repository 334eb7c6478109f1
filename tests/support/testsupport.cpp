#include "testsupport.h"

#include "results/schema.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace morvello::test {

static Services makeServices(TestContext &t)
{
    Services s;
    s.dialogs = &t.dialogs;
    s.clock = &t.clock;
    s.random = &t.random;
    s.ticks = &t.ticks;
    s.drive = &t.drive;
    return s;
}

TestContext::TestContext(bool createDatabase)
    : services(makeServices(*this)), host(std::make_unique<AppHost>(services)), session(host->session())
{
    QDir().mkpath(dataDir());
    services.baseDir = dir.path();
    drive.setFolder(dir.path() + QStringLiteral("/floppy"));
    navigator = &host->navigator();
    host->setEnd([this] { ended = true; });
    if (createDatabase) {
        DbError err;
        if (!Database::create(resultsPath(), schema::resultsDatabaseStatements(), &err))
            qFatal("cannot create test database: %s", qPrintable(err.message));
        db = Database::open(resultsPath(), &err);
        if (!db)
            qFatal("cannot open test database: %s", qPrintable(err.message));
        host->setDatabase(db.get());
    }
}

TestContext::~TestContext()
{
    host.reset();
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

QString sharedPath(const QString &relative)
{
    return QDir(QStringLiteral(MORVELLO_SHARED_DIR)).filePath(relative);
}

DbError saveGroup(TestContext &t, FieldGroup group, const QVariant &count, const QVariant &total,
                  const QVariant &percent)
{
    return t.host->save({GroupValues{group, count, total, percent, QVariant()}});
}

DbError saveGroups(TestContext &t, const QVector<GroupValues> &groups)
{
    return t.host->save(groups);
}

DbError registerNarrativeResult(TestContext &t, double right, double total)
{
    return t.host->appendStudentRow(QStringLiteral("Testi narrativi"), right, total);
}

void reportSaveFailure(TestContext &t, const DbError &error)
{
    if (error.isError())
        t.services.tell(ActivityScreen::saveFailedText(error));
}

std::optional<QVector<QVariant>> lookupPupil(Database &db, const QString &name, DbError *error)
{
    ResultsStore store(db);
    return store.pupilRow(name, error);
}

QStringList allNames(Database &db, DbError *error)
{
    ResultsStore store(db);
    return store.names(error);
}

} // namespace morvello::test
