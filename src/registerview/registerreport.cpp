// SPDX-License-Identifier: GPL-3.0-or-later
#include "registerreport.h"

#include "palette.h"
#include "progresscharts.h"
#include "core/dialogs.h"
#include "core/resultgroups.h"
#include "register/classtable.h"
#include "register/progress.h"
#include "register/register.h"

#include <QChart>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace morvello {

namespace {

// A chart is laid out at this many of its own pixels and then scaled to
// the page's width, so its fonts keep their share of it.
const QSizeF kChartLayout(720, 400);
constexpr double kCellPadMm = 1.0;

QFont reportFont(double points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont titleFont() { return reportFont(14, true); }
QFont textFont() { return reportFont(10); }
QFont cellFont() { return reportFont(8.5); }
QFont headFont() { return reportFont(8.5, true); }
QFont marginFont() { return reportFont(8); }

} // namespace

struct ReportDocument::Block
{
    enum Kind { Title, Text, Chart, Table, PageBreak } kind = Text;
    QString text;
    std::unique_ptr<QChart> chart;
    ReportTable table;
};

// One block, or a run of a table's rows, at its place on a page.
struct ReportDocument::Placed
{
    const Block *block = nullptr;
    QRectF rect;
    int firstRow = 0;
    int endRow = 0;
};

ReportDocument::ReportDocument(const ReportHeading &heading)
    : m_heading(heading)
{
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::addTitle(const QString &text)
{
    auto b = std::make_unique<Block>();
    b->kind = Block::Title;
    b->text = text;
    m_blocks.push_back(std::move(b));
}

void ReportDocument::addText(const QString &text)
{
    auto b = std::make_unique<Block>();
    b->kind = Block::Text;
    b->text = text;
    m_blocks.push_back(std::move(b));
}

void ReportDocument::addChart(QChart *chart)
{
    auto b = std::make_unique<Block>();
    b->kind = Block::Chart;
    b->chart.reset(chart);
    m_blocks.push_back(std::move(b));
}

void ReportDocument::addTable(const ReportTable &table)
{
    auto b = std::make_unique<Block>();
    b->kind = Block::Table;
    b->table = table;
    m_blocks.push_back(std::move(b));
}

void ReportDocument::startPage()
{
    auto b = std::make_unique<Block>();
    b->kind = Block::PageBreak;
    m_blocks.push_back(std::move(b));
}

namespace {

QVector<double> columnWidths(const ReportTable &t, double width)
{
    double sum = 0;
    for (int c = 0; c < t.headers.size(); ++c)
        sum += c < t.widths.size() ? t.widths.at(c) : 1;
    QVector<double> w;
    for (int c = 0; c < t.headers.size(); ++c)
        w << width * (c < t.widths.size() ? t.widths.at(c) : 1) / qMax(1.0, sum);
    return w;
}

double rowHeight(const QStringList &cells, const QVector<double> &widths, const QFontMetricsF &fm, double pad)
{
    double h = fm.height();
    for (int c = 0; c < widths.size(); ++c) {
        const QString text = cells.value(c);
        if (text.isEmpty())
            continue;
        const QRectF r = fm.boundingRect(QRectF(0, 0, qMax(1.0, widths.at(c) - 2 * pad), 1e9),
                                         Qt::TextWordWrap, text);
        h = qMax(h, r.height());
    }
    return h + 2 * pad;
}

void drawRow(QPainter &p, const QStringList &cells, const QVector<QColor> &shades, const QVector<bool> &numeric,
             const QVector<double> &widths, const QRectF &row, double pad, bool header)
{
    double x = row.left();
    const QPen grid(QColor(0x99, 0x99, 0x99), 0);
    for (int c = 0; c < widths.size(); ++c) {
        const QRectF cell(x, row.top(), widths.at(c), row.height());
        QColor ink(Qt::black);
        if (header) {
            p.fillRect(cell, QColor(0xE4, 0xE4, 0xE4));
        } else if (c < shades.size() && shades.at(c).isValid()) {
            p.fillRect(cell, shades.at(c));
            ink = textOn(shades.at(c));
        }
        p.setPen(grid);
        p.drawRect(cell);
        p.setPen(ink);
        const Qt::Alignment align = (!header && numeric.value(c)) ? Qt::AlignRight : Qt::AlignLeft;
        p.drawText(cell.adjusted(pad, pad, -pad, -pad), int(align | Qt::AlignVCenter | Qt::TextWordWrap), cells.value(c));
        x += widths.at(c);
    }
}

} // namespace

bool ReportDocument::print(QPrinter &printer, QString *problem)
{
    const double dots = printer.resolution() / 25.4; // device pixels per millimetre
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QFontMetricsF marginFm(marginFont(), &printer);
    const QFontMetricsF titleFm(titleFont(), &printer);
    const QFontMetricsF textFm(textFont(), &printer);
    const QFontMetricsF cellFm(cellFont(), &printer);
    const QFontMetricsF headFm(headFont(), &printer);
    const double pad = kCellPadMm * dots;
    const double top = marginFm.height() + 4 * dots;
    const double bottom = page.height() - marginFm.height() - 4 * dots;
    const double width = page.width();
    const double gap = 3 * dots;

    // Where everything goes, page by page, before anything is drawn: the
    // footer needs the number of pages.
    QVector<QVector<Placed>> pages(1);
    double y = top;
    const auto newPage = [&] {
        pages.append(QVector<Placed>());
        y = top;
    };
    const auto place = [&](const Block *b, double height, int first = 0, int end = 0) {
        if (y + height > bottom && !pages.last().isEmpty())
            newPage();
        pages.last().append(Placed{b, QRectF(0, y, width, height), first, end});
        y += height + gap;
    };
    QHash<const Block *, QVector<double>> heights;
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        const Block *b = m_blocks.at(i).get();
        switch (b->kind) {
        case Block::PageBreak:
            if (!pages.last().isEmpty())
                newPage();
            break;
        case Block::Title: {
            // A title keeps the first lines of what it heads with it.
            const double h = titleFm.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, b->text).height();
            if (y + h + 30 * dots > bottom && !pages.last().isEmpty())
                newPage();
            place(b, h);
            break;
        }
        case Block::Text:
            place(b, textFm.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, b->text).height());
            break;
        case Block::Chart:
            place(b, qMin(width * kChartLayout.height() / kChartLayout.width(), bottom - top));
            break;
        case Block::Table: {
            const QVector<double> w = columnWidths(b->table, width);
            const double head = rowHeight(b->table.headers, w, headFm, pad);
            QVector<double> rows;
            rows.reserve(b->table.rows.size());
            for (const QStringList &r : b->table.rows)
                rows << rowHeight(r, w, cellFm, pad);
            heights.insert(b, rows);
            const double pageSpace = bottom - top - head;
            if (rows.isEmpty())
                break;
            if (y + head + rows.first() > bottom && !pages.last().isEmpty())
                newPage();
            const QVector<int> starts = paginate(rows, bottom - y - head, pageSpace);
            for (int s = 0; s < starts.size(); ++s) {
                const int first = starts.at(s);
                const int end = s + 1 < starts.size() ? starts.at(s + 1) : int(rows.size());
                double h = head;
                for (int r = first; r < end; ++r)
                    h += rows.at(r);
                if (s > 0)
                    newPage();
                pages.last().append(Placed{b, QRectF(0, y, width, h), first, end});
                y += h + gap;
            }
            break;
        }
        }
    }
    if (pages.size() > 1 && pages.last().isEmpty())
        pages.removeLast();
    m_pages = int(pages.size());

    QPainter p;
    if (!p.begin(&printer)) {
        if (problem)
            *problem = QStringLiteral("La stampante o il file non accettano la stampa.");
        return false;
    }
    const QString headingLine = m_heading.line();
    for (int n = 0; n < pages.size(); ++n) {
        if (n > 0 && !printer.newPage()) {
            if (problem)
                *problem = QStringLiteral("La stampante ha smesso di accettare pagine.");
            p.end();
            return false;
        }
        p.setFont(marginFont());
        p.setPen(QColor(0x33, 0x33, 0x33));
        p.drawText(QRectF(0, 0, width, marginFm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   marginFm.elidedText(headingLine, Qt::ElideRight, width));
        p.setPen(QPen(QColor(0x99, 0x99, 0x99), 0));
        p.drawLine(QPointF(0, marginFm.height() + 1.5 * dots), QPointF(width, marginFm.height() + 1.5 * dots));
        p.setPen(QColor(0x33, 0x33, 0x33));
        p.drawText(QRectF(0, page.height() - marginFm.height(), width, marginFm.height()), Qt::AlignHCenter | Qt::AlignVCenter,
                   QStringLiteral("Pagina %1 di %2").arg(n + 1).arg(pages.size()));
        for (const Placed &item : pages.at(n)) {
            const Block *b = item.block;
            switch (b->kind) {
            case Block::Title:
                p.setFont(titleFont());
                p.setPen(Qt::black);
                p.drawText(item.rect, Qt::TextWordWrap, b->text);
                break;
            case Block::Text:
                p.setFont(textFont());
                p.setPen(Qt::black);
                p.drawText(item.rect, Qt::TextWordWrap, b->text);
                break;
            case Block::Chart:
                drawChart(*b->chart, p, item.rect, kChartLayout);
                break;
            case Block::Table: {
                const QVector<double> w = columnWidths(b->table, width);
                const double head = rowHeight(b->table.headers, w, headFm, pad);
                const QVector<double> &rows = heights.value(b);
                double ry = item.rect.top();
                p.setFont(headFont());
                drawRow(p, b->table.headers, {}, b->table.numeric, w, QRectF(0, ry, width, head), pad, true);
                ry += head;
                p.setFont(cellFont());
                for (int r = item.firstRow; r < item.endRow; ++r) {
                    drawRow(p, b->table.rows.at(r), b->table.shades.value(r), b->table.numeric, w,
                            QRectF(0, ry, width, rows.at(r)), pad, false);
                    ry += rows.at(r);
                }
                break;
            }
            case Block::PageBreak:
                break;
            }
        }
    }
    if (!p.end() || printer.printerState() == QPrinter::Error) {
        if (problem)
            *problem = printer.outputFileName().isEmpty()
                           ? QStringLiteral("La stampante non risponde (forse è spenta, senza carta o scollegata).")
                           : QStringLiteral("Il file \"%1\" non si può scrivere (la cartella non è scrivibile o il "
                                            "disco è pieno).")
                                 .arg(QDir::toNativeSeparators(printer.outputFileName()));
        return false;
    }
    return true;
}

