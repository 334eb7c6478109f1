// SPDX-License-Identifier: GPL-3.0-or-later
#include "support_verofalso.h"

#include "core/numeric.h"
#include "text/contentcheck.h"

#include <QFile>
#include <QPushButton>

namespace morvello::verofalso {

QVector<Statement> parse(const QString &text, QString *error)
{
    QVector<Statement> out;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.size() < 3 || line.at(1) != QLatin1Char('|') || !QStringLiteral("VF").contains(line.at(0))) {
            *error = QStringLiteral("la riga %1 non è «V|…» né «F|…»").arg(i + 1);
            return {};
        }
        out.append(Statement{line.mid(2), line.at(0) == QLatin1Char('V')});
    }
    if (out.isEmpty())
        *error = QStringLiteral("il file non ha affermazioni");
    return out;
}

static QVector<Statement> read(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("il file manca o non si può leggere");
        return {};
    }
    return parse(QString::fromUtf8(f.readAll()), error);
}

void Quiz::setStatements(const QVector<Statement> &items)
{
    m_items = items;
    m_current = 0;
    m_answered = false;
}

Judgement Quiz::answer(bool vero)
{
    if (!loaded() || m_answered)
        return Judgement::ignored();
    m_answered = true;
    const bool right = statement().vero == vero;
    m_right += right ? 1 : 0;
    ++m_total;
    return Judgement::judged(FieldGroup::Figure, score(), right);
}

void Quiz::next()
{
    if (!loaded())
        return;
    m_current = (m_current + 1) % int(m_items.size());
    m_answered = false;
}

Score Quiz::score() const
{
    return Score{double(m_right), double(m_total), double(percentuale(m_right, m_total))};
}

Screen::Screen(const ScreenEnv &env)
    : ActivityScreen(env, ScreenName, QSize(12000, 9000), QColor(32, 64, 96), QStringLiteral("Vero o falso?"),
                     OnMenu::Hide)
{
    const DesignFont big{QStringLiteral("Arial"), 14.25, true};
    m_text = controls::label(this, QStringLiteral("LabAffermazione"), QString(), QRect(600, 600, 10800, 1800), big,
                             Qt::white);
    m_text->setWordWrap(true);
    m_vero = controls::button(this, QStringLiteral("CmdVero"), QStringLiteral("VERO"), QRect(600, 3000, 2400, 600), big);
    m_falso = controls::button(this, QStringLiteral("CmdFalso"), QStringLiteral("FALSO"), QRect(3300, 3000, 2400, 600),
                               big);
    auto *avanti = controls::button(this, QStringLiteral("CmdAvanti"), QStringLiteral("Avanti"),
                                    QRect(6000, 3000, 2400, 600), big);
    m_counter = controls::label(this, QStringLiteral("LabPunti"), QString(), QRect(600, 4200, 6000, 450), big,
                                Qt::white);
    m_picture = addPicture(QStringLiteral("Image1"), QRect(9000, 2700, 1200, 1200));
    connect(m_vero, &QPushButton::clicked, this, [this] { answer(true); });
    connect(m_falso, &QPushButton::clicked, this, [this] { answer(false); });
    connect(avanti, &QPushButton::clicked, this, &Screen::next);
    addExit(Exit::Menu, QStringLiteral("CmdMenu"), QStringLiteral("Menù"), QRect(600, 7800, 2400, 600));
    addExit(Exit::Archive, QStringLiteral("CmdArchivio"), QStringLiteral("Archivio"), QRect(3300, 7800, 2400, 600));
    addExit(Exit::Quit, QStringLiteral("CmdFine"), QStringLiteral("Esco"), QRect(6000, 7800, 2400, 600));
}

void Screen::formLoad()
{
    QString error;
    m_quiz.setStatements(read(services().dataPath(ContentFile), &error));
    if (!error.isEmpty())
        services().tell(QStringLiteral("Non riesco a leggere %1: %2.").arg(ContentFile, error));
    m_picture->hide();
    showState();
}

void Screen::answer(bool vero)
{
    present(m_quiz.answer(vero), m_picture);
}

void Screen::next()
{
    m_quiz.next();
    m_picture->hide();
    showState();
}

QString Screen::counterCaption() const
{
    const Score s = m_quiz.score();
    return QStringLiteral("Giuste %1 su %2").arg(counterText(s.right), counterText(s.total));
}

void Screen::showState()
{
    m_text->setText(m_quiz.loaded() ? m_quiz.statement().text : QString());
    m_vero->setEnabled(m_quiz.loaded() && !m_quiz.answered());
    m_falso->setEnabled(m_quiz.loaded() && !m_quiz.answered());
    m_counter->setText(counterCaption());
}

static void addChecks(ContentCheckRegistry &registry)
{
    registry.add(QStringLiteral("Vero o falso"), [](CheckReport &r) {
        QString error;
        read(r.pathOf(ContentFile), &error);
        r.noteFile(ContentFile);
        if (!error.isEmpty())
            r.add(ContentFile, error);
    });
}

Activity row()
{
    return Activity{ScreenName,
                    QStringLiteral("LabVeroFalso"),
                    MenuAfterOpening::Stays,
                    [](const ScreenEnv &env) { return new Screen(env); },
                    QStringLiteral("Vero o falso?"),
                    MenuSection::Narrativi,
                    QRect(9240, 3360, 2655, 375),
                    &addChecks,
                    {FieldGroup::Figure}};
}

} // namespace morvello::verofalso
