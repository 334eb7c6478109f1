// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "activityhost.h"
#include "core/judgement.h"
#include "controls.h"
#include "labels.h"
#include "screen.h"

#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QVector>
#include <functional>

class QPushButton;

namespace morvello {

class LiveRegion;
class PassageLabel;
class Ticker;
class ReadButton;
struct ReadingPiece;

// The exits an activity screen may offer.
enum class Exit {
    Menu,    // back to the main menu
    Archive, // the results screen, which later returns here
    Quit,    // close the results file and end the program
    Back,    // back to the screen this one was opened from (see setBackTarget)
};

// What the menu exit does with the screen: hide it (its state survives) or
// unload it (the next visit starts from scratch).
enum class OnMenu { Hide, Unload };

// A right/wrong picture beside a question: shows "permorvello\giusto.jpg" or
// "permorvello\sbagliato.jpg" after an answer, and may shrink away visibly.
//
// The shrink-away, when a screen sets one: `delayMs` after the picture is
// shown, and then every `delayMs` again, a tick comes; at each tick the
// picture shrinks visibly from its resting width down to nothing (over
// `shrinkMs`); at the tick numbered `hideAtTick` the picture is hidden, its
// width put back to rest and the ticks stop. A screen that counts the ticks
// itself (across answers) hands its own counter in `tickCounter`; the counter
// is reset to 0 at the hiding tick.
struct ShrinkAway
{
    int delayMs = 1000;
    int shrinkMs = 300;
    int hideAtTick = 1;
    int *tickCounter = nullptr;
};

class PictureSlot : public QWidget
{
    Q_OBJECT
public:
    enum class Shows { Nothing, Right, Wrong };

    // `told` holds the picture files whose absence the pupil was already told
    // of: the screen's slots share it, so each file is reported once.
    PictureSlot(Screen *screen, const Services &services, const QString &name, const QRect &twips,
                QSet<QString> *told = nullptr);

    // Loads the right or the wrong picture, shows the slot and starts its
    // shrink-away when it has one. A picture file missing, cut short or not a
    // picture is told once, and a drawn mark stands in for it.
    void showAnswer(bool right);
    // Empties the picture; the slot stays visible with nothing to show.
    void clear();
    Shows shows() const { return m_shows; }

    // The animation; none until set.
    void setShrinkAway(const ShrinkAway &plan);
    bool animating() const;
    // Width now, in twips (the resting width but for the shrink).
    int currentWidth() const { return m_width; }
    int restingWidth() const { return m_rest.width(); }
    int ticks() const;

    // Whether the picture file was found; a missing file shows a drawn tick
    // or cross instead, so the pupil is never left without an answer.
    bool pictureLoaded() const { return !m_pixmap.isNull(); }

    static QString rightFile() { return QStringLiteral("permorvello\\giusto.jpg"); }
    static QString wrongFile() { return QStringLiteral("permorvello\\sbagliato.jpg"); }
    static QString missingText(const QString &file);

signals:
    // A tick of the shrink-away came (before its own work).
    void ticked(int tick);
    // The shrink-away ended: hidden, width back to rest.
    void finished();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void tick();
    void frame();
    void setWidth(int twips);

    Screen *m_screen;
    const Services &m_services;
    QSet<QString> *m_told;
    QRect m_rest;
    int m_width = 0;
    Shows m_shows = Shows::Nothing;
    QPixmap m_pixmap;
    bool m_hasPlan = false;
    ShrinkAway m_plan;
    int m_ownTicks = 0;
    Ticker *m_ticker = nullptr;
    Ticker *m_frames = nullptr;
    int m_frameStep = 0;
    int m_frameCount = 0;
    bool m_hideAfterSweep = false;
};

// An activity screen: a Screen with the exits it chooses (menu, archive,
// exit) wired to the host with its own policy, the title-bar close, "save and
// report", and right/wrong picture slots. Every activity derives from it; the
// derived screen owns its named controls and forwards handlers to its logic.
class ActivityScreen : public Screen
{
    Q_OBJECT
public:
    ActivityScreen(const ScreenEnv &env, const QString &name, const QSize &designTwips, const QColor &background,
                   const QString &caption, OnMenu onMenu, QWidget *parent = nullptr);
    ~ActivityScreen() override;

