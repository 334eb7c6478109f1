// SPDX-License-Identifier: GPL-3.0-or-later
#include "activityscreen.h"

#include "accessibility.h"
#include "passagelabel.h"
#include "passageview.h"
#include "reader.h"

#include "core/numeric.h"
#include "core/ticker.h"
#include "text/contentfile.h"

#include <QPainter>
#include <QShowEvent>
#include <QUuid>
#include <QPushButton>
#include <cmath>

namespace morvello {

namespace {
// Frames of a visible shrink: enough to look smooth, few enough to be cheap.
constexpr int kFrameMs = 20;

} // namespace

QString counterText(double value)
{
    return numberText(value);
}

// ---------------------------------------------------------------------------

PictureSlot::PictureSlot(Screen *screen, const Services &services, const QString &name, const QRect &twips,
                         QSet<QString> *told)
    : QWidget(screen), m_screen(screen), m_services(services), m_told(told), m_rest(twips), m_width(twips.width())
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    screen->setDesignGeometry(this, twips);
}

void PictureSlot::showAnswer(bool right)
{
    m_shows = right ? Shows::Right : Shows::Wrong;
    // Read only when it is a plain, whole picture: anything else shows the
    // drawn mark, as a missing one does.
    const QString file = right ? rightFile() : wrongFile();
    m_pixmap = QPixmap::fromImage(readPicture(m_services.dataPath(file)));
    setAccessibleName(right ? QStringLiteral("Risposta giusta") : QStringLiteral("Risposta sbagliata"));
    show();
    raise();
    update();
    if (m_pixmap.isNull() && m_told && !m_told->contains(file)) {
        m_told->insert(file);
        m_services.tell(missingText(file));
    }
    if (!m_hasPlan)
        return;
    // A new answer while the last picture still shrinks starts the wait
    // again; the tick count goes on, as the screen's counter says.
    if (m_frames)
        m_frames->stop();
    m_hideAfterSweep = false;
    setWidth(m_rest.width());
    if (!m_ticker) {
        m_ticker = m_services.newTicker(this);
        connect(m_ticker, &Ticker::timeout, this, &PictureSlot::tick);
    }
    if (!m_ticker->isActive())
        m_ticker->start(m_plan.delayMs);
}

QString PictureSlot::missingText(const QString &file)
{
    return QStringLiteral("L'immagine %1 manca o è rovinata: al suo posto compare un segno disegnato.").arg(file);
}

void PictureSlot::clear()
{
    m_shows = Shows::Nothing;
    m_pixmap = QPixmap();
    setAccessibleName(QString());
    update();
}

void PictureSlot::setShrinkAway(const ShrinkAway &plan)
{
    m_plan = plan;
    m_plan.hideAtTick = qMax(1, plan.hideAtTick);
    m_hasPlan = true;
}

bool PictureSlot::animating() const
{
    return (m_ticker && m_ticker->isActive()) || (m_frames && m_frames->isActive());
}

int PictureSlot::ticks() const
{
    return m_plan.tickCounter ? *m_plan.tickCounter : m_ownTicks;
}

void PictureSlot::tick()
{
    int &count = m_plan.tickCounter ? *m_plan.tickCounter : m_ownTicks;
    ++count;
    emit ticked(count);
    const bool last = count >= m_plan.hideAtTick;
    if (last) {
        count = 0;
        m_ticker->stop();
    }
    // The first tick after an answer sweeps the picture visibly from its
    // resting width down to nothing; it then stays away (a later tick never
    // brings it back full size) until the hiding tick hides it and puts its
    // width back for the next answer.
    if (m_width < m_rest.width()) {
        if (last && !(m_frames && m_frames->isActive())) {
            hide();
            setWidth(m_rest.width());
            emit finished();
        } else if (last) {
            m_hideAfterSweep = true;
        }
        return;
    }
    m_hideAfterSweep = last;
    m_frameCount = qMax(1, m_plan.shrinkMs / kFrameMs);
    m_frameStep = 0;
    if (!m_frames) {
        m_frames = m_services.newTicker(this);
        connect(m_frames, &Ticker::timeout, this, &PictureSlot::frame);
    }
    m_frames->start(kFrameMs);
}