namespace {

ReportHeading headingOf(Register &reg, const QDate &from, const QDate &to)
{
    return ReportHeading{schoolName(reg), reg.className(), periodText(from, to)};
}

QString countsLine(int attempts, int unplaced)
{
    QString text = attempts == 1 ? QStringLiteral("1 tentativo") : QStringLiteral("%1 tentativi").arg(attempts);
    if (unplaced > 0)
        text += QStringLiteral(" (%1 senza data o senza percentuale: sono nella tabella ma non nel grafico)").arg(unplaced);
    return text + QLatin1Char('.');
}

bool failed(const DbError &error, QString *problem)
{
    if (!error.isError())
        return false;
    if (problem)
        *problem = error.message;
    return true;
}

} // namespace

bool writePupilReport(QPrinter &printer, Register &reg, qint64 pupil, const QDate &from, const QDate &to, QString *problem)
{
    DbError error;
    const QVector<PupilLine> lines = classTable(reg, from, to, &error, true);
    if (failed(error, problem))
        return false;
    const auto line = std::find_if(lines.begin(), lines.end(), [pupil](const PupilLine &l) { return l.id == pupil; });
    if (line == lines.end()) {
        if (problem)
            *problem = QStringLiteral("L'alunno non è più nel registro.");
        return false;
    }
    const QVector<PupilAttempt> attempts = attemptsInPeriod(attemptsOf(reg, pupil, &error), from, to);
    if (failed(error, problem))
        return false;
    const PupilProgress progress = pupilProgress(attempts);
    ReportDocument doc(headingOf(reg, from, to));
    doc.addTitle(QStringLiteral("Resoconto di %1").arg(line->name));
    doc.addText(countsLine(int(attempts.size()), progress.unplaced));
    doc.addChart(pupilChart(progress));
    doc.addTable(pupilSummaryTable(*line));
    doc.addTitle(QStringLiteral("Tutti i tentativi"));
    doc.addTable(attemptsTable(attempts));
    return doc.print(printer, problem);
}

