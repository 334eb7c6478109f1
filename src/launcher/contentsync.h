// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace morvello {

// Where an installed Morvello lies, found from the folder of the launcher
// itself: <root>/bin/morvello starts <root>/lib/morvello/morvello and copies
// <root>/share/morvello/permorvello. The same holds for /usr and for a package
// unpacked anywhere.
struct InstallLayout {
    QString program;        // the program itself
    QString shippedContent; // the data folder as the package ships it
};
InstallLayout installLayoutFor(const QString &launcherDir);

// The folders, best first, whose "permorvello" may keep this user's archive
// and content: MORVELLO_DIR when set (relative to HOME when not absolute),
// then $XDG_DATA_HOME/morvello or else ~/.local/share/morvello. An
// XDG_DATA_HOME that is not absolute is ignored, as the XDG rules ask. Empty
// when there is nothing to go by.
QStringList dataHomes(const QProcessEnvironment &env);

// The record of what the launcher copied, kept beside the data folder.
inline QString copyRecordName() { return QStringLiteral(".contenuti-copiati"); }

// True for the results archive, the export template and their journals: the
// launcher never writes them, whatever the shipped folder holds.
bool isPupilData(const QString &fileName);

struct SyncEntry {
    enum Outcome {
        Copied,      // was missing
        Updated,     // an older shipped copy, replaced
        Current,     // already the shipped file
        KeptChanged, // differs from every copy we made: a teacher's file, left alone
        Skipped,     // pupil data, never touched
        Failed,      // could not be written; see SyncReport::errors
    };
    QString path; // relative to the data folder, '/' separated, as shipped
    Outcome outcome;
};

struct SyncReport {
    QList<SyncEntry> entries;
    QStringList errors; // Italian, one a line, for the message box
    bool ok() const { return errors.isEmpty(); }
    SyncEntry::Outcome outcomeOf(const QString &path) const;
};

// Brings dataHome/permorvello up to the shipped content: copies the files
// that are missing and replaces those still equal to a copy made earlier,
// keeping every other file as it is. dataHome must exist; the data folder is
// created when missing. Each file is written whole or not at all.
SyncReport syncShippedContent(const QString &shippedContent, const QString &dataHome);

} // namespace morvello
