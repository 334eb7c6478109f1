#pragma once
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>
#include <array>

namespace morvello {

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

// Which of a group's four values: count, total, percentage, date and time.
enum GroupValue { Count = 0, Total = 1, Percent = 2, Date = 3 };

// One result group: everything the schema, the save, the results grid, the
// printout, the export and the tests need to know of it. resultGroups() is
// the one description; nothing else lists the groups.
struct ResultGroup
{
    FieldGroup group;
    std::array<QString, 4> columns; // exact column names, "%" included
    QString gridCaption;            // first cell of the group's row on the results screen
    QString printCaption;           // label of the group's line on the printout
    std::array<bool, 4> int16;      // values kept as 16-bit integers
    // Text written into the date column instead of the date and time of the
    // save (the helps keep "(...)"); empty for the others.
    QString dateText;

    int firstColumn() const { return static_cast<int>(group); }
};

// The eight groups in column order.
const QVector<ResultGroup> &resultGroups();
const ResultGroup &resultGroup(FieldGroup group);

// A score as an activity keeps it: right answers, total and the whole
// percentage it saves. Screens show it through counterText().
struct Score
{
    double right = 0;
    double total = 0;
    double percent = 0;
    bool operator==(const Score &o) const { return right == o.right && total == o.total && percent == o.percent; }
};

// Values one activity hands to the save for one group. A null date means
// "now"; a group with a fixed date text writes that text instead.
struct GroupValues
{
    FieldGroup group;
    QVariant count;
    QVariant total;
    QVariant percent;
    QVariant date;

    static GroupValues of(FieldGroup group, const Score &s)
    {
        return GroupValues{group, s.right, s.total, s.percent, QVariant()};
    }
};

} // namespace morvello
