#pragma once
#include <QString>

namespace morvello {

class ResultsStore;
struct Services;

// The export of the whole archive onto the floppy: every row of this
// computer's tabtesti is appended to the tabtesti of "A:\exporttesti.mdb",
// all 34 columns by position, so that a teacher can gather several machines'
// rows on one disk.
enum class ExportStatus {
    Done,          // all rows appended; nothing to say
    OpenFailed,    // the export file could not be opened
    TableFailed,   // the export file opened, but a tabtesti could not be
    TemplateCopyFailed, // the disk had no export file and the empty one could not be put there
    WriteFailed,   // a row or a value could not be written: nothing appended
};

struct ExportOutcome {
    ExportStatus status = ExportStatus::Done;
    // What the pupil is told; empty after a successful export.
    QString message;
    int rowsAppended = 0;
    bool templateCopied = false;
};

// Messages of the export, exactly as the pupil reads them.
namespace exportmsg {
QString interrupted();   // "C'è un problema... la copia su floppy viene interrotta."
QString insertNewDisk(); // "Probabilmente non hai inserito un Floppy nuovo. Inseriscilo e riprova."
QString diskNotWritable();
QString diskFull();
QString templateMissing();
} // namespace exportmsg

ExportOutcome exportArchive(ResultsStore &store, const Services &services);

} // namespace morvello
