// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "register/pupils.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace morvello {

class Register;

// "Nomi simili segnalati": the names the pupil program flagged in the
// classroom computers' archives as one pupil's to a reader's eye, each with
// the pupils of the register they are counted as, and the hand join they may
// call for when they are counted as more than one.
class FlaggedNamesPane : public QWidget
{
    Q_OBJECT
public:
    explicit FlaggedNamesPane(QWidget *parent = nullptr);

    void setRegister(Register *reg);
    void refresh();

    const QVector<FlaggedNames> &groups() const { return m_groups; }
    // Joins every pupil of the group at `row` to its pupil `into`; false
    // (and the message in `error`) when the register refused.
    bool joinGroup(int row, int into, DbError *error);

signals:
    // Pupils were joined: the class view is to be read again.
    void pupilsJoined();

private:
    void joinChosen();

    Register *m_reg = nullptr;
    QVector<FlaggedNames> m_groups;
    QLabel *m_title = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_join = nullptr;
};

} // namespace morvello
