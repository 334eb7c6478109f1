// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QRgb>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class QTextDocument;

namespace morvello {

// The content checker (morvello-check) reads the files of the data folder the
// way the program does and lists what a teacher's edit may have broken. Each
// activity library contributes the checks of its own files through a
// function such as addStoryChecks(ContentCheckRegistry &).

struct CheckProblem {
    enum Kind {
        Missing,   // the file is not there
        Unreadable, // there but not readable (damaged RTF, not a picture, ...)
        Content    // readable, but its content breaks a rule of the activity
    };
    Kind kind = Content;
    QString file;     // the data name the program opens, e.g. "permorvello\ilgattonero.rtf"
    QString message;  // Italian, for a teacher
    int position = -1; // first offending character, counted from 0; -1 when none applies
};

// One Italian line for a problem: the file, the character (counted from 1,
// as a teacher counts) where there is one, and the message.
QString problemLine(const CheckProblem &p);

// Where the checks look and where they write what they find.
class CheckReport
{
public:
    // baseDir: the folder that holds the data folder, as the program's
    // working directory does.
    explicit CheckReport(const QString &baseDir);

    QString baseDir() const { return m_baseDir; }
    // The real path of a data name under baseDir, letter case ignored.
    QString pathOf(const QString &dataName) const;

    void add(CheckProblem::Kind kind, const QString &file, const QString &message, int position = -1);
    void add(const QString &file, const QString &message, int position = -1)
    {
        add(CheckProblem::Content, file, message, position);
    }
    const QList<CheckProblem> &problems() const { return m_problems; }
    bool clean() const { return m_problems.isEmpty(); }

    // Files the checks opened, counted once each.
    void noteFile(const QString &dataName) { m_files.insert(dataName.toLower()); }
    int filesChecked() const { return int(m_files.size()); }

private:
    QString m_baseDir;
    QList<CheckProblem> m_problems;
    QSet<QString> m_files;
};

using ContentCheck = std::function<void(CheckReport &)>;

class ContentCheckRegistry
{
public:
    // activity: a short Italian name for the group ("Storie", "Immagini").
    void add(const QString &activity, ContentCheck check);
    void run(CheckReport &report) const;
    QStringList activities() const;

private:
    struct Entry {
        QString activity;
        ContentCheck check;
    };
    QList<Entry> m_entries;
};

// Helpers the activities' checks are made of. Each one that can fail reports
// its own problem and returns false.
namespace checks {

// "No colour set": text a reader shows in its default colour. Explicit
// colours always carry a full alpha, so this never equals one of them.
constexpr QRgb Automatic = 0;

// "255,255,255", or "automatico".
QString colourText(QRgb colour);

// Reads an RTF data file into doc; a missing or damaged file is a problem.
bool readRtf(CheckReport &r, const QString &file, QTextDocument *doc);

// The plain text as the program's views count it: one position per
// character, one per paragraph end between paragraphs.
QString plainText(const QTextDocument &doc);

// First position where a and b differ (the length of the shorter one when
// one is the start of the other); -1 when they are equal.
int firstDifference(const QString &a, const QString &b);

// Both files read, same plain text character by character.
bool sameText(CheckReport &r, const QString &fileA, const QTextDocument &a, const QString &fileB,
              const QTextDocument &b);

// Text colours of every character (Automatic for those without one) and the
// background highlight colours in use (characters without one add nothing).
QSet<QRgb> textColours(const QTextDocument &doc);
QSet<QRgb> highlightColours(const QTextDocument &doc);

// Colour of each character, position by position as plainText counts them;
// paragraph ends take the colour of the character before them.
QList<QRgb> colourAtEachPosition(const QTextDocument &doc);

// First character whose text colour is not colour; -1 when all are.
int firstCharacterNotIn(const QTextDocument &doc, QRgb colour);
bool allOneColour(CheckReport &r, const QString &file, const QTextDocument &doc, QRgb colour);

// minLength <= length of the plain text <= maxLength.
bool lengthWithin(CheckReport &r, const QString &file, const QTextDocument &doc, int minLength, int maxLength);

// A picture file the program can show.
bool pictureReadable(CheckReport &r, const QString &file);

// Which of names occur in text as whole words, each listed once, in the
// order of names. A name counts with its capital and nowhere inside a longer
// word: "Marta" is in "Marta rise" and in "«Marta!»", not in "Martina" or in
// "marta".
QStringList namesIn(const QString &text, const QStringList &names);

} // namespace checks

// The right/wrong pictures several activities show after an answer.
QString rightPictureFile();
QString wrongPictureFile();
void addPictureChecks(ContentCheckRegistry &registry);

} // namespace morvello
