// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace morvello {

class ResultsStore;
struct Services;

// The export of the whole archive onto the floppy: every row of this
// computer's tabtesti is appended to the tabtesti of "A:\exporttesti.mdb",
// all 34 columns by position, so that a teacher can gather several machines'
// rows on one disk; the history rows the disk has not got yet go with them.
enum class ExportStatus {
    Done,          // all rows appended; nothing to say
    OpenFailed,    // the export file could not be opened
    TableFailed,   // the export file opened, but a tabtesti could not be
    TemplateCopyFailed, // the disk had no export file and the empty one could not be put there
    WriteFailed,   // a row or a value could not be written: nothing appended
    NoDisk,        // no removable disk at all: a folder may be chosen instead
    Refused,       // the folder chosen is the data folder itself
};

struct ExportOutcome {
    ExportStatus status = ExportStatus::Done;
    // What the pupil is told; empty after a successful export.
    QString message;
    int rowsAppended = 0;        // rows of tabtesti
    int historyRowsAppended = 0; // rows of the history the disk had not got yet
    bool templateCopied = false;
    QString file; // the export file written, after a success
};

// Messages of the export, exactly as the pupil reads them.
namespace exportmsg {
QString interrupted();   // "C'è un problema... la copia su floppy viene interrotta."
QString insertNewDisk(); // "Probabilmente non hai inserito un Floppy nuovo. Inseriscilo e riprova."
QString diskNotWritable();
QString diskFull();
QString readOnlyDisk();       // the disk holds an export but cannot be written
QString readOnlyExportFile(); // the export file on the disk is read-only
QString templateMissing();
// When no disk is found: the message above, then the offer of a folder.
QString noDiskOffer();
QString chooseFolderButton(); // "Scegli una cartella..."
QString closeButton();        // "Chiudi"
QString chooserTitle();
// The export into a chosen folder.
QString folderDone(const QString &file, int rows);
QString folderCannotOpen(const QString &file);
QString folderNotExportFile(const QString &file);
QString folderNotWritable(const QString &folder);
QString folderFull(const QString &folder);
QString folderTemplateMissing();
QString dataFolderRefused();
} // namespace exportmsg

ExportOutcome exportArchive(ResultsStore &store, const Services &services);

// The same export into a folder the teacher chose, as "exporttesti.mdb"
// there, under the same rules: the empty file is put in place without
// replacing anything, then all rows or none are appended. Never into the
// data folder, whose exporttesti.mdb is the template. A success is said,
// naming the file.
ExportOutcome exportToFolder(ResultsStore &store, const Services &services, const QString &folder);

} // namespace morvello
