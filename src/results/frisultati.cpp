// SPDX-License-Identifier: GPL-3.0-or-later
#include "frisultati.h"

#include "storage/export.h"
#include "storage/resultsstore.h"
#include "resultstext.h"

#include "kit/controls.h"
#include "core/pupilname.h"

#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>

namespace morvello {

namespace {

const QColor kBackground(38, 20, 62); // deep plum: the pinks, lilacs and olive read well on it
const QColor kCaptionCell(192, 192, 192);
const QColor kRestTorna(255, 192, 255);
const QColor kRestCerca(192, 192, 192);
const QColor kStartCerca(192, 192, 255);
const QColor kRestMenu(255, 128, 255);
const QColor kRestEsci(255, 192, 255);
const QColor kRestBottom(192, 192, 0);

constexpr int kGridRows = 9;
constexpr int kGridColumns = 5;
constexpr int kGridTwips[4] = {240, 1440, 8775, 3705};
constexpr int kColumnTwips[kGridColumns] = {3500, 700, 700, 700, 3000};

const char *const kColumnCaptions[kGridColumns] = {
    "Argomento", "Giusti", "    Su", "    %", "           Quando",
};

// Image2: a quiet picture of rising bars, in the colours of the screen's
// commands, on the empty stretch below the grid.
class ResultsPicture : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor colours[] = {QColor(255, 192, 255, 70), QColor(192, 192, 255, 70), QColor(255, 128, 255, 70),
                                  QColor(192, 192, 0, 70), QColor(224, 224, 224, 60)};
        const double heights[] = {0.35, 0.55, 0.45, 0.75, 0.95};
        const int n = 5;
        const double gap = width() * 0.04;
        const double bar = (width() - gap * (n + 1)) / n;
        const double base = height() * 0.96;
        for (int i = 0; i < n; ++i) {
            const double h = base * heights[i];
            QPainterPath path;
            path.addRoundedRect(QRectF(gap + i * (bar + gap), base - h, bar, h), bar * 0.12, bar * 0.12);
            p.fillPath(path, colours[i]);
        }
        p.setPen(QPen(QColor(224, 224, 224, 90), qMax(1.0, height() * 0.01)));
        p.drawLine(QPointF(0, base), QPointF(width(), base));
    }
};

const QString kSans = QStringLiteral("MS Sans Serif");
const QString kArial = QStringLiteral("Arial");

// Fonts of the design, narrowed (then shrunk) only where a text would not fit
// its box with the fonts this computer has.
const TextFit kNarrowed{false, 0.5, true};

StyledLabel *makeLabel(FRisultati *s, const char *name, const QString &text, const QColor &colour,
                       const QColor &background = QColor())
{
    return controls::label(s, QString::fromUtf8(name), text, QRect(), DesignFont{}, colour, background);
}

CommandLabel *makeCommand(FRisultati *s, const char *name, const QString &text, const QColor &resting)
{
    return controls::command(s, QString::fromUtf8(name), text, QRect(), DesignFont{}, resting);
}

QLineEdit *makeBox(FRisultati *s, const char *name)
{
    QLineEdit *e = controls::textBox(s, QString::fromUtf8(name), QRect(), DesignFont{}, kMaxNameLength);
    e->setStyleSheet(QStringLiteral("QLineEdit { background-color: #c0c0ff; color: #000000; border: 1px solid "
                                    "#404040; padding: 0px 2px; }"));
    return e;
}

} // namespace

FRisultati::FRisultati(const ScreenEnv &env, ResultsStore *store, QWidget *parent)
    : Screen(name(), QSize(11880, 9600), kBackground, QStringLiteral("Risultati conseguiti nelle esercitazioni"),
             parent),
      m_env(env), m_store(store)
{
    buildGrid();
    buildSearch();
    buildBottomBar();
    connectHandlers();
    layOutGrid();
    applyGridMetrics();
    fitGrid();
}

