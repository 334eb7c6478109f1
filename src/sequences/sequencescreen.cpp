#include "sequencescreen.h"

#include <QPainter>

#include "platform/appcontext.h"
#include "platform/labels.h"
#include "platform/navigator.h"
#include "results/openresults.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QPushButton>
#include <cmath>

namespace morvello {

namespace {
const QString kFont = QStringLiteral("MS Sans Serif");
constexpr int kTextLeft = 240;
constexpr int kTextWidth = 7095;
constexpr int kBoxHeight = 375;
constexpr int kAnswerLeft = 9720;
constexpr int kAnswerWidth = 1935;
constexpr int kCounterWidth = 375;
constexpr int kCounterHeight = 255;
// How far the highlight of a picked type label reaches beyond it, in twips.
constexpr int kPickMargin = 60;
constexpr double kDropPoints = 9.75;
constexpr double kAnswerPoints = 8.25;
constexpr double kSmallestPoints = 5.0;

QString rowName(const QString &array, int row)
{
    return QStringLiteral("%1(%2)").arg(array).arg(row);
}
} // namespace

QColor sequenceRowColor(int row)
{
    static const QColor colours[SequenceExercise::MaxRows] = {
        QColor(0xFF, 0xFF, 0xC0), QColor(0xFF, 0xFF, 0x80), QColor(0xFF, 0xC0, 0xC0),
        QColor(0xFF, 0xE0, 0xC0), QColor(0xFF, 0xC0, 0x80), QColor(0xFF, 0xC0, 0xFF),
    };
    return row >= 0 && row < SequenceExercise::MaxRows ? colours[row] : QColor(Qt::white);
}

static const Catalogue &emptyCatalogue()
{
    static const Catalogue none;
    return none;
}

SequenceScreen::SequenceScreen(AppContext &ctx, const SequenceScreenConfig &config, QWidget *parent)
    : Screen(ctx, config.name, config.design, config.background, config.caption, parent),
      m_config(config),
      m_exercise(config.catalogue ? *config.catalogue : emptyCatalogue())
{
    build();
}

SequenceScreen::~SequenceScreen() = default;

StyledLabel *SequenceScreen::addLabel(const QString &name, const QString &text, const QRect &geometry)
{
    auto *l = new StyledLabel(text, this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    setDesignGeometry(l, geometry);
    setDesignFont(l, kFont, 8.25);
    return l;
}

QPushButton *SequenceScreen::addCommand(const CommandDef &def, bool bold)
{
    auto *b = new QPushButton(def.caption, this);
    b->setObjectName(def.name);
    b->setAccessibleName(def.caption);
    setDesignGeometry(b, def.geometry);
    setDesignFont(b, kFont, 8.25, bold);
    return b;
}

void SequenceScreen::build()
{
    buildRows();
    buildTypes();

    m_instructions = addLabel(m_config.instructionsName, m_config.instructionsText, m_config.instructionsGeometry);
    m_instructions->setTextColor(QColor(0x80, 0x00, 0x80));
    m_instructions->setWordWrap(true);
    m_instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_instructions->setAccessibleName(QStringLiteral("Istruzioni"));
    m_instructions->setAccessibleDescription(m_config.instructionsText);
    setDesignFont(m_instructions, kFont, 12);

    m_labedizione = addLabel(QStringLiteral("labedizione"), QString(), m_config.sourceGeometry);
    m_labedizione->setTextColor(m_config.sourceColor);
    m_labedizione->setAlignment(Qt::AlignCenter);
    m_labedizione->setAccessibleName(QStringLiteral("Fonte del testo"));

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->addItems(m_exercise.choices());
    m_combo->setPlaceholderText(m_config.comboPrompt);
    m_combo->setCurrentIndex(-1);
    m_combo->setAccessibleName(m_config.comboPrompt);
    {
        const QString bg = QStringLiteral("#400040");
        const QString fg = m_config.comboText.name();
        m_combo->setStyleSheet(
            QStringLiteral("QComboBox { background-color: %1; color: %2; padding: 0px 2px; border: 1px solid #000000; }"
                           " QComboBox QAbstractItemView { background-color: %1; color: %2;"
                           " selection-background-color: %2; selection-color: %1; }")
                .arg(bg, fg));
        QPalette pal = m_combo->palette();
        pal.setColor(QPalette::PlaceholderText, m_config.comboText);
        pal.setColor(QPalette::ButtonText, m_config.comboText);
        pal.setColor(QPalette::Text, m_config.comboText);
        m_combo->setPalette(pal);
    }
    setDesignGeometry(m_combo, m_config.comboGeometry);
    setDesignFont(m_combo, kFont, 8.25, true);
    connect(m_combo, &QComboBox::activated, this,
            [this](int index) { Combo1_Click(m_combo->itemText(index)); });

    m_cmdrisult = addCommand({QStringLiteral("cmdrisult"), QStringLiteral("RISULTATO"), m_config.checkGeometry}, true);
    connect(m_cmdrisult, &QPushButton::clicked, this, &SequenceScreen::cmdrisult_Click);

    buildCounters();
    buildCommands();

    // Drawn over everything else, and letting clicks through to what it frames.
    m_pickFrame = new QFrame(this);
    m_pickFrame->setObjectName(QStringLiteral("pickFrame"));
    m_pickFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pickFrame->setStyleSheet(QStringLiteral("QFrame { border: 3px solid #FFFF00; background: transparent; }"));
    m_pickFrame->hide();

    buildTabOrder();
}

void SequenceScreen::buildRows()
{
    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        const QColor colour = sequenceRowColor(i);

        auto *text = addLabel(rowName(QStringLiteral("Label1"), i), QString(),
                              QRect(kTextLeft, SequenceExercise::FirstRowTop, kTextWidth, SequenceExercise::LineHeight));
        text->setBackgroundColor(colour);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setDesignFont(text, kFont, 12);
        text->hide();
        m_label1[i] = text;

        auto *box = new DropLabel(i, this);
        box->setObjectName(rowName(QStringLiteral("Label7"), i));
        box->setTextFormat(Qt::PlainText);
        box->setBackgroundColor(colour);
        box->setBordered(true);
        box->setAlignment(Qt::AlignCenter);
        box->setWordWrap(true);
        setDesignGeometry(box, QRect(m_config.dropLeft, SequenceExercise::FirstRowTop, m_config.dropWidth, kBoxHeight));
        setDesignFont(box, kFont, kDropPoints, m_config.dropBold, m_config.dropItalic);
        box->hide();
        connect(box, &DropLabel::dropped, this,
                [this](int index, const QString &caption, QObject *source) { Label7_DragDrop(index, source, caption); });
        connect(box, &DropLabel::clicked, this, &SequenceScreen::dropBoxClicked);
        m_label7[i] = box;

        auto *answer = addLabel(rowName(m_config.answerArray, i), QString(),
                                QRect(kAnswerLeft, SequenceExercise::FirstRowTop, kAnswerWidth, kBoxHeight));
        answer->setBackgroundColor(colour);
        answer->setBordered(m_config.answerBordered);
        answer->setAlignment(m_config.answerAlignment);
        answer->setWordWrap(true);
        answer->hide();
        m_answers[i] = answer;
    }
}

void SequenceScreen::buildTypes()
{
    for (const TypeLabelDef &def : m_config.typeLabels) {
        auto *t = new DragLabel(def.caption, this);
        t->setObjectName(def.name);
        t->setTextFormat(Qt::PlainText);
        t->setBackgroundColor(m_config.typeBackground);
        t->setTextColor(Qt::white);
        t->setBordered(true);
        t->setAlignment(Qt::AlignCenter);
        t->setWordWrap(true);
        t->setAccessibleDescription(
            QStringLiteral("Trascinalo su una casella, oppure sceglilo e poi scegli la casella."));
        setDesignGeometry(t, def.geometry);
        setDesignFont(t, kFont, 9.75, true);
        connect(t, &DragLabel::picked, this, [this, t] { typePicked(t); });
        m_types << t;
    }
}

void SequenceScreen::buildCounters()
{
    auto frame = [this](const QString &name, const QString &text, const QRect &g) {
        StyledLabel *l = addLabel(name, text, g);
        l->setTextColor(Qt::white);
        setDesignFont(l, kFont, 8.25, true);
        return l;
    };
    auto number = [this](const QString &name, int left, int top) {
        StyledLabel *l = addLabel(name, QStringLiteral("0"), QRect(left, top, kCounterWidth, kCounterHeight));
        l->setTextColor(Qt::white);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    // The frames first, so that the numbers lie over their blank stretches.
    m_label4 = frame(QStringLiteral("Label4"), m_config.label4Text, m_config.label4Geometry);
    m_label4->setAccessibleName(QStringLiteral("Ultima verifica"));
    m_label5 = frame(QStringLiteral("Label5"), m_config.label5Text, m_config.label5Geometry);
    m_label5->setAccessibleName(QStringLiteral("Totale della visita"));
    m_label2 = number(QStringLiteral("Label2"), m_config.rightLeft, m_config.lastTop);
    m_label3 = number(QStringLiteral("Label3"), m_config.totalLeft, m_config.lastTop);
    m_label6 = number(QStringLiteral("Label6"), m_config.rightLeft, m_config.visitTop);
    m_label8 = number(QStringLiteral("Label8"), m_config.totalLeft, m_config.visitTop);
    spreadCounterFrames();
}

void SequenceScreen::spreadCounterFrame(StyledLabel *frame, int gapLeft, int gapRight)
{
    const QString text = frame->text();
    const QString word = text.mid(int(text.lastIndexOf(QLatin1Char(' '))) + 1);
    if (word.isEmpty() || word == text)
        return;
    // Word spacing widens each run of blanks, not each blank: measure how far
    // one pixel of it moves the closing word.
    QFont f = frame->font();
    f.setWordSpacing(0);
    const double plain = QFontMetricsF(f).horizontalAdvance(text);
    const double wordWidth = QFontMetricsF(f).horizontalAdvance(word);
    QFont probe = f;
    probe.setWordSpacing(1);
    const double perPixel = QFontMetricsF(probe).horizontalAdvance(text) - plain;
    if (perPixel <= 0)
        return;
    const double wordCentre = px((gapLeft + gapRight) / 2.0 - designGeometry(frame).left());
    const double extra = (wordCentre - wordWidth / 2.0 - (plain - wordWidth)) / perPixel;
    f.setWordSpacing(qMax(extra, -0.8 * QFontMetricsF(f).horizontalAdvance(QLatin1Char(' '))));
    frame->setFont(f);
}

void SequenceScreen::spreadCounterFrames()
{
    const int gapLeft = m_config.rightLeft + kCounterWidth;
    spreadCounterFrame(m_label4, gapLeft, m_config.totalLeft);
    spreadCounterFrame(m_label5, gapLeft, m_config.totalLeft);
}

void SequenceScreen::fitCaption(QLabel *label, double points, bool bold, bool italic)
{
    const QRect g = designGeometry(label);
    const QRectF room(0, 0, qMax(1, px(g.width()) - 4), 1e6);
    const double height = px(g.height()) - 2;
    double pts = points;
    for (; pts > kSmallestPoints; pts -= 0.5) {
        QFont f(kFont);
        f.setBold(bold);
        f.setItalic(italic);
        f.setPixelSize(qMax(1, int(std::lround(pts * 96.0 / 72.0 * scale()))));
        const QRectF need = QFontMetricsF(f).boundingRect(room, Qt::TextWordWrap | Qt::AlignCenter, label->text());
        if (need.height() <= height && need.width() <= room.width())
            break;
    }
    setDesignFont(label, kFont, qMax(pts, kSmallestPoints), bold, italic);
}

void SequenceScreen::fitCaptions()
{
    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        fitCaption(m_label7[i], kDropPoints, m_config.dropBold, m_config.dropItalic);
        fitCaption(m_answers[i], kAnswerPoints, false, false);
    }
}

void SequenceScreen::resizeEvent(QResizeEvent *e)
{
    Screen::resizeEvent(e);
    fitCaptions();
    spreadCounterFrames();
}

void SequenceScreen::buildCommands()
{
    if (m_config.hasRegister) {
        m_registro = addCommand(m_config.registro, false);
        connect(m_registro, &QPushButton::clicked, this, &SequenceScreen::CMDREGISTRO_Click);
    }
    m_menu = addCommand(m_config.menu, false);
    connect(m_menu, &QPushButton::clicked, this, &SequenceScreen::CmdMenu_Click);
    m_archive = addCommand(m_config.archive, false);
    connect(m_archive, &QPushButton::clicked, this, &SequenceScreen::CmdArchivio_Click);
    m_fine = addCommand(m_config.fine, false);
    connect(m_fine, &QPushButton::clicked, this, &SequenceScreen::cmdfine_Click);
}

void SequenceScreen::buildTabOrder()
{
    // Keyboard road: a type label, then a box to place it in, then the commands.
    QVector<QWidget *> chain;
    chain << m_combo;
    for (DragLabel *t : m_types)
        chain << t;
    for (DropLabel *b : m_label7)
        chain << b;
    chain << m_cmdrisult;
    if (m_registro)
        chain << m_registro;
    chain << m_menu << m_archive << m_fine;
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

StyledLabel *SequenceScreen::counter(int n) const
{
    switch (n) {
    case 2: return m_label2;
    case 3: return m_label3;
    case 6: return m_label6;
    case 8: return m_label8;
    default: return nullptr;
    }
}

void SequenceScreen::formLoad()
{
    m_exercise.load();
    showBoard();
}

void SequenceScreen::showBoard()
{
    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        const bool shown = m_exercise.rowShown(i);
        const int top = m_exercise.rowTop(i);
        const int k = i + 1;

        StyledLabel *text = m_label1[i];
        text->setText(m_exercise.rowText(i));
        setDesignGeometry(text, QRect(kTextLeft, top, kTextWidth, m_exercise.rowHeightAt(i)));
        text->setAccessibleName(QStringLiteral("Testo della sequenza %1").arg(k));
        text->setAccessibleDescription(m_exercise.rowText(i));
        text->setVisible(shown);

        DropLabel *box = m_label7[i];
        const QString caption = m_exercise.dropCaption(i);
        box->setText(caption);
        box->setBackgroundColor(m_exercise.dropWrong(i) ? red() : sequenceRowColor(i));
        // A one-line row is lower than a box: the box then keeps to its row
        // rather than run over the next one.
        const int boxHeight = qMin(kBoxHeight, m_exercise.rowHeightAt(i));
        setDesignGeometry(box, QRect(m_config.dropLeft, top, m_config.dropWidth, boxHeight));
        QString name = QStringLiteral("Sequenza %1: %2").arg(k).arg(caption.isEmpty() ? QStringLiteral("vuota") : caption);
        if (m_exercise.dropWrong(i))
            name += QStringLiteral(" (sbagliata)");
        box->setAccessibleName(name);
        box->setVisible(shown);

        StyledLabel *answer = m_answers[i];
        answer->setText(m_exercise.answerCaption(i));
        setDesignGeometry(answer, QRect(kAnswerLeft, top, kAnswerWidth, boxHeight));
        answer->setAccessibleName(QStringLiteral("Risposta giusta %1: %2").arg(k).arg(m_exercise.answerCaption(i)));
        answer->setVisible(m_exercise.answerShown(i));
    }

    m_label2->setText(m_exercise.label2());
    m_label3->setText(m_exercise.label3());
    m_label6->setText(m_exercise.label6());
    m_label8->setText(m_exercise.label8());
    m_label2->setAccessibleName(QStringLiteral("Giuste nell'ultima verifica: %1").arg(m_exercise.label2()));
    m_label3->setAccessibleName(QStringLiteral("Sequenze dell'ultima verifica: %1").arg(m_exercise.label3()));
    m_label6->setAccessibleName(QStringLiteral("Giuste in tutto: %1").arg(m_exercise.label6()));
    m_label8->setAccessibleName(QStringLiteral("Sequenze in tutto: %1").arg(m_exercise.label8()));

    fitCaptions();

    m_labedizione->setText(m_exercise.sourceLine());
    m_labedizione->setAccessibleDescription(m_exercise.sourceLine());
    m_cmdrisult->setEnabled(m_exercise.checkEnabled());
}

void SequenceScreen::Combo1_Click(const QString &choice)
{
    setPicked(nullptr);
    m_exercise.choose(choice);
    showBoard();
}

void SequenceScreen::Label7_DragDrop(int index, QObject *source, const QString &caption)
{
    // The dragged label's own caption counts; the dragged data is the fallback
    // for a drag whose source is not at hand.
    QString dropped = caption;
    if (auto *label = qobject_cast<QLabel *>(source))
        dropped = label->text();
    if (dropped.isEmpty())
        return;
    if (m_exercise.drop(index, dropped))
        showBoard();
}

void SequenceScreen::cmdrisult_Click()
{
    AppContext &ctx = context();
    switch (m_exercise.check()) {
    case SequenceExercise::CheckOutcome::NotEnabled:
        return;
    case SequenceExercise::CheckOutcome::Incomplete:
        if (ctx.dialogs)
            ctx.dialogs->message(SequenceExercise::incompleteMessage());
        return;
    case SequenceExercise::CheckOutcome::Scored:
        break;
    }
    // The pupil sees the result before anything can go wrong with the save.
    showBoard();
    const DbError err = saveGroup(ctx, m_config.group, m_exercise.savedRight(), m_exercise.savedTotal(),
                                  m_exercise.percent());
    if (err.isError())
        reportSaveFailure(ctx, err);
}

void SequenceScreen::CmdMenu_Click()
{
    setPicked(nullptr);
    AppContext &ctx = context();
    if (!ctx.navigator) {
        hide();
        return;
    }
    ctx.navigator->show(ScreenName::Menu);
    ctx.navigator->unload(screenName());
}

void SequenceScreen::CmdArchivio_Click()
{
    setPicked(nullptr);
    openResultsFromActivity(context(), m_config.name);
}

void SequenceScreen::cmdfine_Click()
{
    context().closeDatabaseAndEnd();
}

void SequenceScreen::CMDREGISTRO_Click()
{
    if (!m_registro || !m_registro->isEnabled())
        return;
    // Once a visit: only a new load enables it again.
    m_registro->setEnabled(false);
    AppContext &ctx = context();
    ctx.chiediNome();
    if (ctx.nomeStudente.isEmpty())
        return;
    const DbError err = registerNarrativeResult(ctx, m_exercise.savedRight(), m_exercise.savedTotal());
    if (err.isError())
        reportSaveFailure(ctx, err);
}

void SequenceScreen::titleBarClose()
{
    CmdMenu_Click();
}

void SequenceScreen::typePicked(DragLabel *label)
{
    // Picking the label already picked puts it down again.
    setPicked(m_picked == label ? nullptr : label);
}

void SequenceScreen::dropBoxClicked(int index)
{
    if (!m_picked)
        return;
    DragLabel *label = m_picked;
    setPicked(nullptr);
    Label7_DragDrop(index, label);
}

void SequenceScreen::setPicked(DragLabel *label)
{
    if (m_picked)
        m_picked->setPicked(false);
    m_picked = label;
    if (!label) {
        m_pickFrame->hide();
        return;
    }
    label->setPicked(true);
    setDesignGeometry(m_pickFrame,
                      designGeometry(label).adjusted(-kPickMargin, -kPickMargin, kPickMargin, kPickMargin));
    m_pickFrame->show();
    m_pickFrame->raise();
}

void SequenceScreen::paintDecoration(QPainter &p, const QRect &area)
{
    Screen::paintDecoration(p, area);
    // On a dark screen the purple instructions would sink into the
    // background: they sit on a light card, as on a sheet of paper.
    if (!m_instructions || backgroundColor().lightness() >= 96)
        return;
    const QRect r = m_instructions->geometry();
    const int textHeight = qMin(r.height(), m_instructions->heightForWidth(r.width()));
    const int pad = px(90);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 238, 250));
    double bottom = r.y() + textHeight + pad;
    // The source line below keeps its own dark ground.
    if (m_labedizione && m_labedizione->y() > r.y())
        bottom = qMin(bottom, double(m_labedizione->y() - px(15)));
    p.drawRoundedRect(QRectF(r.x() - pad, r.y() - pad, r.width() + 2 * pad, bottom - (r.y() - pad)), pad, pad);
    p.restore();
}

} // namespace morvello
