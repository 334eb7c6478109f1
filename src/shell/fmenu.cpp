// SPDX-License-Identifier: GPL-3.0-or-later
#include "fmenu.h"

#include "apphost.h"
#include "screennames.h"

#include "kit/controls.h"
#include "storage/resultsstore.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>

namespace morvello {

namespace {
const QString kArial = QStringLiteral("Arial");
const QString kSans = QStringLiteral("MS Sans Serif");
const QColor kNarrativi(255, 255, 192);
const QColor kEspositivi(255, 224, 192);
const QColor kPoetici(255, 192, 192);
const QColor kComandi(192, 192, 255);
} // namespace

FMenu::FMenu(AppHost &host, const QVector<Activity> &rows)
    : Screen(ScreenName::Menu, QSize(12000, 9300), QColor(64, 0, 0), QStringLiteral("Scegli")),
      m_host(host), m_rows(rows)
{
    buildActivities();
    if (host.services().ticks && host.services().speech) {
        m_warmVoice = host.services().ticks->newTicker(this);
        connect(m_warmVoice, &Ticker::timeout, this, [this] {
            m_warmVoice->stop();
            if (isVisible())
                m_host.services().speech->prepare();
        });
    }
    auto *arch = addCommand(QStringLiteral("Labarchivio"), QStringLiteral("Archivio dei risultatti"), kComandi, kArial,
                            14.25, QRect(7800, 7680, 1815, 735));
    auto *esco = addCommand(QStringLiteral("Labesco"), QStringLiteral("Esco dal programma"), kComandi, kArial, 14.25,
                            QRect(9840, 7680, 1935, 735));

    m_labNomi = controls::clickable(this, QStringLiteral("LabNOMI"),
                                    QStringLiteral("Elenco dei nomi presenti nell'archivio dei risultati"),
                                    QRect(6360, 7800, 1215, 855), DesignFont{kSans, 8.25}, QColor(255, 255, 255));
    m_labNomi->setWordWrap(true);
    refit(m_labNomi);
    connect(m_labNomi, &ClickLabel::clicked, this, &FMenu::LabNOMI_Click);

    addHeading(QStringLiteral("Label1"), QStringLiteral("Come si smonta un'opera..."), QColor(64, 0, 0), kArial, 24,
               false, QRect(240, 7800, 5895, 615));

    // Below "Esco dal programma", where the menu has nothing.
    m_labGuida = controls::guideLabel(this, QRect(9840, 8640, 1095, 375), DesignFont{kSans, 8.25, true}, kComandi);
    connect(m_labGuida, &ClickLabel::clicked, this, &FMenu::LabGuida_Click);

    // Below the names label, where the menu has nothing.
    m_leggibile = new QCheckBox(legibleCaption(), this);
    m_leggibile->setObjectName(QStringLiteral("ChkLeggibile"));
    m_leggibile->setAccessibleName(legibleCaption());
    m_leggibile->setToolTip(QStringLiteral("Testi con caratteri più grandi e distanziati, "
                                           "per chi legge con fatica; si ricorda per ogni alunno"));
    QPalette switchPalette = m_leggibile->palette();
    switchPalette.setColor(QPalette::WindowText, kComandi);
    m_leggibile->setPalette(switchPalette);
    place(m_leggibile, 6360, 8760, 3255, 375);
    setDesignFont(m_leggibile, kSans, 8.25, true);
    connect(m_leggibile, &QCheckBox::clicked, this, &FMenu::ChkLeggibile_Click);

    // Created last so that, when shown, it lies over the activity column.
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setAccessibleName(QStringLiteral("Elenco dei nomi presenti nell'archivio dei risultati"));
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Base, QColor(192, 192, 255));
    listPalette.setColor(QPalette::Text, Qt::black);
    m_list->setPalette(listPalette);
    m_list->setWordWrap(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->addItem(primaRigaIniziale());
    place(m_list, 8640, 360, 3375, 6465);
    setDesignFont(m_list, kSans, 8.25);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { List1_Click(m_list->row(item)); });
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { List1_Click(m_list->row(item)); });

    connect(arch, &CommandLabel::clicked, this, &FMenu::Labarchivio_Click);
    connect(esco, &CommandLabel::clicked, this, &FMenu::Labesco_Click);
}

