#include "resultsstore.h"

#include "platform/appcontext.h"
#include "platform/database.h"
#include "platform/numeric.h"
#include "schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace morvello {

namespace {

const QString kTabtesti = QStringLiteral("tabtesti");
const QString kNome = QStringLiteral("nome");

DbError notOpen()
{
    return DbError::make(DbErrorCode::NotOpen, QStringLiteral("L'archivio dei risultati non è aperto."));
}

// The totals of the two rhetorical-figure groups and of the helps are kept as
// 16-bit integers; every other count and total as a double.
bool isInt16Column(const QString &name)
{
    return name == QLatin1String("figuresb") || name == QLatin1String("definizionisb")
        || name == QLatin1String("aiutitot");
}

QVariant asDouble(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QVariant();
    return QVariant(v.toDouble());
}

QVariant asStored(const QString &column, const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QVariant();
    if (isInt16Column(column))
        return QVariant::fromValue<qint16>(toInt16(v.toDouble()));
    return asDouble(v);
}

bool writeGroups(AppContext &ctx, Recordset &rs, const QVector<GroupValues> &groups, DbError *error)
{
    const QDateTime now = ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
    for (const GroupValues &g : groups) {
        const QStringList cols = groupColumns(g.group);
        QVariant date = g.date;
        if (date.isNull() || !date.isValid())
            date = g.group == FieldGroup::Aiuti ? QVariant(QStringLiteral("(...)")) : QVariant(now);
        if (!rs.setValue(cols.at(0), asDouble(g.count), error)
            || !rs.setValue(cols.at(1), asStored(cols.at(1), g.total), error)
            || !rs.setValue(cols.at(2), asDouble(g.percent), error) || !rs.setValue(cols.at(3), date, error))
            return false;
    }
    return true;
}

// Seek the pupil's row, add it when missing, then edit the groups.
// Returns false with *error set on failure; *nothing set when the name is
// empty and there is no row to edit.
bool locateOrCreateAndWrite(AppContext &ctx, const QVector<GroupValues> &groups, bool *nothing, DbError *error)
{
    Database &db = *ctx.dbTesti;
    const QString &name = ctx.nomeStudente;
    std::unique_ptr<Recordset> rs = db.openRecordset(kTabtesti, error);
    if (!rs || !rs->setIndex(kNome, error) || !rs->seek(QStringLiteral("="), name, error))
        return false;
    if (rs->noMatch()) {
        if (name.isEmpty()) {
            *nothing = true;
            return true;
        }
        rs->addNew();
        if (!rs->setValue(kNome, name, error))
            return false;
        if (rs->update(error)) {
            if (!rs->moveToLastModified(error))
                return false;
        } else {
            // Another copy of the program added the same pupil first: its
            // row is the one to edit.
            if (error->number != DbErrorCode::DuplicateKey)
                return false;
            const DbError duplicate = *error;
            if (!rs->seek(QStringLiteral("="), name, error))
                return false;
            if (rs->noMatch()) {
                *error = duplicate;
                return false;
            }
        }
    }
    return rs->edit(error) && writeGroups(ctx, *rs, groups, error) && rs->update(error);
}

} // namespace

QStringList groupColumns(FieldGroup group)
{
    const int first = static_cast<int>(group);
    const QVector<schema::Column> &cols = schema::tabtestiColumns();
    QStringList names;
    for (int i = first; i < first + 4 && i < cols.size(); ++i)
        names << cols.at(i).name;
    return names;
}

DbError saveGroups(AppContext &ctx, const QVector<GroupValues> &groups)
{
    // The program never creates a row without a name, so the seek for an
    // empty one cannot match: nothing to write, and no lock to take.
    if (ctx.nomeStudente.isEmpty())
        return DbError{};
    if (!ctx.dbTesti || !ctx.dbTesti->isOpen())
        return notOpen();
    Database &db = *ctx.dbTesti;
    DbError error;
    // Insert and edit go to the disk together or not at all.
    const bool own = !db.inTransaction();
    if (own && !db.beginTransaction(&error))
        return error;
    bool nothing = false;
    if (!locateOrCreateAndWrite(ctx, groups, &nothing, &error)) {
        if (own)
            db.rollback();
        return error;
    }
    if (own) {
        if (nothing)
            db.rollback();
        else if (!db.commit(&error))
            return error;
    }
    return DbError{};
}

DbError saveGroup(AppContext &ctx, FieldGroup group, const QVariant &count, const QVariant &total,
                  const QVariant &percent)
{
    return saveGroups(ctx, {GroupValues{group, count, total, percent, QVariant()}});
}

DbError registerNarrativeResult(AppContext &ctx, double right, double total)
{
    if (ctx.nomeStudente.isEmpty())
        return DbError{};
    if (!ctx.dbTesti || !ctx.dbTesti->isOpen())
        return notOpen();
    DbError error;
    std::unique_ptr<Recordset> rs = ctx.dbTesti->openRecordset(QStringLiteral("studenti"), &error);
    if (!rs)
        return error;
    rs->addNew();
    if (!rs->setValue(QStringLiteral("rispgiuste"), right, &error)
        || !rs->setValue(QStringLiteral("rispsbagliate"), total, &error)
        || !rs->setValue(kNome, ctx.nomeStudente, &error)
        || !rs->setValue(QStringLiteral("argomento"), QStringLiteral("Testi narrativi"), &error)
        || !rs->update(&error))
        return error;
    return DbError{};
}

std::optional<QVector<QVariant>> lookupPupil(Database &db, const QString &name, DbError *error)
{
    DbError local;
    DbError *err = error ? error : &local;
    *err = DbError{};
    std::unique_ptr<Recordset> rs = db.openRecordset(kTabtesti, err);
    if (!rs || !rs->setIndex(kNome, err) || !rs->seek(QStringLiteral("="), name, err) || rs->noMatch())
        return std::nullopt;
    QVector<QVariant> row(rs->fieldCount());
    for (int i = 0; i < row.size(); ++i) {
        row[i] = rs->value(i, err);
        if (err->isError())
            return std::nullopt;
    }
    return row;
}

QStringList allNames(Database &db, DbError *error)
{
    if (error)
        *error = DbError{};
    QStringList names;
    if (!db.isOpen()) {
        if (error)
            *error = notOpen();
        return names;
    }
    // One query in table order: the menu's list of a whole school's pupils
    // fills at once.
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT \"nome\" FROM \"tabtesti\" ORDER BY rowid"))) {
        if (error)
            *error = db.translate(QStringLiteral("la lettura dei nomi"), q.lastError().nativeErrorCode().toInt(),
                                  q.lastError().databaseText());
        return names;
    }
    while (q.next())
        names << q.value(0).toString();
    return names;
}

void reportSaveFailure(AppContext &ctx, const DbError &error)
{
    if (!error.isError())
        return;
    const QString text = QStringLiteral("Il risultato non è stato salvato nell'archivio.\n\n") + error.message;
    if (ctx.dialogs)
        ctx.dialogs->message(text);
    else
        qWarning("%s", qPrintable(text));
}

} // namespace morvello