void PictureSlot::frame()
{
    ++m_frameStep;
    const double left = 1.0 - double(m_frameStep) / m_frameCount;
    setWidth(int(std::lround(m_rest.width() * qMax(0.0, left))));
    if (m_frameStep < m_frameCount)
        return;
    m_frames->stop();
    if (m_hideAfterSweep) {
        m_hideAfterSweep = false;
        hide();
        setWidth(m_rest.width());
        emit finished();
    }
}

void PictureSlot::setWidth(int twips)
{
    m_width = qBound(0, twips, m_rest.width());
    QRect g = m_rest;
    g.setWidth(qMax(1, m_width));
    m_screen->setDesignGeometry(this, g);
    update();
}

void PictureSlot::paintEvent(QPaintEvent *)
{
    if (m_shows == Shows::Nothing || m_width <= 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_pixmap.isNull()) {
        p.drawPixmap(rect(), m_pixmap);
        return;
    }
    // No picture file: a tick or a cross, drawn.
    const bool right = m_shows == Shows::Right;
    const QColor colour = right ? QColor(0, 150, 60) : QColor(255, 0, 0);
    p.fillRect(rect(), QColor(255, 255, 255));
    const double w = width();
    const double h = height();
    p.setPen(QPen(colour, qMax(2.0, qMin(w, h) / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (right) {
        p.drawPolyline(QPolygonF({QPointF(w * 0.2, h * 0.55), QPointF(w * 0.42, h * 0.78), QPointF(w * 0.8, h * 0.25)}));
    } else {
        p.drawLine(QPointF(w * 0.25, h * 0.25), QPointF(w * 0.75, h * 0.75));
        p.drawLine(QPointF(w * 0.75, h * 0.25), QPointF(w * 0.25, h * 0.75));
    }
}

// ---------------------------------------------------------------------------

ActivityScreen::ActivityScreen(const ScreenEnv &env, const QString &name, const QSize &designTwips,
                               const QColor &background, const QString &caption, OnMenu onMenu, QWidget *parent)
    : Screen(name, designTwips, background, caption, parent), m_env(env), m_onMenu(onMenu)
{
    Q_ASSERT(env.session && env.services && env.host);
    m_live = new LiveRegion(this);
}

ActivityScreen::~ActivityScreen() = default;

QPushButton *ActivityScreen::addExit(Exit exit, const QString &name, const QString &caption, const QRect &twips,
                                     const DesignFont &font)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    setDesignGeometry(b, twips);
    setDesignFont(b, font);
    connect(b, &QPushButton::clicked, this, [this, exit] { runExit(exit); });
    m_exits.append({exit, b});
    return b;
}

QPushButton *ActivityScreen::exitButton(Exit exit) const
{
    for (const auto &e : m_exits)
        if (e.first == exit)
            return e.second;
    return nullptr;
}

void ActivityScreen::runExit(Exit exit)
{
    switch (exit) {
    case Exit::Menu: exitToMenu(); break;
    case Exit::Archive: exitToArchive(); break;
    case Exit::Quit: exitProgram(); break;
    case Exit::Back: exitBack(); break;
    }
}

ReadButton *ActivityScreen::addReadButton(const QRect &twips, std::function<Reading()> what)
{
    m_readButton = new ReadButton(this, services().voice(), std::move(what), twips);
    return m_readButton;
}

void ActivityScreen::addPassageLabel(PassageLabel *label)
{
    m_passageLabels.append(label);
    m_passageFonts.insert(label, designFont(label));
}

void ActivityScreen::setLegible(bool on)
{
    if (on == m_legible)
        return;
    m_legible = on;
    if (m_readButton)
        m_readButton->reader()->stop();
    for (PassageView *v : findChildren<PassageView *>())
        v->setLegible(on);
    if (m_passageLabels.isEmpty())
        return;
    for (const QPointer<PassageLabel> &l : std::as_const(m_passageLabels)) {
        if (!l)
            continue;
        DesignFont f = m_passageFonts.value(l);
        l->setLegibleSpacing(on);
        if (!on) {
            setDesignFont(l, f);
            continue;
        }
        // As large as a passage view's legible type, never fitted smaller:
        // the screen makes the row as high as the text then needs.
        f.family = PassageView::legibleFamily();
        f.points *= PassageView::LegibleSize;
        setFittedFont(l, f, TextFit{true, 1.0, false});
    }
    // Rows are laid out again, in the new type.
    relayout();
}

void ActivityScreen::showEvent(QShowEvent *event)
{
    setLegible(session().testoLeggibile);
    if (!event->spontaneous() && m_visitEnded) {
        m_visit = QUuid::createUuid().toString(QUuid::Id128);
        m_visitEnded = false;
    }
    // Last visit's verdict is not spoken again when the screen comes back.
    if (!event->spontaneous())
        m_live->hide();
    Screen::showEvent(event);
}

void ActivityScreen::exitToMenu()
{
    m_visitEnded = true;
    beforeExit(Exit::Menu);
    emit leaving(Exit::Menu);
    host().showMenu();
    if (m_onMenu == OnMenu::Unload)
        host().unloadScreen(screenName());
    else
        host().hideScreen(screenName());
}

void ActivityScreen::exitToArchive()
{
    beforeExit(Exit::Archive);
    emit leaving(Exit::Archive);
    host().openArchive(screenName());
}

void ActivityScreen::exitProgram()
{
    beforeExit(Exit::Quit);
    emit leaving(Exit::Quit);
    host().quit();
}

void ActivityScreen::exitBack()
{
    m_visitEnded = true;
    beforeExit(Exit::Back);
    emit leaving(Exit::Back);
    if (m_backTarget.isEmpty() || !host().showScreen(m_backTarget))
        host().showMenu();
    host().hideScreen(screenName());
}

void ActivityScreen::titleBarClose()
{
    if (hasExit(Exit::Menu))
        exitToMenu();
    else if (hasExit(Exit::Back))
        exitBack();
    else if (!m_exits.isEmpty())
        runExit(m_exits.first().first);
    else
        exitToMenu();
}

QString ActivityScreen::saveFailedText(const DbError &error)
{
    return QStringLiteral("Il risultato non è stato salvato nell'archivio.\n\n") + error.message;
}

bool ActivityScreen::saveAndReport(FieldGroup group, const Score &score)
{
    return saveAndReport({GroupValues::of(group, score)});
}

bool ActivityScreen::saveAndReport(const QVector<GroupValues> &groups)
{
    const DbError err = host().save(groups, SaveOrigin{screenName(), m_visit});
    if (!err.isError())
        return true;
    services().tell(saveFailedText(err));
    return false;
}

bool ActivityScreen::present(const Judgement &judgement, PictureSlot *picture)
{
    switch (judgement.kind) {
    case Judgement::Kind::Ignored:
        return false;
    case Judgement::Kind::Refused:
        services().tell(judgement.message);
        return false;
    case Judgement::Kind::Judged:
        break;
    }
    // The focus is parked while the state is shown: a control disabled under
    // it would hand it on down the row one control at a time, each move a
    // burst of events that crowds the verdict out of a screen reader's queue.
    QWidget *had = focusWidget();
    if (had && had != this)
        had->clearFocus();
    showState();
    keepFocusInExercise(had);
    m_live->announce(verdictText(judgement));
    if (picture && judgement.right)
        picture->showAnswer(*judgement.right);
    if (!judgement.saves.isEmpty())
        saveAndReport(judgement.saves);
    return true;
}

QString ActivityScreen::verdictText(const Judgement &judgement)
{
    if (!judgement.right)
        return QStringLiteral("Risposta controllata");
    if (*judgement.right)
        return QStringLiteral("Giusto");
    if (judgement.rightAnswer.isEmpty())
        return QStringLiteral("Sbagliato");
    return QStringLiteral("Sbagliato, la risposta era: ") + judgement.rightAnswer;
}

void ActivityScreen::keepFocusInExercise(QWidget *had)
{
    if (!had || had == this)
        return;
    if (had->isEnabled() && had->isVisible()) {
        had->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The answer closed the control that had the focus: the focus goes on
    // to the next control of the exercise, never to an exit, so that the
    // next Space does not leave the exercise.
    QList<QWidget *> exits;
    for (const auto &e : m_exits)
        exits << e.second;
    a11y::keepFocusNear(had, exits);
}

PictureSlot *ActivityScreen::addPicture(const QString &name, const QRect &twips)
{
    auto *slot = new PictureSlot(this, services(), name, twips, &m_picturesTold);
    m_pictures << slot;
    return slot;
}

} // namespace morvello
