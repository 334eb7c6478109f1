// SPDX-License-Identifier: GPL-3.0-or-later
#include "poesiacatalogue.h"

namespace morvello::poesia {

namespace {

const QString Allitterazione = QStringLiteral("Allitterazione");
const QString Onomatopea = QStringLiteral("Onomatopea");
const QString Metafora = QStringLiteral("Metafora");
const QString Rima = QStringLiteral("Rima");
const QString Similitudine = QStringLiteral("Similitudine");
const QString Strofa = QStringLiteral("Strofa");
const QString Verso = QStringLiteral("Verso");

} // namespace

const Poem &poem(int number)
{
    const QVector<Poem> &all = poems();
    return all.at(qBound(1, number, PoemCount) - 1);
}

QStringList chooserEntries()
{
    QStringList entries;
    for (const Poem &p : poems())
        entries.append(p.entry());
    return entries;
}

QString chooserPrompt()
{
    return QStringLiteral("Scegli la poesia");
}

QColor boxColour(int box)
{
    static const QRgb colours[BoxCount] = {qRgb(128, 255, 255), qRgb(128, 255, 128), qRgb(255, 255, 128),
                                           qRgb(192, 192, 192), qRgb(0, 255, 0),     qRgb(255, 255, 0)};
    return box >= 0 && box < BoxCount ? QColor(colours[box]) : QColor();
}

int boxOfColour(QRgb rgb)
{
    for (int i = 0; i < BoxCount; ++i)
        if (boxColour(i).rgb() == (rgb | 0xff000000u))
            return i;
    return -1;
}

const QVector<Tile> &tiles()
{
    static const QVector<Tile> all = {
        {5, Metafora}, {6, Similitudine}, {7, Allitterazione}, {8, Rima}, {9, Strofa}, {0, Verso}, {1, Onomatopea},
    };
    return all;
}

QColor tileColour()
{
    return QColor(128, 0, 0);
}

const QuestionInfo &question(Question q)
{
    static const QuestionInfo all[QuestionCount] = {
        {QStringLiteral("IL LESSICO   E':"),
         {QStringLiteral("prevalentemente familiare."), QStringLiteral("aulico, della tradizione letteraria."),
          QStringLiteral("ricercato, ma non aulico, né letterario."), QStringLiteral("dialettale.")},
         QColor(192, 0, 192), QColor(255, 255, 0), QColor(128, 0, 128), QColor(255, 255, 192)},
        {QStringLiteral("I  VERSI   SONO:"),
         {QStringLiteral("liberi, sciolti, irregolari."),
          QStringLiteral("ordinati secondo uno schema metrico classico"),
          QStringLiteral("ordinati secondo uno schema personale.")},
         QColor(128, 0, 128), QColor(0, 255, 255), QColor(64, 0, 64), QColor(0, 255, 255)},
        {QStringLiteral("LE  RIME  SONO:"),
         {QStringLiteral("poco, o affatto usate."), QStringLiteral("usate, ma non seguono uno schema fisso."),
          QStringLiteral("incrociate."), QStringLiteral("baciate."), QStringLiteral("alternate.")},
         QColor(0, 0, 192), QColor(255, 224, 192), QColor(0, 0, 128), QColor(255, 224, 192)},
        {QStringLiteral("LA  MUSICALITA' E':"),
         {QStringLiteral("poco ricercata."), QStringLiteral("scandita dalla regolarità di ritmo e rime."),
          QStringLiteral("scandita dalla irregolarità di ritmo e rime."),
          QStringLiteral("ricercata, soprattutto con le allitterazioni."),
          QStringLiteral("ricercata soprattutto col ritmo delle frasi")},
         QColor(0, 128, 0), QColor(255, 255, 128), QColor(0, 64, 0), QColor(255, 255, 128)},
    };
    return all[int(q)];
}

int optionCount(Question q)
{
    return int(question(q).options.size());
}

int rightOption(const Poem &p, Question q)
{
    switch (q) {
    case Question::Lessico:
        return p.rispLessico;
    case Question::Versi:
        return p.rispVersi;
    case Question::Rime:
        return p.rispRime;
    case Question::Musicalita:
        return p.rispMusicalita;
    }
    return 0;
}

} // namespace morvello::poesia