    Session &session() const { return *m_env.session; }
    Services &services() const { return *m_env.services; }
    ActivityHost &host() const { return *m_env.host; }
    const ScreenEnv &env() const { return m_env; }
    OnMenu onMenu() const { return m_onMenu; }

    // A button for one of the exits, wired to it.
    QPushButton *addExit(Exit exit, const QString &name, const QString &caption, const QRect &twips,
                         const DesignFont &font = DesignFont());
    QPushButton *exitButton(Exit exit) const;
    bool hasExit(Exit exit) const { return exitButton(exit) != nullptr; }

    // The three exits; screens call them from their own handlers too.
    void exitToMenu();
    void exitToArchive();
    void exitProgram();
    void exitBack();
    // The screen the back exit shows again (this one is hidden).
    void setBackTarget(const QString &screenName) { m_backTarget = screenName; }
    QString backTarget() const { return m_backTarget; }

    // Saves the score in the given group of NomeStudente's row. A failed save
    // tells the pupil why; what the screen shows stays as it is. Returns
    // whether the result is in the file (an empty name saves nothing and
    // counts as done).
    bool saveAndReport(FieldGroup group, const Score &score);
    bool saveAndReport(const QVector<GroupValues> &groups);
    // The message a failed save shows.
    static QString saveFailedText(const DbError &error);

    // Runs one judgement of the screen's logic, the same way for every
    // activity: a refusal is told to the pupil; a judged answer is shown
    // (showState()), its verdict goes into `picture` when given, and its values
    // are saved, the pupil seeing the result before anything can go wrong with
    // the save. Returns whether anything was judged.
    bool present(const Judgement &judgement, PictureSlot *picture = nullptr);
    // The pupil's visit to this screen: a new id each time the screen is
    // opened anew (first shown, or shown again after it was left by the menu
    // or back exit; not after a look at the archive). Its saves carry it.
    QString visitId() const { return m_visit; }

    // What a screen reader says of a judgement: "Giusto", "Sbagliato, la
    // risposta era ..." or, for a check of a whole board, that it was checked.
    static QString verdictText(const Judgement &judgement);
    // Where the screen's verdicts are spoken.
    LiveRegion *liveRegion() const { return m_live; }

    // "Leggi" with its speed chooser, placed in free space of the screen:
    // reads aloud what `what` gives at the time of the press.
    ReadButton *addReadButton(const QRect &twips, std::function<QVector<ReadingPiece>()> what);
    ReadButton *readButton() const { return m_readButton; }

    // A label that shows passage text (a row of a passage): it takes the
    // legible look with the passage views, its type as large as theirs; the
    // screen gives it the height its text then needs.
    void addPassageLabel(PassageLabel *label);
    // The high-legibility look of every passage of the screen; taken from
    // the session each time the screen is shown.
    void setLegible(bool on);
    bool legible() const { return m_legible; }

    // A right/wrong picture slot.
    PictureSlot *addPicture(const QString &name, const QRect &twips);
    const QVector<PictureSlot *> &pictures() const { return m_pictures; }

signals:
    // About to leave by an exit (screens drop a pending pick and the like).
    void leaving(Exit exit);

protected:
    // The title-bar close takes the menu exit when the screen has one, and the
    // first exit it has otherwise; screens may choose differently.
    void titleBarClose() override;
    // Hook before any exit runs.
    virtual void beforeExit(Exit) {}
    // Shows the logic's state again after a judgement.
    virtual void showState() {}
    void showEvent(QShowEvent *event) override;

private:
    void runExit(Exit exit);
    void keepFocusInExercise(QWidget *had);

    ScreenEnv m_env;
    OnMenu m_onMenu;
    QString m_backTarget;
    QVector<QPair<Exit, QPushButton *>> m_exits;
    QVector<PictureSlot *> m_pictures;
    LiveRegion *m_live = nullptr;
    QSet<QString> m_picturesTold;
    QString m_visit;
    bool m_visitEnded = true;
    ReadButton *m_readButton = nullptr;
    QVector<QPointer<PassageLabel>> m_passageLabels;
    QHash<PassageLabel *, DesignFont> m_passageFonts;
    bool m_legible = false;
};

// A counter as the pupil reads it: a plain decimal number.
QString counterText(double value);

} // namespace morvello
