// SPDX-License-Identifier: GPL-3.0-or-later
#include "printout.h"

#include "storage/resultsstore.h"
#include "resultstext.h"
#include "storage/schema.h"

#include "core/resultgroups.h"
#include "core/services.h"
#include "core/session.h"

#include <QDir>
#include <optional>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#ifdef Q_OS_UNIX
#include <dlfcn.h>
#endif

namespace morvello {

namespace printmsg {
QString notFound()
{
    return QStringLiteral("Nome non trovato nell'archivio");
}
QString noPrinter()
{
    return QStringLiteral("Su questo computer non è installata nessuna stampante: i risultati non sono stati "
                          "stampati.");
}
QString printerFailed()
{
    return QStringLiteral("La stampante non risponde (forse è spenta, senza carta o scollegata): i risultati "
                          "non sono stati stampati.");
}
QString savedAsFile(const QString &file)
{
    return QStringLiteral("I risultati sono stati stampati nel file \"%1\".").arg(QDir::toNativeSeparators(file));
}
QString fileFailed(const QString &file)
{
    return QStringLiteral("Non è stato possibile scrivere il file \"%1\" (la cartella non è scrivibile o il disco "
                          "è pieno): i risultati non sono stati stampati.")
        .arg(QDir::toNativeSeparators(file));
}
QString printerRefuses(const QString &printer)
{
    return QStringLiteral("La stampante \"%1\" non accetta stampe in questo momento (è sospesa o segnala un "
                          "errore): i risultati non sono stati stampati. Chiedere a chi cura i computer di "
                          "riattivarla, poi riprovare.")
        .arg(printer);
}
} // namespace printmsg

namespace {

// The system's print spooler (CUPS), asked for what Qt does not say: whether
// a printer takes jobs at all, and whether it took the last one. Qt hands a
// page to a printer that refuses it and reports success. Loaded when the
// program prints natively; without it nothing is asked.
class Spooler
{
public:
    static Spooler &instance()
    {
        static Spooler s;
        return s;
    }

    // Why the printer cannot take a job now, or empty.
    QString refusal(const QString &printer) const
    {
        if (!m_getNamedDest || !m_getOption || !m_freeDests || printer.isEmpty())
            return {};
        Dest *dest = m_getNamedDest(nullptr, printer.section(QLatin1Char('/'), 0, 0).toLocal8Bit().constData(), nullptr);
        if (!dest)
            return {};
        const char *accepting = m_getOption("printer-is-accepting-jobs", dest->numOptions, dest->options);
        const char *state = m_getOption("printer-state", dest->numOptions, dest->options);
        const bool refuses = (accepting && qstrcmp(accepting, "false") == 0) || (state && qstrcmp(state, "5") == 0);
        m_freeDests(1, dest);
        return refuses ? printmsg::printerRefuses(printer) : QString();
    }

    // The spooler refused the job the program just sent from this thread.
    bool refusedLastJob() const { return m_lastError && m_lastError() >= kFirstIppError; }

private:
    struct Dest { // cups_dest_t
        char *name;
        char *instance;
        int isDefault;
        int numOptions;
        void *options;
    };
    static constexpr int kFirstIppError = 0x0400;

    Spooler()
    {
#ifdef Q_OS_UNIX
        void *lib = dlopen("libcups.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (!lib)
            return;
        m_getNamedDest = reinterpret_cast<Dest *(*)(void *, const char *, const char *)>(dlsym(lib, "cupsGetNamedDest"));
        m_getOption = reinterpret_cast<const char *(*)(const char *, int, void *)>(dlsym(lib, "cupsGetOption"));
        m_freeDests = reinterpret_cast<void (*)(int, Dest *)>(dlsym(lib, "cupsFreeDests"));
        m_lastError = reinterpret_cast<int (*)()>(dlsym(lib, "cupsLastError"));
#endif
    }

    Dest *(*m_getNamedDest)(void *, const char *, const char *) = nullptr;
    const char *(*m_getOption)(const char *, int, void *) = nullptr;
    void (*m_freeDests)(int, Dest *) = nullptr;
    int (*m_lastError)() = nullptr;
};

bool printsThroughSpooler(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::NativeFormat && printer.outputFileName().isEmpty()
           && !printer.printerName().isEmpty();
}


constexpr int kValueColumns[4] = {35, 45, 55, 65};

int nomePosition()
{
    const auto &cols = schema::tabtestiColumns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].name == QLatin1String("nome"))
            return i;
    return 1;
}

} // namespace

