// SPDX-License-Identifier: GPL-3.0-or-later
#include "schema.h"

#include "storage/database.h"
#include "core/resultgroups.h"

#include <QRandomGenerator>

namespace morvello::schema {

namespace {

QString quoted(const QString &identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

const QString kCount = QStringLiteral("DOUBLE");
const QString kSmall = QStringLiteral("SMALLINT"); // written as 16-bit integers
const QString kPercent = QStringLiteral("DOUBLE"); // whole as a rule; the help percentage keeps its fraction
const QString kDate = QStringLiteral("DATETIME");  // ISO text, or "(...)"

QVector<Column> buildTabtesti()
{
    QVector<Column> cols = {
        {QStringLiteral("id"), QStringLiteral("INTEGER")},
        {QStringLiteral("nome"), QStringLiteral("TEXT")},
    };
    const QString numberTypes[3] = {kCount, kCount, kPercent};
    for (const ResultGroup &g : resultGroups()) {
        for (int k = 0; k < 3; ++k)
            cols.append({g.columns[k], g.int16[k] ? kSmall : numberTypes[k]});
        cols.append({g.columns[GroupValue::Date], kDate});
    }
    return cols;
}

// Column list of tabtesti; the row key differs between the results file
// (automatic, one per row) and the export file (a plain copied value, since
// repeated exports append the same rows again).
QString tabtestiTable(bool resultsFile)
{
    QStringList defs;
    const QVector<Column> &cols = tabtestiColumns();
    for (int i = 0; i < cols.size(); ++i) {
        QString def = quoted(cols.at(i).name) + QLatin1Char(' ') + cols.at(i).sqlType;
        if (i == 0 && resultsFile)
            def += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        defs << def;
    }
    return QStringLiteral("CREATE TABLE \"tabtesti\" (%1)").arg(defs.join(QStringLiteral(", ")));
}

} // namespace

const QVector<Column> &tabtestiColumns()
{
    static const QVector<Column> columns = buildTabtesti();
    return columns;
}

const QVector<Column> &studentiColumns()
{
    static const QVector<Column> columns = {
        {QStringLiteral("nome"), QStringLiteral("TEXT")},
        {QStringLiteral("argomento"), QStringLiteral("TEXT")},
        {QStringLiteral("rispgiuste"), QStringLiteral("NUMERIC")},
        {QStringLiteral("rispsbagliate"), QStringLiteral("NUMERIC")},
    };
    return columns;
}

QStringList resultsDatabaseStatements()
{
    QStringList defs;
    for (const Column &c : studentiColumns())
        defs << quoted(c.name) + QLatin1Char(' ') + c.sqlType;
    return {
        // A rollback journal: whenever the program is not writing, the file
        // alone holds the archive, so it can be copied, restored from a
        // backup or kept on a network share.
        QStringLiteral("PRAGMA journal_mode=DELETE"),
        tabtestiTable(true),
        nomeIndexStatement(),
        QStringLiteral("CREATE TABLE \"studenti\" (%1)").arg(defs.join(QStringLiteral(", "))),
        historyTableStatements().at(0),
        historyTableStatements().at(1),
        preferencesTableStatement(),
        QStringLiteral("PRAGMA user_version=%1").arg(kResultsFileVersion),
        archiveIdStatement(newArchiveId()),
    };
}

const QVector<Column> &tentativiColumns()
{
    static const QVector<Column> columns = {
        {QStringLiteral("codice"), QStringLiteral("TEXT")},      {QStringLiteral("nome"), QStringLiteral("TEXT")},
        {QStringLiteral("gruppo"), QStringLiteral("TEXT")},      {QStringLiteral("conteggio"), kCount},
        {QStringLiteral("totale"), kCount},                      {QStringLiteral("percentuale"), kPercent},
        {QStringLiteral("data"), kDate},                         {QStringLiteral("momento"), kDate},
        {QStringLiteral("schermata"), QStringLiteral("TEXT")},   {QStringLiteral("visita"), QStringLiteral("TEXT")},
        {QStringLiteral("computer"), QStringLiteral("TEXT")},
    };
    return columns;
}

QStringList historyTableStatements(const QString &schemaName)
{
    QStringList defs;
    for (const Column &c : tentativiColumns())
        defs << quoted(c.name) + QLatin1Char(' ') + c.sqlType + (c.name == QLatin1String("codice") ? QStringLiteral(" NOT NULL") : QString());
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1.\"tentativi\" (%2)").arg(quoted(schemaName), defs.join(QStringLiteral(", "))),
        QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1.\"tentativi_codice\" ON \"tentativi\" (\"codice\")")
            .arg(quoted(schemaName)),
    };
}

QString preferencesTableStatement()
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS \"preferenze\" (\"nome\" TEXT NOT NULL PRIMARY KEY COLLATE %1, "
                          "\"testoleggibile\" INTEGER NOT NULL DEFAULT 0)")
        .arg(Database::nameCollation());
}