void FRisultati::buildGrid()
{
    // Built bottom to top: what comes later lies over what came before.
    m_image2 = nullptr;
    auto *picture = new ResultsPicture(this);
    picture->setObjectName(QStringLiteral("Image2"));
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(picture, 3000, 5400, 3600, 2280);

    m_shape1 = new QFrame(this);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    // Like a drawn shape, the panel takes no pointer of its own: moving over
    // it is moving over the form.
    m_shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(m_shape1, 9180, 960, 2535, 4455);

    // "Risultati" shares the grid's corner and lies beneath it.
    m_label1 = makeLabel(this, "Label1", QStringLiteral("Risultati"), QColor(224, 224, 224));
    place(m_label1, 240, 1440, 1095, 255);
    setDesignFont(m_label1, QStringLiteral("MS Sans Serif"), 8.25, true);

    m_grid = new QTableWidget(kGridRows, kGridColumns, this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    // Reached by Tab and read cell by cell with the arrows; Tab leaves it.
    m_grid->setFocusPolicy(Qt::StrongFocus);
    m_grid->setTabKeyNavigation(false);
    m_grid->setAccessibleName(QStringLiteral("Tabella dei risultati"));
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setWordWrap(false);
    m_grid->setTextElideMode(Qt::ElideNone);
    m_grid->setStyleSheet(QStringLiteral("QTableWidget { background-color: #808080; color: #000000; "
                                         "gridline-color: #808080; border: 1px solid #000000; }"));
    place(m_grid, kGridTwips[0], kGridTwips[1], kGridTwips[2], kGridTwips[3]);
    setDesignFont(m_grid, QStringLiteral("MS Sans Serif"), 12);
    m_label1->stackUnder(m_grid);

    // Between the grid and the picture: shown only while results saved on
    // this computer wait for the lab server.
    m_labAttesa = makeLabel(this, "LabATTESA", pendingText(), QColor(255, 255, 160), QColor(0, 0, 64));
    place(m_labAttesa, kGridTwips[0], 5160, kGridTwips[2], 240);
    setFittedFont(m_labAttesa, DesignFont{kArial, 8.25, true}, kNarrowed);
    m_labAttesa->setAlignment(Qt::AlignCenter);
    m_labAttesa->hide();
}

QString FRisultati::pendingText()
{
    return QStringLiteral("Alcuni risultati sono ancora in attesa di essere inviati al server.");
}

void FRisultati::buildSearch()
{
    m_labNome = makeLabel(this, "LabNOME", QString(), QColor(224, 224, 224), QColor(0, 0, 64));
    place(m_labNome, 0, 240, 11895, 375);
    setFittedFont(m_labNome, DesignFont{QStringLiteral("Arial"), 14.25, true}, kNarrowed);

    m_cmdAggiorna = new QPushButton(QStringLiteral("AGGIORNA I RISULTATI"), this);
    m_cmdAggiorna->setObjectName(QStringLiteral("CMDAGGIORNA"));
    place(m_cmdAggiorna, 9600, 480, 2055, 495);
    setDesignFont(m_cmdAggiorna, QStringLiteral("MS Sans Serif"), 8.25);

    // On the grey panel the lilac caption needs the dark ground its two
    // neighbours below have.
    m_label2 = makeLabel(this, "Label2", QStringLiteral("Cerca i RISULTATI di..."), QColor(192, 192, 255),
                         QColor(64, 64, 64));
    place(m_label2, 9360, 1200, 2295, 375);
    setFittedFont(m_label2, DesignFont{QStringLiteral("MS Sans Serif"), 8.25, true}, kNarrowed);
    m_label2->setAlignment(Qt::AlignCenter);

    m_label9 = makeLabel(this, "Label9", QStringLiteral("Qui sotto scrivi il COGNOME"), QColor(192, 192, 255),
                         QColor(64, 64, 64));
    place(m_label9, 9195, 1800, 2535, 255);
    setFittedFont(m_label9, DesignFont{QStringLiteral("MS Sans Serif"), 8.25, true}, kNarrowed);

    m_text2 = makeBox(this, "Text2");
    m_text2->setAccessibleName(QStringLiteral("Cognome"));
    place(m_text2, 9480, 2040, 2055, 375);
    setDesignFont(m_text2, QStringLiteral("MS Sans Serif"), 9.75, true);

    m_label8 = makeLabel(this, "Label8", QStringLiteral(" e qui il NOME"), QColor(192, 192, 255), QColor(64, 64, 64));
    place(m_label8, 9360, 2880, 2295, 255);
    setFittedFont(m_label8, DesignFont{QStringLiteral("MS Sans Serif"), 8.25, true}, kNarrowed);

    m_text1 = makeBox(this, "Text1");
    m_text1->setAccessibleName(QStringLiteral("Nome"));
    place(m_text1, 9480, 3120, 2055, 375);
    setDesignFont(m_text1, QStringLiteral("MS Sans Serif"), 9.75, true);

    m_labCerca = makeCommand(this, "LabCERCA", QStringLiteral("       OK,         ho fatto."), kRestCerca);
    m_labCerca->setTextColor(kStartCerca);
    m_labCerca->setBackgroundColor(QColor(0, 0, 128));
    m_labCerca->setWordWrap(true);
    m_labCerca->setAccessibleName(QStringLiteral("OK, ho fatto: cerca"));
    place(m_labCerca, 9480, 3840, 2055, 735);
    setDesignFont(m_labCerca, QStringLiteral("Arial"), 14.25, true);

    m_labTorna = makeCommand(this, "Labtorna", QStringLiteral("TORNA"), kRestTorna);
    place(m_labTorna, 9480, 5760, 2055, 1455);
    setFittedFont(m_labTorna, DesignFont{QStringLiteral("Arial"), 12, true}, kNarrowed);

    m_labMenu = makeCommand(this, "Labmenù", QStringLiteral("Menù"), kRestMenu);
    place(m_labMenu, 9480, 7440, 2175, 375);
    setFittedFont(m_labMenu, DesignFont{QStringLiteral("Arial"), 12, true}, kNarrowed);
}

void FRisultati::buildBottomBar()
{
    // A plain bar: its design caption is there, in the bar's own colour.
    m_label5 = makeLabel(this, "Label5", QStringLiteral("Label5"), QColor(0, 0, 64), QColor(0, 0, 64));
    // The caption cannot be seen; a screen reader names the bar instead.
    m_label5->setAccessibleName(QStringLiteral("Barra dei comandi"));
    m_label5->setMouseTracking(true);
    m_label5->installEventFilter(this);
    place(m_label5, 0, 7920, 12015, 375);
    setDesignFont(m_label5, QStringLiteral("MS Sans Serif"), 8.25);

    m_labAiuto = controls::clickable(this, QStringLiteral("Labaiuto"), QStringLiteral("?"), QRect(), DesignFont{},
                                     QColor(0, 0, 0), QColor(192, 192, 0));
    m_labAiuto->setAlignment(Qt::AlignCenter);
    m_labAiuto->setAccessibleName(QStringLiteral("Aiuto sull'esportazione"));
    place(m_labAiuto, 240, 7920, 375, 375);
    setDesignFont(m_labAiuto, QStringLiteral("MS Sans Serif"), 13.5, true);

    m_labExport = makeCommand(this, "LabEXPORT", QStringLiteral("ESPORTA i risultati su floppy"), kRestBottom);
    place(m_labExport, 720, 7950, 2895, 375);
    setFittedFont(m_labExport, DesignFont{QStringLiteral("Arial"), 9.75, true}, kNarrowed);

    m_labStampa = makeCommand(this, "LabSTAMPA", QStringLiteral("Stampa i risultati"), kRestBottom);
    place(m_labStampa, 4800, 7955, 2175, 375);
    setFittedFont(m_labStampa, DesignFont{QStringLiteral("Arial"), 9.75, true}, kNarrowed);

    m_labEsci = makeCommand(this, "Labesci", QStringLiteral("Esco"), kRestEsci);
    place(m_labEsci, 9720, 7920, 1695, 615);
    setFittedFont(m_labEsci, DesignFont{QStringLiteral("Arial"), 12, true}, kNarrowed);

    // In the free stretch of the bottom bar between "Stampa i risultati" and
    // "Esco", in the bar's olive.
    m_labGuida = controls::guideLabel(this, QRect(7560, 7950, 1095, 375), DesignFont{kArial, 9.75, true}, kRestBottom);
    m_labGuida->installEventFilter(this); // resting the bottom labels, as the bar does
}

void FRisultati::connectHandlers()
{
    connect(m_cmdAggiorna, &QPushButton::clicked, this, &FRisultati::CMDAGGIORNA_Click);
    connect(m_labCerca, &CommandLabel::clicked, this, &FRisultati::LabCERCA_Click);
    connect(m_labTorna, &CommandLabel::clicked, this, &FRisultati::Labtorna_Click);
    connect(m_labMenu, &CommandLabel::clicked, this, &FRisultati::Labmenu_Click);
    connect(m_labEsci, &CommandLabel::clicked, this, &FRisultati::Labesci_Click);
    connect(m_labAiuto, &ClickLabel::clicked, this, &FRisultati::Labaiuto_Click);
    connect(m_labStampa, &CommandLabel::clicked, this, [this] {
        if (m_labStampa->clickModifiers() & Qt::ShiftModifier)
            LabSTAMPA_ShiftClick();
        else
            LabSTAMPA_Click();
    });
    new QShortcut(QKeySequence::Print, this, this, &FRisultati::LabSTAMPA_ShiftClick);
    connect(m_labGuida, &ClickLabel::clicked, this, &FRisultati::LabGuida_Click);
    connect(m_labExport, &CommandLabel::clicked, this, &FRisultati::LabEXPORT_Click);
    // Enter in either box is the same as "OK, ho fatto."
    connect(m_text2, &QLineEdit::returnPressed, this, &FRisultati::LabCERCA_Click);
    connect(m_text1, &QLineEdit::returnPressed, this, &FRisultati::LabCERCA_Click);
}

void FRisultati::resizeEvent(QResizeEvent *e)
{
    Screen::resizeEvent(e);
    applyGridMetrics();
    fitGrid();
    update();
}

void FRisultati::fitGrid()
{
    setDesignFont(m_grid, kSans, 12);
    const int pad = 8;
    const QFontMetrics fm(m_grid->font());
    double worst = 1.0;
    QStringList worstTexts;
    int worstWidth = 0;
    for (int c = 0; c < kGridColumns; ++c) {
        QStringList texts;
        int widest = 0;
        for (int r = 0; r < kGridRows; ++r) {
            texts << cell(r, c);
            widest = qMax(widest, fm.horizontalAdvance(texts.last()));
        }
        const int available = m_grid->columnWidth(c) - pad;
        if (widest > 0 && double(available) / widest < worst) {
            worst = double(available) / widest;
            worstTexts = texts;
            worstWidth = available;
        }
    }
    if (!worstTexts.isEmpty())
        m_grid->setFont(fittedFont(m_grid->font(), worstTexts, QSize(worstWidth, m_grid->height()), kNarrowed));
}

void FRisultati::applyGridMetrics()
{
    if (!m_grid)
        return;
    for (int c = 0; c < kGridColumns; ++c)
        m_grid->setColumnWidth(c, px(kColumnTwips[c]));
    // Nine rows share the grid's height, so none hides below the edge.
    const int inner = px(kGridTwips[3]) - 2 * m_grid->frameWidth();
    const int rowHeight = qMax(1, inner / kGridRows);
    for (int r = 0; r < kGridRows; ++r)
        m_grid->setRowHeight(r, rowHeight);
    const QRect panel = m_shape1->rect();
    const int radius = qMax(4, panel.width() / 10);
    m_shape1->setStyleSheet(QStringLiteral("QFrame#Shape1 { background-color: #c0c0c0; border: 1px solid #000000; "
                                           "border-radius: %1px; }")
                                .arg(radius));
}

void FRisultati::setCell(int row, int column, const QString &text)
{
    QTableWidgetItem *item = m_grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        m_grid->setItem(row, column, item);
    }
    item->setText(text);
    const bool caption = row == 0 || column == 0;
    item->setBackground(caption ? QBrush(kCaptionCell) : QBrush(Qt::white));
    item->setForeground(QBrush(Qt::black));
    const bool centred = !caption && column >= 1 && column <= 3;
    item->setTextAlignment(centred ? Qt::Alignment(Qt::AlignCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
}

QString FRisultati::cell(int row, int column) const
{
    const QTableWidgetItem *item = m_grid->item(row, column);
    return item ? item->text() : QString();
}

void FRisultati::layOutGrid()
{
    m_grid->setColumnCount(kGridColumns);
    m_grid->setRowCount(kGridRows);
    applyGridMetrics();
    QStringList columns;
    for (int c = 0; c < kGridColumns; ++c) {
        columns << QString::fromUtf8(kColumnCaptions[c]);
        setCell(0, c, columns.last());
    }
    QStringList rows{QString()};
    const QVector<ResultGroup> &groups = resultGroups();
    for (int r = 1; r < kGridRows && r - 1 < groups.size(); ++r) {
        rows << groups[r - 1].gridCaption;
        setCell(r, 0, rows.last());
    }
    // The headers stay hidden (the first row and column show them); a screen
    // reader reads them out with each cell.
    m_grid->setHorizontalHeaderLabels(columns);
    m_grid->setVerticalHeaderLabels(rows);
}

void FRisultati::CMDAGGIORNA_Click()
{
    m_nomeCercato.clear();
    if (m_env.session->nomeStudente.isEmpty())
        m_env.host->askName();
    m_labNome->setText(m_env.session->nomeStudente);
    refit(m_labNome);
    Esercizi();
}

void FRisultati::Esercizi()
{
    fillGrid(QString(), true);
}

void FRisultati::RicercaESER()
{
    fillGrid(m_nomeCercato, false);
}

void FRisultati::fillGrid(const QString &searched, bool forStudent)
{
    Session &session = *m_env.session;
    m_labNome->setText(QString());
    if (forStudent && session.nomeStudente.isEmpty())
        m_env.host->askName();
    const QString key = forStudent ? session.nomeStudente : searched;
    layOutGrid();

    DbError err;
    std::optional<QVector<QVariant>> row;
    if (m_store)
        row = m_store->pupilRow(key, &err);
    m_labAttesa->setVisible(m_store && m_store->pendingCount() > 0);
    if (!row) {
        m_env.services->tell(err.isError() ? err.message : QStringLiteral("Nome non trovato nell'archivio"));
        for (int r = 1; r < kGridRows; ++r) {
            for (int k = 1; k <= 3; ++k)
                setCell(r, k, QStringLiteral("0"));
            setCell(r, 4, QString());
        }
        fitGrid();
        return;
    }

    m_labNome->setText(key);
    m_modoRisultati = forStudent ? QStringLiteral("mionome") : QStringLiteral("nomebis");
    int p = 2;
    for (int r = 1; r < kGridRows; ++r) {
        for (int k = 1; k <= 4; ++k, ++p)
            setCell(r, k, resultCellText(p < row->size() ? row->at(p) : QVariant(), k - 1));
    }
    refit(m_labNome);
    fitGrid();
}

void FRisultati::LabCERCA_Click()
{
    // Typed the way the name entry keeps names, so "rossi  mario" finds
    // "ROSSI MARIO".
    const QString surname = normalisedPupilName(m_text2->text());
    const QString firstName = normalisedPupilName(m_text1->text());
    if (surname.isEmpty() && firstName.isEmpty()) {
        m_env.services->tell(QStringLiteral("Non hai scritto alcun nome.."));
        return;
    }
    m_nomeCercato = normalisedPupilName(surname + QLatin1Char(' ') + firstName);
    m_text2->clear();
    m_text1->clear();
    RicercaESER();
}

void FRisultati::Labtorna_Click()
{
    // Returning "to itself" would leave no window at all: the host shows the
    // menu for a caller that is no screen to go back to.
    const QString caller = m_env.session->formChiamante == screenName() ? QString() : m_env.session->formChiamante;
    m_env.host->showCaller(caller);
    m_env.host->hideScreen(screenName());
}

void FRisultati::Labmenu_Click()
{
    m_env.host->showMenu();
    m_env.host->hideScreen(screenName());
}

void FRisultati::Labesci_Click()
{
    m_env.host->quit();
}

void FRisultati::titleBarClose()
{
    Labmenu_Click();
}

QString FRisultati::exportHelpText()
{
    const QString crlf = QStringLiteral("\r\n");
    const QString lf = QStringLiteral("\n");
    return QStringLiteral("'ESPORTO' serve a raccogliere tutti i risultati degli alunni, distribuiti su diversi "
                          "computer, in un solo archivio che sarà salvato su floppy.")
           + crlf + crlf
           + QStringLiteral("PRIMA di esportare i dati, è necessario inserire UN DISCHETTO. Si deve:") + crlf
           + QStringLiteral("     1°) essere sicuri che non sia danneggiato;") + crlf
           + QStringLiteral("     2°) essere sicuri che ci siano almeno 500 Kb di spazio libero ") + crlf + lf
           + QStringLiteral("Si raccomanda di usare un dischetto diverso per ogni classe. ") + crlf + crlf
           + QStringLiteral("Con un programma di tipo ACCESS si può gestire i dati degli alunni o delle classi come "
                            "si vuole. Basta aprire, con il programma DB, il file 'exporttesti.mdb'(dal dischetto)");
}

void FRisultati::setPrinterProvider(PrinterProvider provider)
{
    if (provider)
        m_printerOverride = std::make_unique<FunctionPrinter>(std::move(provider));
    else
        m_printerOverride.reset();
}

void FRisultati::Labaiuto_Click()
{
    m_env.services->tell(exportHelpText());
}

void FRisultati::LabSTAMPA_Click()
{
    if (!m_store) {
        m_env.services->tell(printmsg::notFound());
        return;
    }
    PrinterSource *printer = m_printerOverride ? m_printerOverride.get() : m_env.services->printer;
    const PrintOutcome out = printResults(*m_store, *m_env.session, m_modoRisultati, m_nomeCercato, printer);
    if (!out.message.isEmpty())
        m_env.services->tell(out.message);
}

void FRisultati::LabSTAMPA_ShiftClick()
{
    if (!m_store || !m_env.services->dialogs) {
        m_env.services->tell(printmsg::notFound());
        return;
    }
    const PrintOutcome out =
        printResultsWithDialog(*m_store, *m_env.session, m_modoRisultati, m_nomeCercato, *m_env.services->dialogs);
    if (!out.message.isEmpty())
        m_env.services->tell(out.message);
}

void FRisultati::LabGuida_Click()
{
    m_env.services->showGuide();
}

void FRisultati::LabEXPORT_Click()
{
    if (!m_store) {
        m_env.services->tell(exportmsg::interrupted());
        return;
    }
    const ExportOutcome out = exportArchive(*m_store, *m_env.services);
    if (out.status == ExportStatus::NoDisk && m_env.services->dialogs) {
        offerFolderExport();
        return;
    }
    if (!out.message.isEmpty())
        m_env.services->tell(out.message);
}

void FRisultati::offerFolderExport()
{
    Dialogs &dialogs = *m_env.services->dialogs;
    const int choice =
        dialogs.choose(exportmsg::noDiskOffer(), {exportmsg::chooseFolderButton(), exportmsg::closeButton()});
    if (choice != 0)
        return;
    // From the home folder every time: the program remembers no folder.
    const std::optional<QString> folder = dialogs.chooseFolder(exportmsg::chooserTitle(), QDir::homePath());
    if (!folder)
        return;
    const ExportOutcome out = exportToFolder(*m_store, *m_env.services, *folder);
    if (!out.message.isEmpty())
        m_env.services->tell(out.message);
}

void FRisultati::formMouseMove()
{
    m_labTorna->rest();
    m_labCerca->rest();
    m_labMenu->rest();
    m_labEsci->rest();
    m_labStampa->rest();
    m_labExport->rest();
}

void FRisultati::Label5_MouseMove()
{
    m_labEsci->rest();
    m_labStampa->rest();
    m_labExport->rest();
}

bool FRisultati::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_label5 || watched == m_labGuida) && event->type() == QEvent::MouseMove)
        Label5_MouseMove();
    return Screen::eventFilter(watched, event);
}

} // namespace morvello