void FMenu::ChkLeggibile_Click(bool on)
{
    m_leggibile->setChecked(on);
    m_host.setLegibleText(on);
}

void FMenu::showEvent(QShowEvent *e)
{
    // The name may have changed since: the switch shows this pupil's choice.
    m_leggibile->setChecked(m_host.session().testoLeggibile);
    Screen::showEvent(e);
    if (m_warmVoice && m_host.services().speech->state() == Speech::State::Idle)
        m_warmVoice->start(kWarmVoiceMs);
}

void FMenu::buildActivities()
{
    // Each section's heading, then the activities the registry places in it.
    struct Section {
        MenuSection section;
        QString name;
        QString caption;
        QColor colour;
        QRect twips;
    };
    const Section sections[] = {
        {MenuSection::Narrativi, QStringLiteral("Labnarrati"), QStringLiteral("Testi narrativi"), kNarrativi,
         QRect(9600, 1320, 2295, 375)},
        {MenuSection::Espositivi, QStringLiteral("Labespositivo"), QStringLiteral("Testi espositivi"), kEspositivi,
         QRect(9720, 3840, 2175, 615)},
        {MenuSection::Poetici, QStringLiteral("Labpoesia"), QStringLiteral("Testi poetici"), kPoetici,
         QRect(9480, 5040, 2415, 615)},
    };
    for (const Section &section : sections) {
        addHeading(section.name, section.caption, section.colour, kArial, 14.25, true, section.twips);
        for (const Activity &row : m_rows) {
            if (row.section != section.section || row.menuLabel.isEmpty())
                continue;
            auto *l = addCommand(row.menuLabel, row.menuCaption, section.colour, kSans, 8.25, row.menuTwips);
            const QString label = row.menuLabel;
            connect(l, &CommandLabel::clicked, this, [this, label] { openActivity(label); });
        }
    }
}

CommandLabel *FMenu::addCommand(const QString &name, const QString &caption, const QColor &resting,
                                const QString &family, double points, const QRect &twips)
{
    CommandLabel *l = controls::command(this, name, caption, twips, DesignFont{family, points, true}, resting);
    l->setWordWrap(true);
    refit(l);
    m_commands << l;
    return l;
}

StyledLabel *FMenu::addHeading(const QString &name, const QString &caption, const QColor &color,
                               const QString &family, double points, bool bold, const QRect &twips)
{
    StyledLabel *l = controls::label(this, name, caption, twips, DesignFont{family, points, bold}, color);
    l->setWordWrap(true);
    refit(l);
    return l;
}

CommandLabel *FMenu::command(const QString &name) const
{
    for (CommandLabel *l : m_commands)
        if (l->objectName() == name)
            return l;
    return nullptr;
}

void FMenu::formLoad()
{
    m_list->hide();
    if (m_host.session().nomeStudente.isEmpty())
        m_host.askName();
}

void FMenu::openActivity(const QString &menuLabel)
{
    const Activity *row = activityForMenuLabel(m_rows, menuLabel);
    if (!row || !m_host.navigator().isRegistered(row->screen))
        return;
    m_host.showScreen(row->screen);
    if (row->menu == MenuAfterOpening::Hides)
        hide();
}

void FMenu::LabGuida_Click()
{
    m_host.services().showGuide();
}

void FMenu::Labarchivio_Click()
{
    // A pupil who typed only spaces has no name: ask again before showing
    // whose results these are.
    if (m_host.session().nomeStudente.isEmpty()) {
        m_host.askName();
        if (m_host.session().nomeStudente.isEmpty())
            return;
    }
    if (!m_host.navigator().isRegistered(ScreenName::Risultati))
        return;
    m_host.openArchiveFromMenu();
}

