// SPDX-License-Identifier: GPL-3.0-or-later
#include "registerwindow.h"

#include "classmodel.h"
#include "flaggednamespane.h"
#include "palette.h"
#include "core/resultgroups.h"
#include "register/register.h"
#include "register/pupils.h"
#include "register/registercsv.h"
#include "register/registerimport.h"
#include "storage/database.h"
#include "storage/serverconfig.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSaveFile>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTranslator>
#include <QVBoxLayout>

#include <algorithm>

namespace morvello {

namespace {

QString italianDate(const QDateTime &when)
{
    return when.isValid() ? when.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : QStringLiteral("—");
}

} // namespace

void setupRegisterApplication()
{
    QApplication::setApplicationName(QStringLiteral("morvello-registro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Morvello — Registro del docente"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    static QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    QFont base(QStringLiteral("Liberation Sans"));
    base.setPointSizeF(10);
    QApplication::setFont(base);
}

QString RegisterWindow::shortCaption(int group)
{
    return ClassModel::shortCaption(group);
}

RegisterWindow::RegisterWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Registro del docente"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *filter = new QHBoxLayout;
    m_period = new QCheckBox(QStringLiteral("Solo il periodo dal"), central);
    m_from = new QDateEdit(QDate::currentDate().addMonths(-3), central);
    m_to = new QDateEdit(QDate::currentDate(), central);
    for (QDateEdit *d : {m_from, m_to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        connect(d, &QDateEdit::dateChanged, this, [this] {
            if (m_period->isChecked())
                refresh();
        });
    }
    connect(m_period, &QCheckBox::toggled, this, &RegisterWindow::refresh);
    filter->addWidget(m_period);
    filter->addWidget(m_from);
    filter->addWidget(new QLabel(QStringLiteral("al"), central));
    filter->addWidget(m_to);
    filter->addStretch();
    // The scale's key, each shade with its number as the cells print it.
    filter->addWidget(new QLabel(QStringLiteral("Percentuale dell'ultimo tentativo:"), central));
    for (int p = 0; p <= 100; p += 20) {
        auto *swatch = new QLabel(QString::number(p), central);
        const QColor back = scaleColour(p);
        swatch->setAlignment(Qt::AlignCenter);
        swatch->setMinimumWidth(40);
        swatch->setStyleSheet(QStringLiteral("background:%1;color:%2;padding:2px").arg(back.name(), textOn(back).name()));
        filter->addWidget(swatch);
    }
    layout->addLayout(filter);

    auto *split = new QSplitter(Qt::Vertical, central);
    m_class = new QTableView(split);
    m_class->setObjectName(QStringLiteral("vistaClasse"));
    m_model = new ClassModel(m_class);
    m_class->setModel(m_model);
    m_class->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_class->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_class->setSelectionMode(QAbstractItemView::SingleSelection);
    m_class->setSortingEnabled(true);
    m_class->sortByColumn(0, Qt::AscendingOrder);
    m_class->verticalHeader()->hide();
    // Every row as high as one line of text: measuring a thousand rows at
    // each refresh would cost more than the refresh itself.
    m_class->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_class->verticalHeader()->setDefaultSectionSize(m_class->fontMetrics().height() + 10);
    m_class->horizontalHeader()->setMinimumSectionSize(96);
    connect(m_class->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RegisterWindow::showPupil);
    m_class->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_class, &QWidget::customContextMenuRequested, this, &RegisterWindow::pupilMenu);
    connect(m_class, &QTableView::doubleClicked, this, [this](const QModelIndex &at) { openPupilChart(at.row()); });

    auto *lowerSplit = new QSplitter(Qt::Horizontal, split);
    auto *lower = new QWidget(lowerSplit);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    m_pupilTitle = new QLabel(QStringLiteral("Scegliere un alunno per vederne i tentativi."), lower);
    m_attempts = new QTableWidget(lower);
    m_attempts->setObjectName(QStringLiteral("tentativiAlunno"));
    m_attempts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_attempts->verticalHeader()->hide();
    m_attempts->setColumnCount(7);
    m_attempts->setHorizontalHeaderLabels({QStringLiteral("Data"), QStringLiteral("Attività"), QStringLiteral("Giuste"),
                                           QStringLiteral("Totale"), QStringLiteral("%"), QStringLiteral("Computer"),
                                           QStringLiteral("Origine")});
    m_attempts->horizontalHeader()->setStretchLastSection(true);
    lowerLayout->addWidget(m_pupilTitle);
    lowerLayout->addWidget(m_attempts);
    m_flagged = new FlaggedNamesPane(lowerSplit);
    connect(m_flagged, &FlaggedNamesPane::pupilsJoined, this, &RegisterWindow::refresh);
    lowerSplit->addWidget(lower);
    lowerSplit->addWidget(m_flagged);
    lowerSplit->setStretchFactor(0, 3);
    lowerSplit->setStretchFactor(1, 2);
    split->addWidget(m_class);
    split->addWidget(lowerSplit);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    layout->addWidget(split);
    setCentralWidget(central);

    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    buildMenus();
    refresh();
}

RegisterWindow::~RegisterWindow() = default;

void RegisterWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&Registro"));
    file->addAction(QStringLiteral("&Nuovo registro di una classe..."), this, &RegisterWindow::newRegister);
    file->addAction(QStringLiteral("&Apri registro..."), this, &RegisterWindow::openRegister);
    file->addSeparator();
    file->addAction(QStringLiteral("&Esci"), this, [this] { close(); });
    QMenu *import = menuBar()->addMenu(QStringLiteral("&Importa"));
    import->addAction(QStringLiteral("Importa &file (esportazioni, archivi, registri)..."), this,
                      &RegisterWindow::importChosenFiles);
    import->addAction(QStringLiteral("Importa una &cartella..."), this, &RegisterWindow::importFolder);
    import->addAction(QStringLiteral("Importa dal &server della scuola"), this, [this] { importFromServer(); });
    QMenu *pupils = menuBar()->addMenu(QStringLiteral("&Alunni"));
    QAction *hidden = pupils->addAction(QStringLiteral("Mostra anche gli alunni &nascosti"));
    hidden->setCheckable(true);
    connect(hidden, &QAction::toggled, this, [this](bool on) {
        m_withHidden = on;
        refresh();
    });
    pupils->addAction(QStringLiteral("Nomi &simili da controllare..."), this, &RegisterWindow::showLookAlikes);
    pupils->addAction(QStringLiteral("Unisci, separa o nascondi: clic destro sul nome nella tabella"))->setEnabled(false);
    QMenu *csv = menuBar()->addMenu(QStringLiteral("&CSV"));
    csv->addAction(QStringLiteral("Salva la &vista della classe in CSV..."), this, [this] { saveCsv(false); });
    csv->addAction(QStringLiteral("Salva &tutti i tentativi in CSV..."), this, [this] { saveCsv(true); });
    buildReportMenu();
}

void RegisterWindow::showError(const QString &text)
{
    QMessageBox::warning(this, windowTitle(), text);
}

void RegisterWindow::setRegister(std::unique_ptr<Register> reg)
{
    closeChartWindows();
    m_reg = std::move(reg);
    refresh();
}

bool RegisterWindow::openFile(const QString &path)
{
    DbError error;
    std::unique_ptr<Register> reg = Register::open(path, &error);
    if (!reg) {
        showError(error.message);
        return false;
    }
    setRegister(std::move(reg));
    return true;
}

void RegisterWindow::setPeriod(const QDate &from, const QDate &to)
{
    const QSignalBlocker a(m_from), b(m_to), c(m_period);
    m_period->setChecked(from.isValid() || to.isValid());
    if (from.isValid())
        m_from->setDate(from);
    if (to.isValid())
        m_to->setDate(to);
    refresh();
}

void RegisterWindow::refresh()
{
    QVector<PupilLine> lines;
    if (m_reg) {
        DbError error;
        const bool period = m_period->isChecked();
        lines = classTable(*m_reg, period ? m_from->date() : QDate(), period ? m_to->date() : QDate(), &error,
                           m_withHidden);
        if (error.isError())
            m_status->setText(error.message);
        setWindowTitle(QStringLiteral("Registro del docente — classe %1").arg(m_reg->className()));
    }
    int attempts = 0;
    int nameWidth = 0;
    const QFontMetrics metrics = m_class->fontMetrics();
    for (const PupilLine &line : std::as_const(lines)) {
        for (const GroupCell &cell : line.cells)
            attempts += cell.attempts;
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(line.hidden ? line.name + QStringLiteral(" (nascosto)")
                                                                             : line.name));
    }
    const int pupils = int(lines.size());
    m_model->setLines(std::move(lines));
    m_lines = m_model->lines();
    m_class->sortByColumn(m_class->horizontalHeader()->sortIndicatorSection(),
                          m_class->horizontalHeader()->sortIndicatorOrder());
    // Names as wide as the longest (measured here once, not by the view on
    // every row); the groups share the rest evenly, so that no colour
    // stands out by its width.
    QHeaderView *head = m_class->horizontalHeader();
    head->setSectionResizeMode(0, QHeaderView::Interactive);
    head->resizeSection(0, std::max(nameWidth + 24, metrics.horizontalAdvance(QStringLiteral("Alunno")) + 40));
    for (int c = 1; c < m_model->columnCount(); ++c)
        head->setSectionResizeMode(c, QHeaderView::Stretch);
    m_flagged->setRegister(m_reg.get());
    m_attempts->setRowCount(0);
    m_pupilTitle->setText(QStringLiteral("Scegliere un alunno per vederne i tentativi."));
    if (!m_reg)
        m_status->setText(QStringLiteral("Nessun registro aperto: Registro → Nuovo registro, oppure Apri registro."));
    else
        m_status->setText(QStringLiteral("%1 — %2 alunni, %3 tentativi")
                              .arg(QDir::toNativeSeparators(m_reg->path()))
                              .arg(pupils)
                              .arg(attempts));
}

