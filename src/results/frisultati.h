// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "printout.h"

#include "kit/activityhost.h"
#include "kit/labels.h"
#include "kit/screen.h"

#include <QString>

class QLineEdit;
class QPushButton;
class QTableWidget;
class QFrame;

namespace morvello {

class ResultsStore;

// "Risultati conseguiti nelle esercitazioni": one pupil's saved results as a
// grid of eight activities by four values, with the search of another pupil,
// the printout, the export to floppy and the three exits.
class FRisultati : public Screen
{
    Q_OBJECT
public:
    // The store may be null (no results file): the grid then finds nobody.
    FRisultati(const ScreenEnv &env, ResultsStore *store, QWidget *parent = nullptr);

    static QString name() { return QStringLiteral("FRisultati"); }

    // Handlers.
    void CMDAGGIORNA_Click();
    void LabCERCA_Click();
    void Labtorna_Click();
    void Labmenu_Click();
    void Labesci_Click();
    void Labaiuto_Click();
    void LabSTAMPA_Click();
    void LabEXPORT_Click();
    // Additions: Shift+click on "Stampa i risultati" (and Ctrl+P) prints
    // through the standard print dialog; "Guida" opens the teacher's guide.
    void LabSTAMPA_ShiftClick();
    void LabGuida_Click();
    void Label5_MouseMove();

    // Screen procedures: fill the grid for NomeStudente / for NomeCercato.
    void Esercizi();
    void RicercaESER();

    QString NomeCercato() const { return m_nomeCercato; }
    QString ModoRisultati() const { return m_modoRisultati; }

    // Where "Stampa i risultati" prints: the services' printer (the default
    // printer when there is none) unless this hands out another.
    void setPrinterProvider(PrinterProvider provider);

    // The grid's cell text (row 0 and column 0 are the captions).
    QString cell(int row, int column) const;

    // The line shown while results wait for the lab server.
    static QString pendingText();
    StyledLabel *labAttesa() const { return m_labAttesa; }

    // The export help, exactly as the pupil reads it.
    static QString exportHelpText();

    // Controls, for the shell and for tests.
    StyledLabel *labNome() const { return m_labNome; }
    QTableWidget *grid() const { return m_grid; }
    QPushButton *cmdAggiorna() const { return m_cmdAggiorna; }
    QLineEdit *text1() const { return m_text1; }
    QLineEdit *text2() const { return m_text2; }
    CommandLabel *labCerca() const { return m_labCerca; }
    CommandLabel *labTorna() const { return m_labTorna; }
    CommandLabel *labMenu() const { return m_labMenu; }
    CommandLabel *labEsci() const { return m_labEsci; }
    CommandLabel *labStampa() const { return m_labStampa; }
    CommandLabel *labExport() const { return m_labExport; }
    StyledLabel *label5() const { return m_label5; }
    ClickLabel *labAiuto() const { return m_labAiuto; }
    ClickLabel *labGuida() const { return m_labGuida; }

protected:
    void formMouseMove() override;
    void titleBarClose() override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGrid();
    void buildSearch();
    void buildBottomBar();
    void connectHandlers();
    void fillGrid(const QString &key, bool forStudent);
    void layOutGrid();
    void setCell(int row, int column, const QString &text);
    void applyGridMetrics();
    // The grid's font: the column whose texts overflow the most sets it.
    void fitGrid();
    // No disk for the export: the teacher may pick a folder instead.
    void offerFolderExport();

    ScreenEnv m_env;
    StyledLabel *m_labAttesa = nullptr;
    ResultsStore *m_store = nullptr;
    std::unique_ptr<PrinterSource> m_printerOverride;

    QString m_nomeCercato;
    QString m_modoRisultati;

    StyledLabel *m_labNome = nullptr;
    QTableWidget *m_grid = nullptr;
    StyledLabel *m_label1 = nullptr;
    QPushButton *m_cmdAggiorna = nullptr;
    QFrame *m_shape1 = nullptr;
    StyledLabel *m_label2 = nullptr;
    StyledLabel *m_label9 = nullptr;
    QLineEdit *m_text2 = nullptr;
    StyledLabel *m_label8 = nullptr;
    QLineEdit *m_text1 = nullptr;
    CommandLabel *m_labCerca = nullptr;
    CommandLabel *m_labTorna = nullptr;
    CommandLabel *m_labMenu = nullptr;
    StyledLabel *m_label5 = nullptr;
    ClickLabel *m_labAiuto = nullptr;
    CommandLabel *m_labExport = nullptr;
    CommandLabel *m_labStampa = nullptr;
    CommandLabel *m_labEsci = nullptr;
    ClickLabel *m_labGuida = nullptr;
    QLabel *m_image2 = nullptr;
};

} // namespace morvello
