#include "frisultati.h"

#include "export.h"
#include "resultsstore.h"
#include "resultstext.h"

#include "platform/appcontext.h"
#include "platform/database.h"
#include "platform/navigator.h"
#include "platform/pupilname.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTableWidget>

namespace morvello {

void ClickLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_pressed = true;
    e->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
    e->accept();
}

void ClickLabel::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    StyledLabel::keyPressEvent(e);
}

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

const char *const kRowCaptions[kGridRows] = {
    "Argomento",
    "Testi espositivi (tipo sequenze)",
    "Poesia: introduzione",
    "Figure retoriche: riconoscimento",
    "Figure retoriche: definizioni",
    "Testi narrativi (trovare sequenze)",
    "Aiuti cercati nell'individuare seq.",
    "Testi narrativi (tipo sequenze)",
    "Testi narrativi (concetti Génette)",
};
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

StyledLabel *makeLabel(FRisultati *s, const char *name, const QString &text, const QColor &colour,
                       const QColor &background = QColor())
{
    auto *l = new StyledLabel(text, s);
    l->setObjectName(QString::fromUtf8(name));
    l->setTextColor(colour);
    l->setBackgroundColor(background);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

CommandLabel *makeCommand(FRisultati *s, const char *name, const QString &text, const QColor &resting)
{
    auto *l = new CommandLabel(text, resting, s);
    l->setObjectName(QString::fromUtf8(name));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLineEdit *makeBox(FRisultati *s, const char *name)
{
    auto *e = new QLineEdit(s);
    e->setObjectName(QString::fromUtf8(name));
    e->setMaxLength(kMaxNameLength);
    e->setStyleSheet(QStringLiteral("QLineEdit { background-color: #c0c0ff; color: #000000; border: 1px solid "
                                    "#404040; padding: 0px 2px; }"));
    return e;
}

} // namespace

FRisultati::FRisultati(AppContext &ctx, QWidget *parent)
    : Screen(ctx, ScreenName::Risultati, QSize(11880, 9600), kBackground,
             QStringLiteral("Risultati conseguiti nelle esercitazioni"), parent)
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
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setWordWrap(false);
    m_grid->setTextElideMode(Qt::ElideNone);
    m_grid->setStyleSheet(QStringLiteral("QTableWidget { background-color: #808080; color: #000000; "
                                         "gridline-color: #808080; border: 1px solid #000000; }"));
    place(m_grid, kGridTwips[0], kGridTwips[1], kGridTwips[2], kGridTwips[3]);
    designFont(m_grid, QStringLiteral("MS Sans Serif"), 12);
    m_label1->stackUnder(m_grid);

    m_labNome = makeLabel(this, "LabNOME", QString(), QColor(224, 224, 224), QColor(0, 0, 64));
    place(m_labNome, 0, 240, 11895, 375);
    designFont(m_labNome, QStringLiteral("Arial"), 14.25, true);

    m_cmdAggiorna = new QPushButton(QStringLiteral("AGGIORNA I RISULTATI"), this);
    m_cmdAggiorna->setObjectName(QStringLiteral("CMDAGGIORNA"));
    place(m_cmdAggiorna, 9600, 480, 2055, 495);
    setDesignFont(m_cmdAggiorna, QStringLiteral("MS Sans Serif"), 8.25);

    // On the grey panel the lilac caption needs the dark ground its two
    // neighbours below have.
    m_label2 = makeLabel(this, "Label2", QStringLiteral("Cerca i RISULTATI di..."), QColor(192, 192, 255),
                         QColor(64, 64, 64));
    place(m_label2, 9360, 1200, 2295, 375);
    designFont(m_label2, QStringLiteral("MS Sans Serif"), 8.25, true);
    m_label2->setAlignment(Qt::AlignCenter);

    m_label9 = makeLabel(this, "Label9", QStringLiteral("Qui sotto scrivi il COGNOME"), QColor(192, 192, 255),
                         QColor(64, 64, 64));
    place(m_label9, 9195, 1800, 2535, 255);
    designFont(m_label9, QStringLiteral("MS Sans Serif"), 8.25, true);

    m_text2 = makeBox(this, "Text2");
    m_text2->setAccessibleName(QStringLiteral("Cognome"));
    place(m_text2, 9480, 2040, 2055, 375);
    setDesignFont(m_text2, QStringLiteral("MS Sans Serif"), 9.75, true);

    m_label8 = makeLabel(this, "Label8", QStringLiteral(" e qui il NOME"), QColor(192, 192, 255), QColor(64, 64, 64));
    place(m_label8, 9360, 2880, 2295, 255);
    designFont(m_label8, QStringLiteral("MS Sans Serif"), 8.25, true);

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
    designFont(m_labTorna, QStringLiteral("Arial"), 12, true);

    m_labMenu = makeCommand(this, "Labmenù", QStringLiteral("Menù"), kRestMenu);
    place(m_labMenu, 9480, 7440, 2175, 375);
    designFont(m_labMenu, QStringLiteral("Arial"), 12, true);

    // A plain bar: its design caption is there, in the bar's own colour.
    m_label5 = makeLabel(this, "Label5", QStringLiteral("Label5"), QColor(0, 0, 64), QColor(0, 0, 64));
    m_label5->setMouseTracking(true);
    m_label5->installEventFilter(this);
    place(m_label5, 0, 7920, 12015, 375);
    setDesignFont(m_label5, QStringLiteral("MS Sans Serif"), 8.25);

    m_labAiuto = new ClickLabel(QStringLiteral("?"), this);
    m_labAiuto->setObjectName(QStringLiteral("Labaiuto"));
    m_labAiuto->setTextColor(QColor(0, 0, 0));
    m_labAiuto->setBackgroundColor(QColor(192, 192, 0));
    m_labAiuto->setAlignment(Qt::AlignCenter);
    m_labAiuto->setCursor(Qt::PointingHandCursor);
    m_labAiuto->setFocusPolicy(Qt::TabFocus);
    m_labAiuto->setAccessibleName(QStringLiteral("Aiuto sull'esportazione"));
    place(m_labAiuto, 240, 7920, 375, 375);
    setDesignFont(m_labAiuto, QStringLiteral("MS Sans Serif"), 13.5, true);

    m_labExport = makeCommand(this, "LabEXPORT", QStringLiteral("ESPORTA i risultati su floppy"), kRestBottom);
    place(m_labExport, 720, 7950, 2895, 375);
    designFont(m_labExport, QStringLiteral("Arial"), 9.75, true);

    m_labStampa = makeCommand(this, "LabSTAMPA", QStringLiteral("Stampa i risultati"), kRestBottom);
    place(m_labStampa, 4800, 7955, 2175, 375);
    designFont(m_labStampa, QStringLiteral("Arial"), 9.75, true);

    m_labEsci = makeCommand(this, "Labesci", QStringLiteral("Esco"), kRestEsci);
    place(m_labEsci, 9720, 7920, 1695, 615);
    designFont(m_labEsci, QStringLiteral("Arial"), 12, true);

    connect(m_cmdAggiorna, &QPushButton::clicked, this, &FRisultati::CMDAGGIORNA_Click);
    connect(m_labCerca, &CommandLabel::clicked, this, &FRisultati::LabCERCA_Click);
    connect(m_labTorna, &CommandLabel::clicked, this, &FRisultati::Labtorna_Click);
    connect(m_labMenu, &CommandLabel::clicked, this, &FRisultati::Labmenu_Click);
    connect(m_labEsci, &CommandLabel::clicked, this, &FRisultati::Labesci_Click);
    connect(m_labAiuto, &ClickLabel::clicked, this, &FRisultati::Labaiuto_Click);
    connect(m_labStampa, &CommandLabel::clicked, this, &FRisultati::LabSTAMPA_Click);
    connect(m_labExport, &CommandLabel::clicked, this, &FRisultati::LabEXPORT_Click);
    // Enter in either box is the same as "OK, ho fatto."
    connect(m_text2, &QLineEdit::returnPressed, this, &FRisultati::LabCERCA_Click);
    connect(m_text1, &QLineEdit::returnPressed, this, &FRisultati::LabCERCA_Click);

    layOutGrid();
    applyGridMetrics();
    fitTexts();
}

