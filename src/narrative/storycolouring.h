// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/judgement.h"
#include "narrative/storycatalogue.h"

#include <QRgb>
#include <QString>
#include <QStringList>
#include <QVector>

class QTextDocument;

namespace morvello {

// Points a correction gives for h, the whole percentage of characters whose
// colour differs from the solution's. Above 50 gives 0; 50 itself joins the
// 40-49 band, so every h has its own points and none is carried over from an
// earlier correction.
int correctionPoints(int h);

// h for `errors` differing characters out of `length`: (100 / length) x
// errors, rounded to the nearest whole number, halves to the even neighbour.
// An empty text gives 0.
int differingShare(int length, int errors);

// The state and the rules of the story-colouring activity: the story on
// display, the pupil's colouring, the correction against the hidden solution
// and the running counters. It works on three documents it is given (the
// story the pupil colours, the hidden solution and the hint), so the screen
// hands it its views' documents and a test hands it bare documents: no
// widget is needed.
//
// Positions count as the views count them: one per character, one per
// paragraph end between paragraphs. A paragraph end has no colour of its
// own and reads as the character before it.
class StoryColouring
{
public:
    // How the last correction marked the story: the characters judged (L),
    // the wrong ones (NrErrori), their share (h) and the points it gave.
    struct Marking {
        int length = 0;
        int errors = 0;
        int share = 0;
        int points = 0;
    };

    // The documents must outlive this object; baseDir holds the data folder
    // (the working directory when empty).
    StoryColouring(QTextDocument *story, QTextDocument *solution, QTextDocument *help,
                   const QString &baseDir = QString());

    static QString nothingColouredMessage() { return QStringLiteral("Non hai selezionato e/o colorato il testo..."); }
    static QString chooserText() { return QStringLiteral("Scegli il testo ---->"); }

    // The screen's first load: the first story of the catalogue, every
    // counter at 0. Returns the messages for the pupil (none when all went well).
    QStringList load();
    // A choice in the chooser: the help view is emptied; an exact title
    // loads its story again from its files (the pupil's colours go); both
    // commands are enabled again where the files allow it and the shown
    // mismatches go back to 0. Counters stay. Text that names no story
    // loads nothing.
    QStringList choose(const QString &title);
    // Loads one story of the catalogue (its sequence count, source line and
    // files); buttons and counters are not touched.
    QStringList loadStory(const StoryEntry &entry);

    // Square `index` (0 to 4) was clicked with [start, end) selected: that
    // stretch takes the square's colour. Returns the characters painted (an
    // empty selection paints nothing).
    int colour(int index, int start, int end);

    // "Aiutami!": the hint document is loaded into the help document and the
    // request counted once; the command is then disabled until the next
    // choice. A hint file that cannot be read is not counted; the message
    // says why.
    bool help(QString *message = nullptr);

    // "CORREGGI": ignored when no correction is possible now, refused when
    // nothing is coloured; judged, the wrong characters turn red and the
    // story's two groups (sequences and helps) are to be saved.
    Judgement correct();
    const Marking &lastMarking() const { return m_marking; }

    // The sequences' and the helps' values as they stand, in that order.
    QVector<GroupValues> saves() const;

    // Screen state.
    const StoryEntry *story() const { return m_entry; }
    int nrSequenze() const { return m_nrSequenze; }
    QString fileAiuto() const { return m_fileAiuto; }
    QString source() const { return m_source; }
    int nrAiuti() const { return m_nrAiuti; }
    int nrErrori() const { return m_nrErrori; }
    int puntiCorrezione() const { return m_puntiCorrezione; }
    QRgb coloreScelto() const { return m_coloreScelto; }
    // The mismatches shown: the count of the last correction, 0 under 10.
    int erroriShown() const { return m_erroriShown; }
    double punti() const { return m_punti; }
    double tot() const { return m_tot; }
    bool canCorrect() const { return m_canCorrect; }
    bool canHelp() const { return m_canHelp; }
    // Whether the loaded story can be graded at all: both files read, the
    // same text, a length the counters can hold.
    bool gradable() const { return m_gradable; }

    // Colour of each position of a document (paragraph ends read as the
    // character before); the correction compares two of these.
    static QVector<QRgb> colours(const QTextDocument &doc);

    // How many positions differ between two colour arrays of the same text.
    static int countDifferences(const QVector<QRgb> &a, const QVector<QRgb> &b);

private:
    QString load(QTextDocument *doc, const QString &file);
    void paint(int start, int end, QRgb colour);

    QTextDocument *m_story;
    QTextDocument *m_solution;
    QTextDocument *m_help;
    QString m_baseDir;

    const StoryEntry *m_entry = nullptr;
    int m_nrSequenze = 0;
    QString m_fileAiuto;
    QString m_source;
    int m_nrAiuti = 0;
    int m_nrErrori = 0;
    int m_puntiCorrezione = 0;
    QRgb m_coloreScelto = 0;
    int m_erroriShown = 0;
    double m_punti = 0;
    double m_tot = 0;
    bool m_canCorrect = true;
    bool m_canHelp = true;
    bool m_storyShown = false;
    bool m_gradable = false;
    Marking m_marking;
};

} // namespace morvello
