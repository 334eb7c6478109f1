// SPDX-License-Identifier: GPL-3.0-or-later
#include "storycolouring.h"

#include "text/contentcheck.h"
#include "core/datapaths.h"
#include "core/numeric.h"
#include "text/rtfreader.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace morvello {

int correctionPoints(int h)
{
    struct Band {
        int from;
        int points;
    };
    // Top to bottom, the first band whose lower edge h reaches.
    static const Band bands[] = {{51, 0}, {40, 1}, {30, 2}, {23, 3}, {16, 4}, {9, 6}, {4, 8}, {2, 9}};
    for (const Band &b : bands) {
        if (h >= b.from)
            return b.points;
    }
    return 10;
}

int differingShare(int length, int errors)
{
    if (length <= 0)
        return 0;
    return toInt16(100.0 / length * errors);
}

StoryColouring::StoryColouring(QTextDocument *story, QTextDocument *solution, QTextDocument *help,
                               const QString &baseDir)
    : m_story(story), m_solution(solution), m_help(help), m_baseDir(baseDir)
{
}

QVector<QRgb> StoryColouring::colours(const QTextDocument &doc)
{
    return checks::colourAtEachPosition(doc);
}

int StoryColouring::countDifferences(const QVector<QRgb> &a, const QVector<QRgb> &b)
{
    const int n = int(std::min(a.size(), b.size()));
    int count = 0;
    for (int i = 0; i < n; ++i)
        count += a.at(i) != b.at(i) ? 1 : 0;
    return count;
}

QString StoryColouring::load(QTextDocument *doc, const QString &file)
{
    const RtfResult r = readRtfFile(resolveDataPath(file, m_baseDir), doc);
    return r.ok ? QString() : r.error;
}

QStringList StoryColouring::load()
{
    m_nrAiuti = 0;
    m_punti = 0;
    m_tot = 0;
    m_nrErrori = 0;
    m_puntiCorrezione = 0;
    m_erroriShown = 0;
    const QStringList messages = loadStory(storyCatalogue().constFirst());
    m_canCorrect = m_gradable;
    m_canHelp = m_storyShown;
    return messages;
}

QStringList StoryColouring::choose(const QString &title)
{
    m_help->clear();
    QStringList messages;
    if (const StoryEntry *entry = findStory(title))
        messages = loadStory(*entry);
    m_canCorrect = m_gradable;
    // No hint, and none counted, for a story the pupil cannot see.
    m_canHelp = m_entry != nullptr && m_storyShown;
    m_erroriShown = 0;
    return messages;
}

QStringList StoryColouring::loadStory(const StoryEntry &entry)
{
    m_entry = &entry;
    m_source = entry.source;
    m_nrSequenze = entry.sequences;
    m_fileAiuto = entry.helpFile;

    QStringList messages;
    const QString storyError = load(m_story, entry.storyFile);
    const QString solutionError = load(m_solution, entry.solutionFile);
    m_storyShown = storyError.isEmpty();
    if (!storyError.isEmpty())
        messages << QStringLiteral("%1\nIl testo «%2» non si può mostrare: scegli un altro testo.")
                        .arg(storyError, entry.title);
    if (!solutionError.isEmpty())
        messages << QStringLiteral("%1\nSenza la soluzione il testo «%2» non si può correggere.")
                        .arg(solutionError, entry.title);

    m_gradable = storyError.isEmpty() && solutionError.isEmpty();
    if (m_gradable) {
        // A teacher may have edited one of the two files: colours compared
        // position by position would then judge nonsense.
        const QString text = checks::plainText(*m_story);
        const int diff = checks::firstDifference(text, checks::plainText(*m_solution));
        if (diff >= 0) {
            m_gradable = false;
            messages << QStringLiteral("Il testo di «%1» e quello della sua soluzione «%2» non sono uguali "
                                       "(la prima differenza è al carattere %3).\n"
                                       "Il testo «%4» si può colorare, ma non correggere: avvisa l'insegnante.")
                            .arg(entry.storyFile, entry.solutionFile)
                            .arg(diff + 1)
                            .arg(entry.title);
        } else if (text.size() > MaxStoryLength) {
            m_gradable = false;
            messages << QStringLiteral("Il testo di «%1» è troppo lungo (%2 caratteri, al massimo %3): "
                                       "si può colorare, ma non correggere.")
                            .arg(entry.storyFile)
                            .arg(text.size())
                            .arg(MaxStoryLength);
        }
    }
    return messages;
}

