// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/services.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class QPrinter;

namespace morvello {

class Dialogs;
class ResultsStore;
struct Session;

// One piece of a printed line: text that starts at a print column. Column 1
// is the left edge of the printable area and a column is one average
// character width of the printer's font, so the page keeps its columns in
// whatever font the printer offers.
struct PrintItem {
    int column = 1;
    QString text;
    bool operator==(const PrintItem &o) const { return column == o.column && text == o.text; }
};
using PrintLine = QVector<PrintItem>; // an empty line prints nothing

// The results page of one pupil's row (the 34 values of tabtesti by position):
// the name, the header, the eight groups with their four values.
QVector<PrintLine> resultsPage(const QVector<QVariant> &row);

// A value as printed: numbers with the sign place in front (so that digits
// sit under " Giusti"), a value never saved as the grid shows it ("0", or
// nothing for a date).
QString printedValue(const QVariant &value, int kind);

// The page as plain text with one character per column, for reading it back.
QString pageText(const QVector<PrintLine> &lines);

// The system's default printer.
std::unique_ptr<QPrinter> defaultPrinter(QString *problem);
class SystemPrinter : public PrinterSource
{
public:
    std::unique_ptr<QPrinter> open(QString *problem) override;
};

// Draws the lines on the printer, one page (more only if the font is huge).
// False, with *problem filled in, when the printer cannot take the page.
bool renderPage(QPrinter &printer, const QVector<PrintLine> &lines, QString *problem);

enum class PrintStatus { Printed, NotFound, NoPrinter, PrinterFailed, DatabaseFailed, Cancelled };
struct PrintOutcome {
    PrintStatus status = PrintStatus::Printed;
    QString message; // empty when the page went to the printer without a word
};

// Printing the shown pupil: "mionome" or nothing yet -> NomeStudente,
// "nomebis" -> the searched name.
QString printKey(const Session &session, const QString &modoRisultati, const QString &nomeCercato);
// Prints on the printer the source hands out (the default printer when there
// is no source).
PrintOutcome printResults(ResultsStore &store, const Session &session, const QString &modoRisultati,
                          const QString &nomeCercato, PrinterSource *printer);

// The print dialog's way (Shift+click, Ctrl+P): the shown pupil's page on
// the printer the teacher picks in the standard dialog, with copies, or into
// a PDF file, which is then named to the teacher. With no printer at all the
// dialog opens on a PDF file in the home folder. The pupil is looked up
// before the dialog opens; a cancelled dialog prints nothing and says nothing.
PrintOutcome printResultsWithDialog(ResultsStore &store, const Session &session, const QString &modoRisultati,
                                    const QString &nomeCercato, Dialogs &dialogs);
// "<folder>/Risultati <pupil>.pdf", or with " (2)", " (3)" … the first name
// that no file has yet.
QString freePdfName(const QString &folder, const QString &pupil);

namespace printmsg {
QString notFound(); // "Nome non trovato nell'archivio"
QString noPrinter();
QString printerFailed();
QString printerRefuses(const QString &printer); // a printer that exists but takes no jobs
QString savedAsFile(const QString &file);       // a page printed into a file
QString fileFailed(const QString &file);
} // namespace printmsg

} // namespace morvello