void FRisultati::resizeEvent(QResizeEvent *e)
{
    Screen::resizeEvent(e);
    applyGridMetrics();
    fitTexts();
    update();
}

void FRisultati::designFont(QWidget *w, const QString &family, double points, bool bold)
{
    setDesignFont(w, family, points, bold);
    m_fitted.append(FittedFont{w, family, points, bold});
}

namespace {

// Narrows the font down to four fifths of its width, then makes it smaller,
// until the widest text fits; a font that fits is left as designed.
void fitFont(QWidget *w, const QStringList &texts, int available)
{
    QFont f = w->font();
    int widest = 0;
    const QFontMetrics fm(f);
    for (const QString &t : texts)
        widest = qMax(widest, fm.horizontalAdvance(t));
    if (widest <= available || widest <= 0 || available <= 0)
        return;
    const double ratio = double(available) / widest;
    if (ratio >= 0.8) {
        f.setStretch(int(ratio * 100));
    } else {
        f.setStretch(80);
        f.setPixelSize(qMax(1, int(f.pixelSize() * ratio / 0.8)));
    }
    w->setFont(f);
}

} // namespace

void FRisultati::fitTexts()
{
    for (const FittedFont &ff : std::as_const(m_fitted)) {
        setDesignFont(ff.widget, ff.family, ff.points, ff.bold);
        if (ff.widget == m_grid) {
            // The column whose texts overflow the most sets the grid's font.
            const int pad = 8;
            double worst = 1.0;
            QStringList worstTexts;
            int worstWidth = 0;
            const QFontMetrics fm(m_grid->font());
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
                fitFont(m_grid, worstTexts, worstWidth);
        } else if (auto *label = qobject_cast<QLabel *>(ff.widget)) {
            fitFont(label, {label->text()}, label->contentsRect().width() - 2);
        }
    }
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
    for (int c = 0; c < kGridColumns; ++c)
        setCell(0, c, QString::fromUtf8(kColumnCaptions[c]));
    for (int r = 1; r < kGridRows; ++r)
        setCell(r, 0, QString::fromUtf8(kRowCaptions[r]));
}

