#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace morvello {

// Failures of the RTF reader carry a number, like the engine's, so that a
// caller can tell a missing file from a damaged one.
namespace RtfErrorCode {
constexpr int None = 0;
constexpr int TooLarge = 7;
constexpr int FileNotFound = 53;
constexpr int FileUnreadable = 75;
constexpr int InvalidFormat = 321;
} // namespace RtfErrorCode

struct RtfResult {
    bool ok = true;
    int number = RtfErrorCode::None;
    QString error; // Italian, fit to show to a pupil or a teacher
};

// Bounds that keep a damaged or hostile file from taking the program down.
namespace RtfLimits {
constexpr int MaxGroupDepth = 256;
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
constexpr int MaxParagraphs = 100000;
constexpr int MaxRuns = 250000; // stretches of text with one formatting
constexpr int MaxTableEntries = 4096; // fonts, colours, styles each
} // namespace RtfLimits

// Replaces the content of doc with the RTF document in data. The document's
// plain text is what a reader of the file sees: paragraphs become blocks,
// \line becomes U+2028, \tab a TAB, \~ U+00A0. Character runs keep their
// colour exactly; "automatic" colour (\cf0 over a table whose first entry is
// empty, or no \cf at all) leaves the run without a ForegroundBrush, an
// explicit colour (black included) sets one.
// On failure doc is left empty and the result says why.
RtfResult readRtf(const QByteArray &data, QTextDocument *doc);

// The same from a file (a real path, not a data-folder name). A missing,
// unreadable or oversized file leaves doc empty with its own error number.
RtfResult readRtfFile(const QString &path, QTextDocument *doc);

} // namespace morvello