void StoryColouring::paint(int start, int end, QRgb colour)
{
    QTextCursor c(m_story);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setForeground(QColor::fromRgb(colour));
    c.mergeCharFormat(f);
}

int StoryColouring::colour(int index, int start, int end)
{
    if (index < 0 || index >= std::min<int>(m_nrSequenze, PaletteSize))
        return 0;
    m_coloreScelto = storyPalette().at(index).square;
    const int last = std::max(0, m_story->characterCount() - 1);
    const int from = std::clamp(std::min(start, end), 0, last);
    const int to = std::clamp(std::max(start, end), 0, last);
    if (from == to)
        return 0;
    paint(from, to, m_coloreScelto);
    return to - from;
}

bool StoryColouring::help(QString *message)
{
    if (!m_canHelp)
        return false;
    m_canHelp = false;
    const QString error = load(m_help, m_fileAiuto);
    if (!error.isEmpty()) {
        // The pupil got no hint, so none is counted.
        if (message)
            *message = QStringLiteral("%1\nPer questo testo l'aiuto non è disponibile.").arg(error);
        return false;
    }
    ++m_nrAiuti;
    return true;
}

Judgement StoryColouring::correct()
{
    if (!m_canCorrect || !m_gradable)
        return Judgement::ignored();

    const QVector<QRgb> pupil = colours(*m_story);
    // Anything coloured anywhere counts: a pupil who coloured only the first
    // sequences has still coloured the text.
    const bool coloured = std::any_of(pupil.cbegin(), pupil.cend(), [](QRgb c) { return c != UncolouredText; });
    if (!coloured)
        return Judgement::refused(nothingColouredMessage());

    m_canCorrect = false;
    const QVector<QRgb> solution = colours(*m_solution);
    const int length = int(pupil.size());
    m_nrErrori = 0;

    // Every position 0 to L-1 is judged once; runs of wrong characters are
    // painted red in one edit each.
    QTextCursor c(m_story);
    c.beginEditBlock();
    QTextCharFormat red;
    red.setForeground(QColor::fromRgb(WrongMark));
    int runStart = -1;
    for (int p = 0; p <= length; ++p) {
        const bool wrong = p < length && (p >= solution.size() || pupil.at(p) != solution.at(p));
        if (wrong) {
            ++m_nrErrori;
            if (runStart < 0)
                runStart = p;
        } else if (runStart >= 0) {
            c.setPosition(runStart);
            c.setPosition(p, QTextCursor::KeepAnchor);
            c.mergeCharFormat(red);
            runStart = -1;
        }
    }
    c.endEditBlock();

    m_erroriShown = m_nrErrori < 10 ? 0 : m_nrErrori;
    const int h = differingShare(length, m_nrErrori);
    m_puntiCorrezione = correctionPoints(h);
    m_punti += m_puntiCorrezione;
    m_tot += 10;

    m_marking = Marking{length, m_nrErrori, h, m_puntiCorrezione};
    return Judgement::judged(saves());
}

QVector<GroupValues> StoryColouring::saves() const
{
    // The helps' total is the number of corrections, as a 16-bit integer; their
    // percentage keeps its fraction.
    const qint16 corrections = toInt16(m_tot / 10);
    const double helpShare = corrections > 0 ? 100.0 / corrections * m_nrAiuti : 0.0;
    return {
        GroupValues{FieldGroup::Sequenze, m_punti, m_tot, double(percentuale(qint64(m_punti), qint64(m_tot))),
                    QVariant()},
        GroupValues{FieldGroup::Aiuti, double(m_nrAiuti), corrections, helpShare, QVariant()},
    };
}

} // namespace morvello