QString newRowCode()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString code;
    for (quint32 w : words)
        code += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    return code;
}

qint32 newArchiveId()
{
    qint32 id = 0;
    while (id == 0)
        id = qint32(QRandomGenerator::system()->generate());
    return id;
}

QString archiveIdStatement(qint32 id)
{
    return QStringLiteral("PRAGMA application_id=%1").arg(id);
}

QString nomeIndexStatement()
{
    // One row per pupil even when two copies of the program save at once;
    // "Ospite" and "OSPITE" are the same pupil.
    return QStringLiteral("CREATE UNIQUE INDEX \"nome\" ON \"tabtesti\" (\"nome\" COLLATE %1)")
        .arg(Database::nameCollation());
}

QStringList exportTemplateStatements()
{
    // Plain table only: no private collation and no unique key, so that a
    // teacher's tools can open and extend the file and exports can repeat.
    // The export file travels on a removable disk as one file: rollback
    // journal, nothing left beside it after close.
    return QStringList{QStringLiteral("PRAGMA journal_mode=DELETE"), tabtestiTable(false)} + historyTableStatements();
}

QString quotedName(const QString &identifier)
{
    return quoted(identifier);
}

QString serverNameKey(const QString &value)
{
    // translate() is the same on every server whatever its locale, as the
    // file's NOCASE is on every computer.
    return QStringLiteral("translate(%1, 'abcdefghijklmnopqrstuvwxyz', 'ABCDEFGHIJKLMNOPQRSTUVWXYZ')").arg(value);
}

QString serverOrderColumn(const QString &table)
{
    return table == QLatin1String("tabtesti") ? QStringLiteral("id") : QStringLiteral("ordine");
}

namespace {

QString serverType(const Column &c)
{
    if (c.sqlType == kSmall)
        return QStringLiteral("smallint");
    if (c.sqlType == QLatin1String("DOUBLE") || c.sqlType == QLatin1String("NUMERIC"))
        return QStringLiteral("double precision");
    return QStringLiteral("text"); // names, codes, and dates as the file writes them
}

QString serverTable(const QString &name, const QVector<Column> &cols, bool withOrder)
{
    QStringList defs;
    for (const Column &c : cols) {
        if (c.name == QLatin1String("id"))
            defs << QStringLiteral("\"id\" bigserial PRIMARY KEY");
        else
            defs << quoted(c.name) + QLatin1Char(' ') + serverType(c)
                        + (c.name == QLatin1String("codice") || (c.name == QLatin1String("nome") && name == QLatin1String("tabtesti"))
                               ? QStringLiteral(" NOT NULL")
                               : QString());
    }
    if (withOrder)
        defs << QStringLiteral("\"ordine\" bigserial");
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(name), defs.join(QStringLiteral(", ")));
}

} // namespace

QStringList serverSchemaStatements()
{
    return {
        QStringLiteral("CREATE TABLE \"morvello_schema\" (\"versione\" integer NOT NULL)"),
        QStringLiteral("INSERT INTO \"morvello_schema\" VALUES (%1)").arg(kServerSchemaVersion),
        serverTable(QStringLiteral("tabtesti"), tabtestiColumns(), false),
        QStringLiteral("CREATE UNIQUE INDEX \"tabtesti_nome\" ON \"tabtesti\" (%1)").arg(serverNameKey(QStringLiteral("\"nome\""))),
        serverTable(QStringLiteral("studenti"), studentiColumns(), true),
        serverTable(QStringLiteral("tentativi"), tentativiColumns(), true),
        QStringLiteral("ALTER TABLE \"tentativi\" ADD PRIMARY KEY (\"codice\")"),
        // The newest save of a pupil's group, asked when pending rows arrive.
        QStringLiteral("CREATE INDEX \"tentativi_gruppo\" ON \"tentativi\" (%1, \"gruppo\", \"momento\")")
            .arg(serverNameKey(QStringLiteral("\"nome\""))),
    };
}

QStringList serverGrantStatements(const QString &pupilsRole, const QString &teacherRole)
{
    const QString pupils = quoted(pupilsRole);
    const QString teacher = quoted(teacherRole);
    return {
        QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA public FROM PUBLIC"),
        QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC"),
        QStringLiteral("GRANT USAGE ON SCHEMA public TO %1, %2").arg(pupils, teacher),
        QStringLiteral("GRANT SELECT, INSERT, UPDATE ON \"tabtesti\", \"tentativi\" TO %1").arg(pupils),
        QStringLiteral("GRANT SELECT, INSERT ON \"studenti\" TO %1").arg(pupils),
        QStringLiteral("GRANT SELECT ON \"morvello_schema\" TO %1").arg(pupils),
        QStringLiteral("GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO %1").arg(pupils),
        QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1").arg(teacher),
    };
}

} // namespace morvello::schema
