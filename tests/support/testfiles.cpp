// SPDX-License-Identifier: GPL-3.0-or-later
#include "testfiles.h"

#include "storage/resultsstore.h"
#include "storage/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace morvello::test {

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
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (db.isServer()) {
        // The server keeps dates as text, as the file does; its tables end
        // with the order they were written in, which is not a column of the file.
        if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY \"%2\"").arg(table, schema::serverOrderColumn(table))))
            return out;
        QSet<QString> dateColumns{QStringLiteral("data"), QStringLiteral("momento")};
        for (const schema::Column &c : schema::tabtestiColumns())
            if (c.sqlType == QLatin1String("DATETIME"))
                dateColumns.insert(c.name);
        for (int j = 0; j < q.record().count(); ++j)
            dates << dateColumns.contains(q.record().fieldName(j));
    } else {
        QSqlQuery info(db.connection());
        if (!info.exec(QStringLiteral("SELECT type FROM pragma_table_info('%1')").arg(table)))
            return out;
        while (info.next())
            dates << info.value(0).toString().toUpper().contains(QLatin1String("DATE"));
        if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
            return out;
    }
    const int shown = db.isServer() && table != QLatin1String("tabtesti") ? q.record().count() - 1 : q.record().count();
    while (q.next()) {
        QVector<QVariant> row;
        for (int j = 0; j < shown; ++j) {
            QVariant v = q.isNull(j) ? QVariant() : q.value(j);
            if (v.typeId() == QMetaType::Int)
                v = qlonglong(v.toInt());
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

QString verdictOf(const Judgement &j)
{
    switch (j.kind) {
    case Judgement::Kind::Ignored: return QStringLiteral("ignored");
    case Judgement::Kind::Refused: return QStringLiteral("refused: ") + j.message;
    case Judgement::Kind::Judged: break;
    }
    if (!j.right)
        return QStringLiteral("judged");
    return *j.right ? QStringLiteral("right") : QStringLiteral("wrong");
}

} // namespace morvello::test
