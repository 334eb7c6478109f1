// SPDX-License-Identifier: GPL-3.0-or-later
#include "contentcheck.h"
#include "contentfile.h"

#include "core/datapaths.h"
#include "rtfreader.h"

#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

namespace morvello {

QString problemLine(const CheckProblem &p)
{
    if (p.position >= 0)
        return QStringLiteral("%1, carattere %2: %3").arg(p.file).arg(p.position + 1).arg(p.message);
    return QStringLiteral("%1: %2").arg(p.file, p.message);
}

CheckReport::CheckReport(const QString &baseDir)
    : m_baseDir(baseDir)
{
}

QString CheckReport::pathOf(const QString &dataName) const
{
    return resolveDataPath(dataName, m_baseDir);
}

void CheckReport::add(CheckProblem::Kind kind, const QString &file, const QString &message, int position)
{
    m_problems.append(CheckProblem{kind, file, message, position});
}

void ContentCheckRegistry::add(const QString &activity, ContentCheck check)
{
    m_entries.append(Entry{activity, std::move(check)});
}

void ContentCheckRegistry::run(CheckReport &report) const
{
    for (const Entry &e : m_entries)
        e.check(report);
}

QStringList ContentCheckRegistry::activities() const
{
    QStringList names;
    for (const Entry &e : m_entries)
        names.append(e.activity);
    return names;
}

namespace checks {

namespace {

QRgb colourOf(const QTextCharFormat &f)
{
    return f.hasProperty(QTextFormat::ForegroundBrush) ? (f.foreground().color().rgb() | 0xff000000u) : Automatic;
}

// A short stretch of text around a position, on one line, for a message.
QString around(const QString &text, int pos)
{
    const int from = std::max(0, pos - 12);
    QString s = text.mid(from, 24);
    s.replace(QChar(QChar::ParagraphSeparator), QLatin1Char(' '));
    s.replace(QChar(QChar::LineSeparator), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return QStringLiteral("«%1%2%3»")
        .arg(from > 0 ? QStringLiteral("…") : QString(), s,
             from + 24 < text.size() ? QStringLiteral("…") : QString());
}

template<typename F>
void forEachCharacter(const QTextDocument &doc, F f)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat fmt = frag.charFormat();
            if (!f(frag.position(), frag.length(), fmt))
                return;
        }
    }
}

} // namespace

QString colourText(QRgb colour)
{
    if (colour == Automatic)
        return QStringLiteral("automatico");
    return QStringLiteral("%1,%2,%3").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

bool readRtf(CheckReport &r, const QString &file, QTextDocument *doc)
{
    r.noteFile(file);
    const QString path = r.pathOf(file);
    if (!QFileInfo::exists(path)) {
        r.add(CheckProblem::Missing, file, QStringLiteral("il file manca"));
        return false;
    }
    const RtfResult res = readRtfFile(path, doc);
    if (!res.ok) {
        r.add(CheckProblem::Unreadable, file, QStringLiteral("il file non si legge: %1").arg(res.error));
        return false;
    }
    return true;
}

QString plainText(const QTextDocument &doc)
{
    QString t = doc.toRawText();
    t.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    return t;
}

int firstDifference(const QString &a, const QString &b)
{
    const int n = int(std::min(a.size(), b.size()));
    for (int i = 0; i < n; ++i) {
        if (a.at(i) != b.at(i))
            return i;
    }
    return a.size() == b.size() ? -1 : n;
}

bool sameText(CheckReport &r, const QString &fileA, const QTextDocument &a, const QString &fileB,
              const QTextDocument &b)
{
    const QString ta = plainText(a);
    const QString tb = plainText(b);
    const int pos = firstDifference(ta, tb);
    if (pos < 0)
        return true;
    QString message;
    if (pos == ta.size())
        message = QStringLiteral("il testo finisce prima di quello di %1, che continua con %2").arg(fileB, around(tb, pos));
    else if (pos == tb.size())
        message = QStringLiteral("il testo continua dove quello di %1 è già finito: %2").arg(fileB, around(ta, pos));
    else
        message = QStringLiteral("il testo è diverso da quello di %1: qui %2, là %3")
                      .arg(fileB, around(ta, pos), around(tb, pos));
    r.add(fileA, message, pos);
    return false;
}

QSet<QRgb> textColours(const QTextDocument &doc)
{
    QSet<QRgb> colours;
    forEachCharacter(doc, [&](int, int, const QTextCharFormat &f) {
        colours.insert(colourOf(f));
        return true;
    });
    return colours;
}

QSet<QRgb> highlightColours(const QTextDocument &doc)
{
    QSet<QRgb> colours;
    forEachCharacter(doc, [&](int, int, const QTextCharFormat &f) {
        if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
            colours.insert(f.background().color().rgb() | 0xff000000u);
        return true;
    });
    return colours;
}

QList<QRgb> colourAtEachPosition(const QTextDocument &doc)
{
    QList<QRgb> out;
    out.reserve(doc.characterCount());
    QRgb last = Automatic;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin())
            out.append(last); // the paragraph end before this block
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            last = colourOf(frag.charFormat());
            for (int i = 0; i < frag.length(); ++i)
                out.append(last);
        }
    }
    return out;
}