void FMenu::Labesco_Click()
{
    m_host.endProgram();
}

void FMenu::LabNOMI_Click()
{
    m_labNomi->hide();
    m_list->show();
    m_list->raise();
    ResultsStore *store = m_host.store();
    if (!store)
        return;
    DbError err;
    const QStringList names = store->names(&err);
    if (err.isError()) {
        m_host.services().tell(
            QStringLiteral("Non riesco a leggere l'elenco dei nomi dall'archivio dei risultati.\n\n") + err.message);
        return;
    }
    m_list->addItems(names);
}

void FMenu::List1_Click(int row)
{
    if (row != 0)
        return;
    m_list->hide();
    m_list->clear();
    m_list->addItem(primaRigaSuccessiva());
    m_labNomi->show();
}

void FMenu::formMouseMove()
{
    for (CommandLabel *l : m_commands)
        l->rest();
}

void FMenu::titleBarClose()
{
    // Closing the menu's window ends the program, as "Esco dal programma" does.
    Labesco_Click();
}

void FMenu::paintDecoration(QPainter &p, const QRect &area)
{
    Screen::paintDecoration(p, area);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(surfaceLeft(), 0);

    // A parchment page on the left, with an open book: the title sits at its
    // foot in the menu's own dark red.
    const QRectF page(px(240), px(480), px(5940), px(8040));
    QLinearGradient paper(page.topLeft(), page.bottomRight());
    paper.setColorAt(0.0, QColor(255, 250, 232));
    paper.setColorAt(1.0, QColor(240, 224, 196));
    p.setPen(QPen(QColor(120, 60, 30), qMax(1.0, 2.0 * scale())));
    p.setBrush(paper);
    p.drawRoundedRect(page, px(180), px(180));

    const double cx = page.center().x();
    const double top = px(1500);
    const double w = px(2300);
    const double h = px(3600);
    QPainterPath left;
    left.moveTo(cx, top + px(200));
    left.cubicTo(cx - w * 0.4, top - px(150), cx - w * 0.8, top, cx - w, top + px(120));
    left.lineTo(cx - w, top + h);
    left.cubicTo(cx - w * 0.8, top + h - px(120), cx - w * 0.4, top + h - px(250), cx, top + h + px(80));
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(cx, top + px(200));
    right.cubicTo(cx + w * 0.4, top - px(150), cx + w * 0.8, top, cx + w, top + px(120));
    right.lineTo(cx + w, top + h);
    right.cubicTo(cx + w * 0.8, top + h - px(120), cx + w * 0.4, top + h - px(250), cx, top + h + px(80));
    right.closeSubpath();
    p.setPen(QPen(QColor(110, 40, 30), qMax(1.0, 2.5 * scale())));
    p.setBrush(QColor(255, 255, 245));
    p.drawPath(left);
    p.drawPath(right);
    p.drawLine(QPointF(cx, top + px(200)), QPointF(cx, top + h + px(80)));

    // Lines of text on both pages, some picked out in the colours the
    // exercises give to sequences.
    const QColor marks[] = {QColor(255, 255, 192), QColor(255, 224, 192), QColor(255, 192, 192),
                            QColor(192, 192, 255)};
    p.setPen(Qt::NoPen);
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 12; ++i) {
            const double y = top + px(500) + i * px(240);
            const double x0 = side < 0 ? cx - w + px(250) : cx + px(250);
            const double len = w - px(500) - ((i * 37 + (side + 1) * 11) % 5) * px(120);
            if (i % 4 == 1) {
                p.setBrush(marks[(i / 4 + (side + 1)) % 4].darker(105));
                p.drawRect(QRectF(x0 - px(40), y - px(60), len + px(80), px(140)));
            }
            p.setBrush(QColor(90, 60, 50, 170));
            p.drawRect(QRectF(x0, y, len, qMax(1.0, double(px(30)))));
        }
    }
}

} // namespace morvello
