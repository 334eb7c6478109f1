// SPDX-License-Identifier: GPL-3.0-or-later
#include "reader.h"

#include "passagelabel.h"
#include "passageview.h"
#include "screen.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QToolButton>

namespace morvello {

namespace {

bool endsSentence(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?') || c == QChar(0x2026);
}

bool closesSentence(QChar c)
{
    return endsSentence(c) || c == QChar(0x00BB) || c == QLatin1Char('"') || c == QChar(0x201D)
           || c == QLatin1Char(')') || c == QLatin1Char('\'');
}

bool endsLine(QChar c)
{
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// A frame drawn over a control while it is read: it takes no clicks and
// leaves the control's own look alone.
class ReadingFrame : public QWidget
{
public:
    explicit ReadingFrame(QWidget *target) : QWidget(target->parentWidget()), m_target(target)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setObjectName(QStringLiteral("CorniceLettura"));
        follow();
        show();
        raise();
    }
    void follow()
    {
        if (m_target)
            setGeometry(m_target->geometry().adjusted(-3, -3, 3, 3));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(readingColour(), 3));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }

private:
    QPointer<QWidget> m_target;
};

Reading framedSentences(QWidget *target, const QString &text)
{
    Reading out;
    auto frame = std::make_shared<QPointer<ReadingFrame>>();
    for (const auto &span : sentenceSpans(text)) {
        QPointer<QWidget> t(target);
        out.append({text.mid(span.first, span.second - span.first), [t, frame](bool on) {
                        delete frame->data();
                        if (on && t && t->isVisible())
                            *frame = new ReadingFrame(t);
                    }});
    }
    return out;
}

QString withoutMnemonics(QString s)
{
    s.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    s.remove(QLatin1Char('&'));
    s.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return s;
}

} // namespace

QColor readingColour()
{
    return QColor(255, 140, 0);
}

QTextCharFormat readingMarkFormat()
{
    QTextCharFormat f;
    QColor band = readingColour();
    band.setAlpha(70);
    f.setBackground(band);
    f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    f.setUnderlineColor(readingColour());
    return f;
}

QVector<QPair<int, int>> sentenceSpans(const QString &text)
{
    QVector<QPair<int, int>> spans;
    const int n = int(text.size());
    int start = 0;
    auto close = [&](int end) {
        int a = start, b = end;
        while (a < b && text.at(a).isSpace())
            ++a;
        while (b > a && text.at(b - 1).isSpace())
            --b;
        bool words = false;
        for (int i = a; i < b && !words; ++i)
            words = text.at(i).isLetterOrNumber();
        if (words)
            spans.append({a, b});
        start = end;
    };
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (endsLine(c)) {
            close(i);
        } else if (endsSentence(c)) {
            int j = i + 1;
            while (j < n && closesSentence(text.at(j)) && !endsLine(text.at(j)))
                ++j;
            // «Chi è?» chiese: a closing quote and a small letter go on
            // with the same sentence.
            int k = j;
            while (k < n && text.at(k).isSpace() && !endsLine(text.at(k)))
                ++k;
            const bool goesOn = j > i + 1 && k > j && k < n && text.at(k).isLower();
            if ((j == n || text.at(j).isSpace()) && !goesOn) {
                close(j);
                i = j - 1;
            }
        }
    }
    close(n);
    return spans;
}

namespace {
// A text that marks the sentence being read over itself (a passage view, a
// passage row): its sentences, each marked while it is read.
template <class Marked>
Reading markedSentences(Marked *target, const QString &text)
{
    Reading out;
    QPointer<Marked> v(target);
    for (const auto &span : sentenceSpans(text)) {
        const int a = span.first, b = span.second;
        out.append({text.mid(a, b - a), [v, a, b](bool on) {
                        if (!v)
                            return;
                        if (on)
                            v->markReading(a, b);
                        else
                            v->clearReadingMark();
                    }});
    }
    return out;
}
} // namespace

Reading reading::of(PassageView *view)
{
    return view ? markedSentences(view, view->document()->toPlainText()) : Reading();
}

Reading reading::of(QLabel *label)
{
    if (auto *row = qobject_cast<PassageLabel *>(label))
        return markedSentences(row, row->text());
    return label ? framedSentences(label, label->text()) : Reading();
}

Reading reading::ofChoice(QAbstractButton *choice)
{
    return choice ? framedSentences(choice, withoutMnemonics(choice->text())) : Reading();
}

Reading reading::ofChoice(QLabel *choice)
{
    return choice ? framedSentences(choice, choice->text()) : Reading();
}

Reader::Reader(Speech &speech, QObject *parent) : QObject(parent), m_speech(speech)
{
    connect(&m_speech, &Speech::stateChanged, this, &Reader::onState);
}

Reader::~Reader()
{
    if (m_reading)
        unmark();
}

void Reader::read(const Reading &pieces)
{
    stop();
    if (pieces.isEmpty() || !m_speech.available())
        return;
    m_pieces = pieces;
    m_index = 0;
    m_reading = true;
    emit readingChanged(true);
    sayCurrent();
}

void Reader::sayCurrent()
{
    m_heard = false;
    const ReadingPiece &p = m_pieces.at(m_index);
    if (p.mark)
        p.mark(true);
    m_speech.say(p.text);
}

