#include "testsupport.h"

#include "results/schema.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QFile>
#include <QFileInfo>
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
    const QVector<schema::Column> &cols = schema::tabtestiColumns();
    QStringList names{QStringLiteral("\"nome\"")};
    QStringList marks{QStringLiteral("?")};
    QVariantList bound{name};
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        QVERIFY(it.key() > 1 && it.key() < cols.size());
        names << QLatin1Char('"') + cols.at(it.key()).name + QLatin1Char('"');
        marks << QStringLiteral("?");
        bound << Database::toStored(it.value());
    }
    DbError err;
    QVERIFY2(db.exec(QStringLiteral("INSERT INTO \"tabtesti\" (%1) VALUES (%2)")
                         .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                     bound, &err),
             qPrintable(err.message));
}

QVector<QVector<QVariant>> tableRows(Database &db, const QString &table)
{
    QVector<QVector<QVariant>> out;
    // Date and time columns read back as dates, as the program reads them.
    QVector<bool> dates;
    {
        QSqlQuery info(db.connection());
        if (!info.exec(QStringLiteral("SELECT type FROM pragma_table_info('%1')").arg(table)))
            return out;
        while (info.next())
            dates << info.value(0).toString().toUpper().contains(QLatin1String("DATE"));
    }
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
        return out;
    while (q.next()) {
        QVector<QVariant> row;
        for (int j = 0; j < q.record().count(); ++j) {
            const QVariant v = q.isNull(j) ? QVariant() : q.value(j);
            row << (dates.value(j) ? Database::fromStoredDate(v) : v);
        }
        out << row;
    }
    return out;
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

QString sharedCorpus()
{
    const QString dir = qEnvironmentVariable("MORVELLO_SHARED_CORPUS");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return QString();
    return QDir(dir).absolutePath();
}

const char *const sharedCorpusAbsent =
    "extra RTF corpus not checked: MORVELLO_SHARED_CORPUS does not name a folder (.ci/run sets it)";


QList<CheckProblem> runChecks(const QString &base,
                              std::initializer_list<void (*)(ContentCheckRegistry &)> activities)
{
    ContentCheckRegistry registry;
    for (auto add : activities)
        add(registry);
    CheckReport report(base);
    registry.run(report);
    return report.problems();
}

QString allLines(const QList<CheckProblem> &problems)
{
    QStringList lines;
    for (const CheckProblem &p : problems)
        lines.append(problemLine(p));
    return lines.join(QLatin1Char('\n'));
}

} // namespace morvello::test