void FRisultati::CMDAGGIORNA_Click()
{
    AppContext &ctx = context();
    m_nomeCercato.clear();
    if (ctx.nomeStudente.isEmpty())
        ctx.chiediNome();
    m_labNome->setText(ctx.nomeStudente);
    fitTexts();
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
    AppContext &ctx = context();
    m_labNome->setText(QString());
    if (forStudent && ctx.nomeStudente.isEmpty())
        ctx.chiediNome();
    const QString key = forStudent ? ctx.nomeStudente : searched;
    layOutGrid();

    DbError err;
    std::optional<QVector<QVariant>> row;
    if (ctx.dbTesti)
        row = lookupPupil(*ctx.dbTesti, key, &err);
    if (!row) {
        if (ctx.dialogs)
            ctx.dialogs->message(err.isError() ? err.message : QStringLiteral("Nome non trovato nell'archivio"));
        for (int r = 1; r < kGridRows; ++r) {
            for (int k = 1; k <= 3; ++k)
                setCell(r, k, QStringLiteral("0"));
            setCell(r, 4, QString());
        }
        fitTexts();
        return;
    }

    m_labNome->setText(key);
    m_modoRisultati = forStudent ? QStringLiteral("mionome") : QStringLiteral("nomebis");
    int p = 2;
    for (int r = 1; r < kGridRows; ++r) {
        for (int k = 1; k <= 4; ++k, ++p)
            setCell(r, k, resultCellText(p < row->size() ? row->at(p) : QVariant(), k - 1));
    }
    fitTexts();
}

void FRisultati::LabCERCA_Click()
{
    // Typed the way the name entry keeps names, so "rossi  mario" finds
    // "ROSSI MARIO".
    const QString surname = normalisedPupilName(m_text2->text());
    const QString firstName = normalisedPupilName(m_text1->text());
    if (surname.isEmpty() && firstName.isEmpty()) {
        if (context().dialogs)
            context().dialogs->message(QStringLiteral("Non hai scritto alcun nome.."));
        return;
    }
    m_nomeCercato = normalisedPupilName(surname + QLatin1Char(' ') + firstName);
    m_text2->clear();
    m_text1->clear();
    RicercaESER();
}

void FRisultati::Labtorna_Click()
{
    AppContext &ctx = context();
    if (!ctx.navigator) {
        hide();
        return;
    }
    // Returning "to itself" would leave no window at all.
    const QString caller = ctx.formChiamante == screenName() ? ScreenName::Menu : ctx.formChiamante;
    ctx.navigator->showCaller(caller);
    ctx.navigator->hide(screenName());
}

void FRisultati::Labmenu_Click()
{
    AppContext &ctx = context();
    if (!ctx.navigator) {
        hide();
        return;
    }
    ctx.navigator->show(ScreenName::Menu);
    ctx.navigator->hide(screenName());
}

void FRisultati::Labesci_Click()
{
    context().closeDatabaseAndEnd();
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

void FRisultati::Labaiuto_Click()
{
    if (context().dialogs)
        context().dialogs->message(exportHelpText());
}

void FRisultati::LabSTAMPA_Click()
{
    const PrintOutcome out = printResults(context(), m_modoRisultati, m_nomeCercato, m_printer);
    if (!out.message.isEmpty() && context().dialogs)
        context().dialogs->message(out.message);
}

void FRisultati::LabEXPORT_Click()
{
    const ExportOutcome out = exportArchive(context());
    if (!out.message.isEmpty() && context().dialogs)
        context().dialogs->message(out.message);
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
    if (watched == m_label5 && event->type() == QEvent::MouseMove)
        Label5_MouseMove();
    return Screen::eventFilter(watched, event);
}

} // namespace morvello