QStringList namesIn(const QString &text, const QStringList &names)
{
    QStringList found;
    for (const QString &name : names) {
        // Letters on either side would make the name part of another word;
        // an apostrophe or a quotation mark would not.
        const QRegularExpression word(QStringLiteral("(?<!\\p{L})%1(?!\\p{L})")
                                          .arg(QRegularExpression::escape(name)),
                                      QRegularExpression::UseUnicodePropertiesOption);
        if (word.match(text).hasMatch() && !found.contains(name))
            found.append(name);
    }
    return found;
}

int firstCharacterNotIn(const QTextDocument &doc, QRgb colour)
{
    int found = -1;
    forEachCharacter(doc, [&](int pos, int, const QTextCharFormat &f) {
        if (colourOf(f) != colour) {
            found = pos;
            return false;
        }
        return true;
    });
    return found;
}

bool allOneColour(CheckReport &r, const QString &file, const QTextDocument &doc, QRgb colour)
{
    const int pos = firstCharacterNotIn(doc, colour);
    if (pos < 0)
        return true;
    QRgb other = Automatic;
    forEachCharacter(doc, [&](int p, int len, const QTextCharFormat &f) {
        if (pos >= p && pos < p + len) {
            other = colourOf(f);
            return false;
        }
        return true;
    });
    r.add(file,
          QStringLiteral("il testo deve essere tutto del colore %1, ma qui è %2: %3")
              .arg(colourText(colour), colourText(other), around(plainText(doc), pos)),
          pos);
    return false;
}

bool lengthWithin(CheckReport &r, const QString &file, const QTextDocument &doc, int minLength, int maxLength)
{
    const int n = int(plainText(doc).size());
    if (n < minLength) {
        r.add(file, QStringLiteral("il testo è troppo corto: %1 caratteri, ne servono almeno %2").arg(n).arg(minLength));
        return false;
    }
    if (n > maxLength) {
        r.add(file, QStringLiteral("il testo è troppo lungo: %1 caratteri, al massimo %2").arg(n).arg(maxLength));
        return false;
    }
    return true;
}

bool pictureReadable(CheckReport &r, const QString &file)
{
    r.noteFile(file);
    const QString path = r.pathOf(file);
    ContentTrouble trouble = ContentTrouble::None;
    readPicture(path, &trouble);
    switch (trouble) {
    case ContentTrouble::None:
        return true;
    case ContentTrouble::Missing:
        r.add(CheckProblem::Missing, file, QStringLiteral("il file manca"));
        return false;
    case ContentTrouble::NotAFile:
        r.add(CheckProblem::Unreadable, file,
              QStringLiteral("non è un file normale (è una cartella, una pipe, un dispositivo o altro)"));
        return false;
    case ContentTrouble::Unreadable:
        break;
    }
    r.add(CheckProblem::Unreadable, file,
          QStringLiteral("l'immagine non si legge: il file è danneggiato, interrotto o non è un'immagine"));
    return false;
}

} // namespace checks

QString rightPictureFile()
{
    return QStringLiteral("permorvello\\giusto.jpg");
}

QString wrongPictureFile()
{
    return QStringLiteral("permorvello\\sbagliato.jpg");
}

void addPictureChecks(ContentCheckRegistry &registry)
{
    registry.add(QStringLiteral("Immagini giusto/sbagliato"), [](CheckReport &r) {
        checks::pictureReadable(r, rightPictureFile());
        checks::pictureReadable(r, wrongPictureFile());
    });
}

} // namespace morvello
