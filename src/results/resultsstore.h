#pragma once
#include "platform/dberror.h"

#include <QDateTime>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

namespace morvello {

struct AppContext;
class Database;

// The eight field groups of a pupil's results row; the value is the position
// of the group's first column (count, then total, percentage, date and time).
enum class FieldGroup {
    Espositivi = 2,
    Poesia = 6,
    Figure = 10,
    Definizioni = 14,
    Sequenze = 18,
    Aiuti = 22,
    TipoSequenze = 26,
    Genette = 30,
};

// The four column names of a group, e.g. espositivi, espositivitot,
// espositivo%, espositividata.
QStringList groupColumns(FieldGroup group);

// Values one activity hands to the save protocol for one group. A null date
// means "now" (the context's clock); aiuti passes the text "(...)".
struct GroupValues {
    FieldGroup group;
    QVariant count;
    QVariant total;
    QVariant percent;
    QVariant date;
};

// Save protocol: seek the pupil's row by ctx.nomeStudente, add it on the first
// save, edit the given groups, update, all as one durable transaction.
// An empty name saves nothing and returns no error.
DbError saveGroups(AppContext &ctx, const QVector<GroupValues> &groups);
DbError saveGroup(AppContext &ctx, FieldGroup group, const QVariant &count, const QVariant &total,
                  const QVariant &percent);

// Appends a row to studenti (nome, "Testi narrativi", right, running total);
// an empty name writes nothing.
DbError registerNarrativeResult(AppContext &ctx, double right, double total);

// The pupil's row by name (case ignored): the 34 values by position, or
// nullopt when there is none (error set on engine failure).
std::optional<QVector<QVariant>> lookupPupil(Database &db, const QString &name, DbError *error = nullptr);

// Every nome of tabtesti in table order.
QStringList allNames(Database &db, DbError *error = nullptr);

// Tells the pupil, in Italian, that a result could not be saved and why.
void reportSaveFailure(AppContext &ctx, const DbError &error);

} // namespace morvello
