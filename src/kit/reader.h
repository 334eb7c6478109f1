// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/speech.h"

#include <QColor>
#include <QPair>
#include <QPointer>
#include <QTextCharFormat>
#include <QVector>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QLabel;
class QPushButton;
class QToolButton;

namespace morvello {

class PassageView;
class Screen;

// One stretch read aloud, and how the screen shows that it is being read
// (mark(true) when its reading starts, mark(false) when it ends).
struct ReadingPiece
{
    QString text;
    std::function<void(bool)> mark;
};
using Reading = QVector<ReadingPiece>;

// The colour that marks what is being read.
QColor readingColour();
// How the sentence being read is marked over a text: a translucent band and
// an underline, through which the text's own colours still show.
QTextCharFormat readingMarkFormat();

// The sentences of a text as [start, end) positions, blanks left out: a
// sentence ends after . ! ? or … (and the quotes or brackets that close it)
// before a blank, and at every line or paragraph end, so that a verse or a
// line of dialogue is read on its own. Stretches without a letter or a digit
// are no sentence.
QVector<QPair<int, int>> sentenceSpans(const QString &text);

namespace reading {
// A passage: its sentences, each marked over the view while it is read.
Reading of(PassageView *view);
// A label's text (a question): its sentences, the label framed while they
// are read; a passage label marks each sentence over itself instead.
Reading of(QLabel *label);
// One choice the pupil may pick (an option, a definition): the one place
// where a choice is turned into speech, framed while read.
Reading ofChoice(QAbstractButton *choice);
Reading ofChoice(QLabel *choice);
} // namespace reading

// Reads pieces one after another: each is said once the voice is back from
// the one before. The pieces' marks are drawn over the screen's controls;
// the text, its colours and the pupil's selection are never touched.
class Reader : public QObject
{
    Q_OBJECT
public:
    explicit Reader(Speech &speech, QObject *parent = nullptr);
    ~Reader() override;

    void read(const Reading &pieces);
    void stop();
    bool reading() const { return m_reading; }
    // The piece being read, -1 when none.
    int current() const { return m_reading ? m_index : -1; }
    Speech &speech() const { return m_speech; }

signals:
    void readingChanged(bool reading);

private:
    void onState(Speech::State state);
    void sayCurrent();
    void unmark();

    Speech &m_speech;
    Reading m_pieces;
    int m_index = 0;
    bool m_reading = false;
    bool m_heard = false;
};

// "Leggi" beside a small speed chooser, an addition placed in free space of
// a screen: the first press (or F9) reads what `what` gives, a second press
// stops. Without a voice it stays disabled and its tooltip says why. The
// voice is reached in the background the first time the button is shown.
class ReadButton : public QWidget
{
    Q_OBJECT
public:
    ReadButton(Screen *screen, Speech &speech, std::function<Reading()> what, const QRect &twips);

    QPushButton *button() const { return m_button; }
    QToolButton *speedButton() const { return m_speed; }
    Reader *reader() const { return m_reader; }
    // Press, as the pupil does.
    void press();

    static QString caption() { return QStringLiteral("Leggi"); }
    static QString stopCaption() { return QStringLiteral("Ferma"); }

protected:
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void showState();

    Speech &m_speech;
    std::function<Reading()> m_what;
    Reader *m_reader;
    QPushButton *m_button;
    QToolButton *m_speed;
};

} // namespace morvello