void RegisterWindow::showPupil()
{
    const QModelIndexList chosen = m_class->selectionModel()->selectedRows();
    if (!m_reg || chosen.isEmpty())
        return;
    const PupilLine &pupil = m_model->line(chosen.first().row());
    DbError error;
    const QVector<PupilAttempt> list = attemptsOf(*m_reg, pupil.id, &error);
    m_pupilTitle->setText(QStringLiteral("Tentativi di %1: %2").arg(pupil.name).arg(list.size()));
    m_attempts->setRowCount(list.size());
    QLocale italian(QLocale::Italian, QLocale::Italy);
    for (int r = 0; r < list.size(); ++r) {
        const Attempt &a = list.at(r).attempt;
        const int g = groupIndex(a.group);
        const QStringList cells{italianDate(a.moment),
                                g < 0 ? a.group : resultGroups().at(g).gridCaption,
                                a.count.isNull() ? QString() : italian.toString(a.count.toDouble()),
                                a.total.isNull() ? QString() : italian.toString(a.total.toDouble()),
                                a.percent.isNull() ? QString() : italian.toString(a.percent.toDouble()),
                                a.computer,
                                a.fromHistory ? QStringLiteral("storia dei tentativi")
                                              : QStringLiteral("tabtesti (senza storia)")};
        for (int c = 0; c < cells.size(); ++c)
            m_attempts->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    m_attempts->resizeColumnsToContents();
    m_attempts->resizeRowsToContents();
}

void RegisterWindow::pupilMenu(const QPoint &at)
{
    const QModelIndex cell = m_class->indexAt(at);
    if (!m_reg || !cell.isValid())
        return;
    const PupilLine &pupil = m_model->line(cell.row());
    const qint64 id = pupil.id;
    const bool hidden = pupil.hidden;
    const QString name = pupil.name;
    QMenu menu(this);
    QAction *join = menu.addAction(QStringLiteral("Unisci a un altro alunno (è la stessa persona)..."));
    const QVector<JoinedName> joined = joinedTo(*m_reg, id);
    QMenu *separate = menu.addMenu(QStringLiteral("Separa un nome unito"));
    separate->setEnabled(!joined.isEmpty());
    for (const JoinedName &j : joined)
        separate->addAction(j.name)->setData(j.id);
    QAction *hide = menu.addAction(hidden ? QStringLiteral("Mostra di nuovo nella classe")
                                          : QStringLiteral("Nascondi dalla classe (non cancella nulla)"));
    QAction *chosen = menu.exec(m_class->viewport()->mapToGlobal(at));
    if (!chosen)
        return;
    DbError error;
    if (chosen == hide) {
        error = morvello::setHidden(*m_reg, id, !hidden);
    } else if (chosen == join) {
        QStringList names;
        QVector<qint64> ids;
        for (const PupilLine &l : std::as_const(m_lines)) {
            if (l.id != id) {
                names << l.name;
                ids << l.id;
            }
        }
        bool ok = false;
        const QString into = QInputDialog::getItem(this, QStringLiteral("Unisci"),
                                                   QStringLiteral("%1 è lo stesso alunno di:").arg(name), names, 0,
                                                   false, &ok);
        if (!ok || into.isEmpty())
            return;
        error = joinPupils(*m_reg, id, ids.at(names.indexOf(into)));
    } else if (chosen->data().isValid()) {
        error = separatePupil(*m_reg, chosen->data().toLongLong());
    }
    if (error.isError())
        showError(error.message);
    refresh();
}

void RegisterWindow::showLookAlikes()
{
    if (!m_reg)
        return;
    DbError error;
    const QVector<LookAlike> pairs = lookAlikes(*m_reg, &error);
    QStringList lines;
    for (const LookAlike &p : pairs)
        lines << QStringLiteral("%1  —  %2").arg(p.a.name, p.b.name);
    QMessageBox::information(this, QStringLiteral("Nomi simili"),
                             lines.isEmpty()
                                 ? QStringLiteral("Nessun nome del registro somiglia a un altro.")
                                 : QStringLiteral("Questi nomi differiscono solo per spazi, apostrofi o accenti. Se sono "
                                                  "la stessa persona, unirli con il clic destro sul nome.\n\n")
                                       + lines.join(QLatin1Char('\n')));
}

void RegisterWindow::newRegister()
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Nuovo registro"),
                                               QStringLiteral("Nome della classe (per esempio 2B 2026-27):"),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok || name.trimmed().isEmpty())
        return;
    DbError error;
    std::unique_ptr<Register> reg = Register::create(Register::fileForClass(name), name, &error);
    if (!reg) {
        showError(error.message);
        return;
    }
    setRegister(std::move(reg));
}

