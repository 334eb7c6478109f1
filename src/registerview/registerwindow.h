// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dialogs.h"
#include "register/classtable.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QTableView;
class QTableWidget;

namespace morvello {

class ClassChartWindow;
class ClassModel;
class FlaggedNamesPane;
class PupilChartWindow;
class Register;

// The teacher's register: the class view (pupils × groups, the latest
// attempt's percentage in each cell) over the attempts list of the pupil
// chosen, and the commands to make, open and fill a register and to write
// its CSV files.
class RegisterWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit RegisterWindow(QWidget *parent = nullptr);
    ~RegisterWindow() override;

    // Shows this register (the window owns it from now on).
    void setRegister(std::unique_ptr<Register> reg);
    Register *currentRegister() const { return m_reg.get(); }
    // Opens a register file and shows it; false (and a message) when not.
    bool openFile(const QString &path);

    // Reads the register again and fills the view.
    void refresh();

    QTableView *classView() const { return m_class; }
    ClassModel *classModel() const { return m_model; }
    FlaggedNamesPane *flaggedNamesPane() const { return m_flagged; }
    QTableWidget *attemptsView() const { return m_attempts; }
    // The period the view shows (null dates: open end).
    void setPeriod(const QDate &from, const QDate &to);

    // Imports files one by one, each whole or not at all, with a progress
    // bar the teacher may stop between two files; returns the summary shown.
    QString importFiles(const QStringList &files, bool ask = true);
    // The same from the school's lab server named in morvello.conf.
    QString importFromServer(bool ask = true);

    // Short column titles of the groups; the full caption is the tooltip.
    static QString shortCaption(int group);

    // The print dialog and the messages of the reports go through these
    // (the real dialogs unless a test hands its own).
    void setDialogs(Dialogs *dialogs);
    // The chart of the pupil on that row of the class view (a double click
    // on the row), or of the whole class; null with no register.
    PupilChartWindow *openPupilChart(int row);
    ClassChartWindow *openClassChart();
    // The reports through the print dialog; what the teacher was told.
    QString printClassReport();
    QString printPupilReport(int row);

private:
    void buildMenus();
    void newRegister();
    void openRegister();
    void importChosenFiles();
    void importFolder();
    void saveCsv(bool attempts);
    void showPupil();
    void showError(const QString &text);
    void pupilMenu(const QPoint &at);
    void showLookAlikes();
    void buildReportMenu();
    void askSchoolName();
    int chosenRow() const;
    QDate periodFrom() const;
    QDate periodTo() const;
    void closeChartWindows();

    std::unique_ptr<Register> m_reg;
    QVector<PupilLine> m_lines; // in name order, as the model holds them
    QTableView *m_class = nullptr;
    ClassModel *m_model = nullptr;
    FlaggedNamesPane *m_flagged = nullptr;
    QTableWidget *m_attempts = nullptr;
    QLabel *m_pupilTitle = nullptr;
    QCheckBox *m_period = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QLabel *m_status = nullptr;
    bool m_withHidden = false;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs *m_dialogs = nullptr;
    QVector<QPointer<QWidget>> m_charts;
};

// Names, Italian texts of Qt's own dialogs, font: what every run of the
// register program sets first.
void setupRegisterApplication();

} // namespace morvello
