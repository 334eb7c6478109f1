// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "register/classtable.h"

#include <QAbstractTableModel>

namespace morvello {

// The class view's table: a line per pupil, the name and a cell per group
// holding the latest attempt's percentage on its shade of the scale. Texts,
// colours and hover texts are made when the view asks for them, for the
// rows it shows: a class of a thousand is refreshed as fast as one of thirty.
class ClassModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Beyond Qt's roles: the pupil's id and whether hidden (first column),
    // and the number a column sorts by.
    enum Role { PupilIdRole = Qt::UserRole, HiddenRole, SortKeyRole };

    explicit ClassModel(QObject *parent = nullptr);

    void setLines(QVector<PupilLine> lines);
    const QVector<PupilLine> &lines() const { return m_lines; }
    const PupilLine &line(int row) const { return m_lines.at(m_order.at(row)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // By name, or by a group's latest percentage with pupils without
    // attempts after those with; names keep their order among equals.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Short column titles of the groups; the full caption is the tooltip.
    static QString shortCaption(int group);
    // A percentage as the cells print it (Italian decimal comma).
    static QString percentText(double percent);

private:
    QVector<PupilLine> m_lines; // in name order
    QVector<int> m_order;       // the rows shown, as indexes into m_lines
};

} // namespace morvello
