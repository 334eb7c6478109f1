// SPDX-License-Identifier: GPL-3.0-or-later
#include "classmodel.h"

#include "palette.h"
#include "core/resultgroups.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

namespace morvello {

ClassModel::ClassModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

QString ClassModel::shortCaption(int group)
{
    static const char *const captions[] = {"Espositivi", "Poesia", "Figure:\nriconoscere", "Figure:\ndefinizioni",
                                           "Trovare\nsequenze", "Aiuti\nchiesti", "Tipo\nsequenze", "Génette"};
    return group >= 0 && group < 8 ? QString::fromUtf8(captions[group]) : QString();
}

QString ClassModel::percentText(double percent)
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian.toString(percent, 'g', 4);
}

void ClassModel::setLines(QVector<PupilLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    m_order.resize(m_lines.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
}

int ClassModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int ClassModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1 + int(resultGroups().size());
}

QVariant ClassModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_order.size())
        return {};
    const PupilLine &l = line(index.row());
    if (index.column() == 0) {
        switch (role) {
        case Qt::DisplayRole:
            return l.hidden ? l.name + QStringLiteral(" (nascosto)") : l.name;
        case Qt::ToolTipRole:
            return l.joined.isEmpty() ? QVariant()
                                      : QVariant(QStringLiteral("Uniti a questo alunno: ") + l.joined.join(QStringLiteral(", ")));
        case PupilIdRole:
            return l.id;
        case HiddenRole:
            return l.hidden;
        case SortKeyRole:
            return l.name;
        default:
            return {};
        }
    }
    const int g = index.column() - 1;
    if (g >= l.cells.size())
        return {};
    const GroupCell &cell = l.cells.at(g);
    const bool empty = cell.attempts == 0;
    switch (role) {
    case Qt::DisplayRole:
        return empty ? QString() : percentText(cell.latest);
    case Qt::BackgroundRole:
        return empty ? QVariant() : QVariant(scaleColour(cell.latest));
    case Qt::ForegroundRole:
        return empty ? QVariant() : QVariant(textOn(scaleColour(cell.latest)));
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ToolTipRole:
        if (empty)
            return {};
        return QStringLiteral("%1\nUltimo: %2%\nMigliore: %3%\nTentativi: %4\nUltima data: %5")
            .arg(resultGroups().at(g).gridCaption, percentText(cell.latest), percentText(cell.best))
            .arg(cell.attempts)
            .arg(cell.last.isEmpty() ? QStringLiteral("—") : italianMoment(cell.last));
    case SortKeyRole:
        return empty ? -1.0 : cell.latest;
    case PupilIdRole:
        return l.id;
    default:
        return {};
    }
}

QVariant ClassModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("Alunno") : shortCaption(section - 1);
    if (role == Qt::ToolTipRole && section > 0 && section <= resultGroups().size())
        return resultGroups().at(section - 1).gridCaption;
    return {};
}

void ClassModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QVector<int> rowsBefore;
    for (const QModelIndex &i : before)
        rowsBefore << m_order.at(i.row());
    std::iota(m_order.begin(), m_order.end(), 0);
    const int g = column - 1;
    if (g >= 0 && g < int(resultGroups().size())) {
        auto cell = [&](int i) -> const GroupCell & { return m_lines.at(i).cells.at(g); };
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const GroupCell &x = cell(a);
            const GroupCell &y = cell(b);
            if ((x.attempts == 0) != (y.attempts == 0))
                return y.attempts == 0; // without attempts: last either way
            return order == Qt::AscendingOrder ? x.latest < y.latest : x.latest > y.latest;
        });
    } else if (order == Qt::DescendingOrder) {
        std::reverse(m_order.begin(), m_order.end());
    }
    // The selected pupil stays selected wherever the order puts them.
    QVector<int> rowOf(m_order.size());
    for (int r = 0; r < m_order.size(); ++r)
        rowOf[m_order.at(r)] = r;
    QModelIndexList after;
    for (int k = 0; k < before.size(); ++k)
        after << index(rowOf.at(rowsBefore.at(k)), before.at(k).column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace morvello
