// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "register/reportcontent.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QChart;
class QPrinter;

namespace morvello {

class Dialogs;
class Register;

// A printed report: titles, lines of text, charts and tables, flowed onto
// A4 pages that each carry the heading (school, class, period) and
// "Pagina N di M". Tables repeat their header on every page they run onto
// and never cut a row; a chart or a title that does not fit goes whole to
// the next page.
class ReportDocument
{
public:
    explicit ReportDocument(const ReportHeading &heading);
    ~ReportDocument();
    ReportDocument(const ReportDocument &) = delete;
    ReportDocument &operator=(const ReportDocument &) = delete;

    void addTitle(const QString &text);
    void addText(const QString &text);
    // The document owns the chart from now on.
    void addChart(QChart *chart);
    void addTable(const ReportTable &table);
    void startPage();

    // Lays the document out on the printer's page and draws it; false, with
    // *problem in Italian, when the printer or the file takes nothing.
    bool print(QPrinter &printer, QString *problem);
    int pageCount() const { return m_pages; }

private:
    struct Block;
    struct Placed;
    ReportHeading m_heading;
    std::vector<std::unique_ptr<Block>> m_blocks;
    int m_pages = 0;
};

// The reports of the register, over the period [from, to] (null dates:
// open ends).
bool writePupilReport(QPrinter &printer, Register &reg, qint64 pupil, const QDate &from, const QDate &to,
                      QString *problem);
bool writeClassReport(QPrinter &printer, Register &reg, const QDate &from, const QDate &to, QString *problem);

// A4, portrait, the printer's own resolution: what every report is set up as
// before the print dialog opens.
void setUpReportPrinter(QPrinter &printer, const QString &documentName);

// The standard print dialog (through `dialogs`), then `write` onto the
// printer or PDF file chosen. With no printer on the computer the dialog
// opens on "<home>/<fileStem>.pdf" (" (2)", " (3)"… when taken). Returns
// the message for the teacher: empty when printed without a word or
// cancelled, the file's name when written into a PDF file, the reason when
// it failed.
QString printWithDialog(Dialogs &dialogs, const QString &documentName, const QString &fileStem,
                        const std::function<bool(QPrinter &, QString *)> &write);
QString freeReportFile(const QString &folder, const QString &stem);

} // namespace morvello