QString printedValue(const QVariant &value, int kind)
{
    const QString text = resultCellText(value, kind);
    const bool never = !value.isValid() || value.isNull();
    if (kind < 3 && (never || isNumericValue(value)) && !text.startsWith(QLatin1Char('-')))
        return QLatin1Char(' ') + text;
    return text;
}

QVector<PrintLine> resultsPage(const QVector<QVariant> &row)
{
    const auto at = [&row](int p) { return p < row.size() ? row[p] : QVariant(); };
    QVector<PrintLine> page;
    page << PrintLine{};
    page << PrintLine{{7, at(nomePosition()).toString()}};
    page << PrintLine{} << PrintLine{};
    page << PrintLine{{7, QStringLiteral("Argomenti")},
                      {35, QStringLiteral(" Giusti")},
                      {45, QStringLiteral("Su")},
                      {55, QStringLiteral("%")},
                      {65, QStringLiteral("Quando")}};
    page << PrintLine{};
    const QVector<ResultGroup> &groups = resultGroups();
    for (int g = 0; g < groups.size(); ++g) {
        PrintLine line{{1, groups[g].printCaption}};
        for (int k = 0; k < 4; ++k)
            line << PrintItem{kValueColumns[k], printedValue(at(groups[g].firstColumn() + k), k)};
        page << line;
        if (g < groups.size() - 1)
            page << PrintLine{};
    }
    page << PrintLine{} << PrintLine{};
    return page;
}

QString pageText(const QVector<PrintLine> &lines)
{
    QString out;
    for (const PrintLine &line : lines) {
        int pos = 0;
        for (const PrintItem &item : line) {
            const int target = qMax(0, item.column - 1);
            if (pos > target) { // past the column already: it goes on the next line
                out += QLatin1Char('\n');
                pos = 0;
            }
            out += QString(target - pos, QLatin1Char(' '));
            out += item.text;
            pos = target + int(item.text.size());
        }
        out += QLatin1Char('\n');
    }
    return out;
}

std::unique_ptr<QPrinter> defaultPrinter(QString *problem)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        if (problem)
            *problem = printmsg::noPrinter();
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid() || info.state() == QPrinter::Error) {
        if (problem)
            *problem = printmsg::printerFailed();
        return nullptr;
    }
    const QString refusal = Spooler::instance().refusal(info.printerName());
    if (!refusal.isEmpty()) {
        if (problem)
            *problem = refusal;
        return nullptr;
    }
    return printer;
}

bool renderPage(QPrinter &printer, const QVector<PrintLine> &lines, QString *problem)
{
    QPainter p;
    if (!p.begin(&printer)) {
        if (problem)
            *problem = printmsg::printerFailed();
        return false;
    }
    // The printer's own font and margins: the page only sets its columns.
    const QFontMetricsF fm(p.font(), &printer);
    const double column = fm.averageCharWidth();
    const double lineHeight = fm.lineSpacing();
    const double pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    double y = fm.ascent();
    const auto nextLine = [&] {
        y += lineHeight;
        if (y + fm.descent() > pageHeight) {
            printer.newPage();
            y = fm.ascent();
        }
    };
    // A spooler makes the copies itself; a PDF file gets each one as pages.
    const int copies = printer.supportsMultipleCopies() ? 1 : qBound(1, printer.copyCount(), 99);
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) {
            printer.newPage();
            y = fm.ascent();
        }
        for (const PrintLine &line : lines) {
            double x = 0;
            bool first = true;
            for (const PrintItem &item : line) {
                const double tab = qMax(0, item.column - 1) * column;
                if (!first && x > tab + 0.5)
                    nextLine();
                p.drawText(QPointF(tab, y), item.text);
                x = tab + fm.horizontalAdvance(item.text);
                first = false;
            }
            nextLine();
        }
    }
    const bool ended = p.end();
    if (!ended || printer.printerState() == QPrinter::Error
        || (printsThroughSpooler(printer) && Spooler::instance().refusedLastJob())) {
        if (problem)
            *problem = printmsg::printerFailed();
        return false;
    }
    return true;
}