bool writeClassReport(QPrinter &printer, Register &reg, const QDate &from, const QDate &to, QString *problem)
{
    DbError error;
    const QVector<PupilLine> lines = classTable(reg, from, to, &error);
    if (failed(error, problem))
        return false;
    const QVector<PupilAttempt> all = attemptsInPeriod(attemptsOf(reg, 0, &error), from, to);
    if (failed(error, problem))
        return false;
    QHash<QString, QVector<PupilAttempt>> byPupil;
    for (const PupilAttempt &a : all)
        byPupil[a.pupil].append(a);

    ReportDocument doc(headingOf(reg, from, to));
    doc.addTitle(QStringLiteral("Resoconto della classe %1").arg(reg.className()));
    doc.addText(QStringLiteral("%1 alunni, %2 tentativi. Nelle caselle la percentuale dell'ultimo tentativo.")
                    .arg(lines.size())
                    .arg(all.size()));
    doc.addChart(classChart(bandCounts(lines)));
    doc.addTable(classTableReport(lines, &scaleColour));
    // A page per pupil, to hand out at a parents' meeting.
    for (const PupilLine &line : lines) {
        const QVector<PupilAttempt> &mine = byPupil.value(line.name);
        const PupilProgress progress = pupilProgress(mine);
        doc.startPage();
        doc.addTitle(line.name);
        doc.addText(countsLine(int(mine.size()), progress.unplaced));
        doc.addChart(pupilChart(progress));
        doc.addTable(pupilSummaryTable(line));
    }
    return doc.print(printer, problem);
}

void setUpReportPrinter(QPrinter &printer, const QString &documentName)
{
    printer.setDocName(documentName);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 12, 15, 12),
                                      QPageLayout::Millimeter));
    printer.setCreator(QStringLiteral("Morvello — Registro del docente"));
}

QString freeReportFile(const QString &folder, const QString &stem)
{
    QString name = stem.simplified();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString base = QDir(folder).filePath(name);
    QString candidate = base + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(candidate) && n < 1000; ++n)
        candidate = QStringLiteral("%1 (%2).pdf").arg(base).arg(n);
    return candidate;
}

QString printWithDialog(Dialogs &dialogs, const QString &documentName, const QString &fileStem,
                        const std::function<bool(QPrinter &, QString *)> &write)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpReportPrinter(printer, documentName);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(freeReportFile(QDir::homePath(), fileStem));
    }
    if (!dialogs.choosePrinter(printer))
        return {};
    QString problem;
    if (!write(printer, &problem))
        return QStringLiteral("Il resoconto non è stato stampato: %1").arg(problem);
    if (!printer.outputFileName().isEmpty())
        return QStringLiteral("Il resoconto è stato salvato nel file \"%1\".")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    return {};
}

} // namespace morvello