void Reader::unmark()
{
    if (m_index >= 0 && m_index < m_pieces.size() && m_pieces.at(m_index).mark)
        m_pieces.at(m_index).mark(false);
}

void Reader::stop()
{
    if (!m_reading)
        return;
    m_reading = false;
    unmark();
    m_pieces.clear();
    m_speech.stop();
    emit readingChanged(false);
}

void Reader::onState(Speech::State state)
{
    if (!m_reading)
        return;
    switch (state) {
    case Speech::State::Speaking:
        m_heard = true;
        break;
    case Speech::State::Ready:
        // The engine is ready once before it starts on a sentence asked
        // while it was being reached: only the end of a sentence heard
        // moves on.
        if (!m_heard)
            break;
        unmark();
        if (++m_index >= m_pieces.size()) {
            m_reading = false;
            m_pieces.clear();
            emit readingChanged(false);
        } else {
            sayCurrent();
        }
        break;
    case Speech::State::Unavailable:
        stop();
        break;
    case Speech::State::Idle:
    case Speech::State::Connecting:
        break;
    }
}

ReadButton::ReadButton(Screen *screen, Speech &speech, std::function<Reading()> what, const QRect &twips)
    : QWidget(screen), m_speech(speech), m_what(std::move(what)), m_reader(new Reader(speech, this))
{
    setObjectName(QStringLiteral("CmdLeggi"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    m_button = new QPushButton(caption(), this);
    m_button->setObjectName(QStringLiteral("CmdLeggiTesto"));
    m_button->setAccessibleName(QStringLiteral("Leggi il testo ad alta voce"));
    m_button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    row->addWidget(m_button, 1);
    m_speed = new QToolButton(this);
    m_speed->setObjectName(QStringLiteral("CmdVelocita"));
    m_speed->setText(QStringLiteral("\u25BC"));
    m_speed->setPopupMode(QToolButton::InstantPopup);
    // The arrow says it opens a list already.
    m_speed->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    m_speed->setToolTip(QStringLiteral("Velocità della lettura"));
    m_speed->setAccessibleName(QStringLiteral("Velocità della lettura"));
    m_speed->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    row->addWidget(m_speed);
    auto *menu = new QMenu(m_speed);
    auto *group = new QActionGroup(menu);
    const QPair<Speech::Rate, QString> rates[] = {{Speech::Rate::Slow, QStringLiteral("Lenta")},
                                                  {Speech::Rate::Normal, QStringLiteral("Normale")},
                                                  {Speech::Rate::Fast, QStringLiteral("Veloce")}};
    for (const auto &r : rates) {
        QAction *a = menu->addAction(r.second);
        a->setCheckable(true);
        a->setChecked(m_speech.rate() == r.first);
        a->setData(int(r.first));
        group->addAction(a);
        const Speech::Rate rate = r.first;
        connect(a, &QAction::triggered, this, [this, rate] { m_speech.setRate(rate); });
    }
    // Another screen may have changed the speed since.
    connect(menu, &QMenu::aboutToShow, this, [this, group] {
        for (QAction *a : group->actions())
            a->setChecked(Speech::Rate(a->data().toInt()) == m_speech.rate());
    });
    m_speed->setMenu(menu);

    screen->setDesignGeometry(this, twips);
    screen->setDesignFont(m_button, DesignFont{QStringLiteral("MS Sans Serif"), 8.25, true});
    screen->setDesignFont(m_speed, DesignFont{QStringLiteral("MS Sans Serif"), 8.25});
    connect(m_button, &QPushButton::clicked, this, &ReadButton::press);
    auto *key = new QShortcut(QKeySequence(Qt::Key_F9), screen);
    connect(key, &QShortcut::activated, this, [this] {
        if (m_button->isEnabled() && isVisible())
            press();
    });
    connect(m_reader, &Reader::readingChanged, this, &ReadButton::showState);
    connect(&m_speech, &Speech::stateChanged, this, &ReadButton::showState);
    showState();
}

void ReadButton::press()
{
    if (m_reader->reading()) {
        m_reader->stop();
        return;
    }
    if (m_what)
        m_reader->read(m_what());
}

void ReadButton::showState()
{
    const bool can = m_speech.available();
    m_button->setEnabled(can);
    m_speed->setEnabled(can);
    m_button->setText(m_reader->reading() ? stopCaption() : caption());
    m_button->setToolTip(!can ? m_speech.whyNot()
                         : m_reader->reading() ? QStringLiteral("Ferma la lettura (F9)")
                                               : QStringLiteral("Legge il testo ad alta voce, una frase alla volta (F9)"));
    // The tooltip of a disabled control still shows: it is where the pupil
    // learns why.
    setToolTip(can ? QString() : m_speech.whyNot());
}

void ReadButton::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_speed->setFixedWidth(height());
}

void ReadButton::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // What is being read goes with its passage.
    if (parentWidget())
        for (PassageView *v : parentWidget()->findChildren<PassageView *>())
            connect(v, &PassageView::contentReplaced, m_reader, &Reader::stop, Qt::UniqueConnection);
    m_speech.prepare();
}

void ReadButton::hideEvent(QHideEvent *e)
{
    m_reader->stop();
    QWidget::hideEvent(e);
}

} // namespace morvello