QString printKey(const Session &session, const QString &modoRisultati, const QString &nomeCercato)
{
    if (modoRisultati == QLatin1String("nomebis"))
        return nomeCercato;
    return session.nomeStudente;
}

// The row to print; none, with `out` saying why, when it cannot be had.
std::optional<QVector<QVariant>> rowToPrint(ResultsStore &store, const Session &session, const QString &modoRisultati,
                                            const QString &nomeCercato, PrintOutcome &out)
{
    DbError err;
    auto row = store.pupilRow(printKey(session, modoRisultati, nomeCercato), &err);
    if (err.isError()) {
        out.status = PrintStatus::DatabaseFailed;
        out.message = err.message;
        return std::nullopt;
    }
    if (!row) {
        out.status = PrintStatus::NotFound;
        out.message = printmsg::notFound();
    }
    return row;
}

PrintOutcome printResults(ResultsStore &store, const Session &session, const QString &modoRisultati,
                          const QString &nomeCercato, PrinterSource *printerSource)
{
    PrintOutcome out;
    const auto row = rowToPrint(store, session, modoRisultati, nomeCercato, out);
    if (!row)
        return out;
    const QVector<PrintLine> page = resultsPage(*row);

    QString problem;
    std::unique_ptr<QPrinter> printer = printerSource ? printerSource->open(&problem) : defaultPrinter(&problem);
    if (!printer) {
        out.status = PrintStatus::NoPrinter;
        out.message = problem.isEmpty() ? printmsg::noPrinter() : problem;
        return out;
    }
    if (!renderPage(*printer, page, &problem)) {
        out.status = PrintStatus::PrinterFailed;
        out.message = problem;
        return out;
    }
    return out;
}

QString freePdfName(const QString &folder, const QString &pupil)
{
    QString name = pupil.simplified();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString stem = QDir(folder).filePath(QStringLiteral("Risultati %1").arg(name.isEmpty() ? QStringLiteral("Ospite") : name));
    QString candidate = stem + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(candidate) && n < 1000; ++n)
        candidate = QStringLiteral("%1 (%2).pdf").arg(stem).arg(n);
    return candidate;
}

PrintOutcome printResultsWithDialog(ResultsStore &store, const Session &session, const QString &modoRisultati,
                                    const QString &nomeCercato, Dialogs &dialogs)
{
    PrintOutcome out;
    const auto row = rowToPrint(store, session, modoRisultati, nomeCercato, out);
    if (!row)
        return out;
    const QString pupil = row->value(nomePosition()).toString();

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Risultati di %1").arg(pupil));
    // Nothing to print on: the dialog opens on a PDF file, which can be kept
    // or printed elsewhere.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(freePdfName(QDir::homePath(), pupil));
    }
    if (!dialogs.choosePrinter(printer)) {
        out.status = PrintStatus::Cancelled;
        return out;
    }
    // A printer that takes no jobs is said before anything is sent.
    if (printsThroughSpooler(printer)) {
        const QString refusal = Spooler::instance().refusal(printer.printerName());
        if (!refusal.isEmpty()) {
            out.status = PrintStatus::NoPrinter;
            out.message = refusal;
            return out;
        }
    }
    QString problem;
    if (!renderPage(printer, resultsPage(*row), &problem)) {
        out.status = PrintStatus::PrinterFailed;
        out.message = printer.outputFileName().isEmpty() ? problem : printmsg::fileFailed(printer.outputFileName());
        return out;
    }
    if (!printer.outputFileName().isEmpty())
        out.message = printmsg::savedAsFile(printer.outputFileName());
    return out;
}

std::unique_ptr<QPrinter> SystemPrinter::open(QString *problem)
{
    return defaultPrinter(problem);
}

} // namespace morvello
