// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace morvello {

class Register;
struct ServerConfig;

// What a file brought to a register, or why it brought nothing.
struct ImportOutcome
{
    enum class Kind { Unknown, Export, Archive, Register };
    QString file;          // as given
    Kind kind = Kind::Unknown;
    bool imported = false; // false: the register is as it was
    QString message;       // Italian, names the file; empty after an import
    int newRows = 0;       // rows the register had not got yet
    int tabtestiRows = 0;  // of which made from tabtesti groups that had no history
    QStringList computers; // the computers the file's history rows came from
    // Names of the file written in several ways that are one pupil once put
    // in the program's form ("D’ANGELO" and "D'ANGELO"), one line per pupil:
    // counted as one pupil here, listed for the teacher to check.
    QStringList spellings;
    // Names the pupil program itself flagged in the file's archive as
    // look-alikes (rows it left for a teacher to join or rename), one list
    // per group of rows; kept in the register with the file.
    QVector<QStringList> flagged;
};

// Italian name of a file's kind ("esportazione", "archivio", "registro").
QString kindName(ImportOutcome::Kind kind);

// Imports one file: an export from a disk, a computer's results archive or
// another register. The file is only read. All or nothing: the register
// gains every new row of it and one line of provenance, or nothing at all.
// Rows the register has already (by their codes) are not added again; a
// file from before the history of attempts brings each saved group of its
// tabtesti as one attempt, and tabtesti rows repeated by repeated exports
// are one attempt.
ImportOutcome importFile(Register &reg, const QString &file, const QDateTime &now);

// Imports the results of a school's lab server, read with the given
// connection (the teacher's role): the server's rows are copied, as an
// export is, into a scratch file, which is then imported as any export
// (the same rows once only, by their codes). The provenance and the message
// name the server; a server that does not answer, refuses, or is not ours
// changes nothing.
ImportOutcome importServer(Register &reg, const ServerConfig &config, const QDateTime &now);

// The files of a folder and its subfolders that may be imported (.mdb,
// .sqlite, .db), sorted.
QStringList importableFiles(const QString &folder);

} // namespace morvello