void RegisterWindow::openRegister()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Apri registro"), Register::defaultFolder(),
                                                      QStringLiteral("Registri (*.sqlite);;Tutti i file (*)"));
    if (!path.isEmpty())
        openFile(path);
}

QString RegisterWindow::importFiles(const QStringList &files, bool ask)
{
    if (!m_reg)
        return {};
    QProgressDialog progress(QStringLiteral("Importazione dei file..."), QStringLiteral("Interrompi"), 0, files.size(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QStringList done;
    QStringList refused;
    int newRows = 0;
    int i = 0;
    for (; i < files.size(); ++i) {
        progress.setValue(i);
        // Between two files only: a file is imported whole or not at all.
        if (progress.wasCanceled())
            break;
        const ImportOutcome out = importFile(*m_reg, files.at(i), QDateTime::currentDateTime());
        if (out.imported) {
            newRows += out.newRows;
            done << QStringLiteral("%1: %2 righe nuove%3")
                        .arg(QDir::toNativeSeparators(files.at(i)))
                        .arg(out.newRows)
                        .arg(out.tabtestiRows ? QStringLiteral(" (%1 da un file senza storia dei tentativi)").arg(out.tabtestiRows)
                                              : QString())
                    + (out.spellings.isEmpty() ? QString()
                                               : QStringLiteral("; nomi scritti in più modi, contati come un alunno: ")
                                                     + out.spellings.join(QStringLiteral("; ")));
        } else {
            refused << out.message;
        }
    }
    progress.setValue(files.size());
    QString summary = QStringLiteral("File importati: %1, righe nuove: %2.").arg(done.size()).arg(newRows);
    if (i < files.size())
        summary += QStringLiteral("\nImportazione interrotta: %1 file non sono stati letti.").arg(files.size() - i);
    if (!refused.isEmpty())
        summary += QStringLiteral("\n\nNon importati:\n") + refused.join(QLatin1Char('\n'));
    if (!done.isEmpty())
        summary += QStringLiteral("\n\nImportati:\n") + done.join(QLatin1Char('\n'));
    refresh();
    if (ask)
        QMessageBox::information(this, QStringLiteral("Importazione"), summary);
    return summary;
}

QString RegisterWindow::importFromServer(bool ask)
{
    if (!m_reg)
        return {};
    const ServerConfig config = ServerConfig::load();
    QString summary;
    if (!config.isSet()) {
        summary = QStringLiteral("Nessun server della scuola è indicato: il tecnico lo scrive nella sezione [server] "
                                 "del file morvello.conf (in ~/.config/morvello o in /etc/xdg/morvello).");
    } else {
        const ImportOutcome out = importServer(*m_reg, config, QDateTime::currentDateTime());
        summary = out.imported ? QStringLiteral("Server \"%1\": %2 righe nuove.").arg(out.file).arg(out.newRows) : out.message;
        refresh();
    }
    if (ask)
        QMessageBox::information(this, QStringLiteral("Importazione"), summary);
    return summary;
}

void RegisterWindow::importChosenFiles()
{
    if (!m_reg) {
        showError(QStringLiteral("Aprire o creare prima il registro della classe."));
        return;
    }
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Importa file"), QDir::homePath(),
        QStringLiteral("Archivi e registri di Morvello (*.mdb *.sqlite *.db);;Tutti i file (*)"));
    if (!files.isEmpty())
        importFiles(files);
}

void RegisterWindow::importFolder()
{
    if (!m_reg) {
        showError(QStringLiteral("Aprire o creare prima il registro della classe."));
        return;
    }
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Importa una cartella"), QDir::homePath());
    if (folder.isEmpty())
        return;
    const QStringList files = importableFiles(folder);
    if (files.isEmpty()) {
        showError(QStringLiteral("Nella cartella \"%1\" non ci sono file da importare (.mdb, .sqlite, .db).")
                      .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    importFiles(files);
}

void RegisterWindow::saveCsv(bool attempts)
{
    if (!m_reg)
        return;
    const QString suggested = QDir::homePath() + QLatin1Char('/') + m_reg->className()
                              + (attempts ? QStringLiteral("-tentativi.csv") : QStringLiteral("-classe.csv"));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva CSV"), suggested,
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    DbError error;
    QSaveFile out(path);
    bool written = out.open(QIODevice::WriteOnly);
    if (written && attempts) {
        written = writeAttemptsCsv(*m_reg, out, &error);
    } else if (written) {
        const QByteArray data = classCsv(m_lines);
        written = out.write(data) == data.size();
    }
    if (!written || !out.commit())
        showError(QStringLiteral("Il file \"%1\" non è stato scritto: %2")
                      .arg(QDir::toNativeSeparators(path), error.isError() ? error.message : out.errorString()));
}

} // namespace morvello
