// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"

#include <QString>
#include <memory>

class QLockFile;

namespace morvello {

class Database;

// The teacher's register of one class: one SQLite file that gathers the
// history rows of every computer the class used, each row once.
//
//   registro      key/value pairs: "formato" (always "morvello-registro",
//                 how a register is told from any other file) and "classe";
//   alunni        one row per pupil, by the program's normalised name; a
//                 name the teacher joined to another carries that pupil's
//                 id in "unito_a"; "nascosto" keeps a pupil who left the
//                 class out of the class view, deleting nothing;
//   tentativi     one row per history row, keyed by its code, so that a row
//                 met again in any later file is recognised;
//   importazioni  one row per file imported: the file, the computers its
//                 rows came from, when, how many rows were new, its kind;
//   riepilogo     the class view's numbers per pupil and group (summary.h);
//   nomi_segnalati  names a pupil program flagged as look-alikes in its own
//                 archive, one row per group of names, from the file that
//                 first brought it.
// A register of an earlier version is brought up to date when it is opened.
class Register
{
public:
    ~Register();
    Register(const Register &) = delete;
    Register &operator=(const Register &) = delete;

    // Makes a new, empty register at `path` (its folder too); fails when a
    // file is there already.
    static std::unique_ptr<Register> create(const QString &path, const QString &className, DbError *error = nullptr);
    // Opens an existing register; a file that is no register, or one made
    // by a newer version of the program, is refused with a message naming it.
    // While it is open no other copy of the program opens it (a lock file
    // beside it, "<file>.lock", freed at close even after a crash).
    static std::unique_ptr<Register> open(const QString &path, DbError *error = nullptr);

    // $XDG_DATA_HOME/morvello/registri, the teachers' own data folder.
    static QString defaultFolder();
    // The register file of a class in that folder; characters a file name
    // cannot hold become "_".
    static QString fileForClass(const QString &className);

    Database &database() const { return *m_db; }
    QString className() const { return m_className; }
    QString path() const;

    static constexpr int kVersion = 2;
    static QString formatTag() { return QStringLiteral("morvello-registro"); }

private:
    explicit Register(std::unique_ptr<Database> db);
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<Database> m_db;
    QString m_className;
};

} // namespace morvello
