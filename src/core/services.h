// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "clock.h"
#include "dialogs.h"
#include "speech.h"
#include "ticker.h"

#include <QString>
#include <functional>
#include <memory>

#include <QPrinter>

namespace morvello {

// The floppy drive "A:" the export writes to: the folder that plays "A:\",
// empty when there is no drive at all.
class RemovableDrive
{
public:
    virtual ~RemovableDrive() = default;
    virtual QString rootFolder() const = 0;
};

// A drive that is always the given folder (whether or not it exists, that is
// whether or not a disk is in it).
class FolderDrive : public RemovableDrive
{
public:
    explicit FolderDrive(const QString &folder = QString()) : m_folder(folder) {}
    QString rootFolder() const override { return m_folder; }
    void setFolder(const QString &folder) { m_folder = folder; }

private:
    QString m_folder;
};

// Hands out the printer to print on; null, with *problem filled in Italian,
// when there is none.
using PrinterProvider = std::function<std::unique_ptr<QPrinter>(QString *problem)>;

class PrinterSource
{
public:
    virtual ~PrinterSource() = default;
    virtual std::unique_ptr<QPrinter> open(QString *problem) = 0;
};

// A printer source that asks a function (tests hand out PDF printers this way).
class FunctionPrinter : public PrinterSource
{
public:
    explicit FunctionPrinter(PrinterProvider f = {}) : m_f(std::move(f)) {}
    std::unique_ptr<QPrinter> open(QString *problem) override { return m_f ? m_f(problem) : nullptr; }

private:
    PrinterProvider m_f;
};

// Everything outside the program a screen may need: all injected the same
// way, as pointers the owner of the run keeps alive, so that tests answer the
// dialogs, fix the clock, step the timers and print to files.
struct Services
{
    Dialogs *dialogs = nullptr;
    Clock *clock = nullptr;
    RandomSource *random = nullptr;
    TickSource *ticks = nullptr;
    RemovableDrive *drive = nullptr;
    PrinterSource *printer = nullptr;
    // The voice that reads passages aloud.
    Speech *speech = nullptr;
    // Folder that holds the data folder "permorvello" (the working directory
    // in the program; a temporary folder in tests).
    QString baseDir;

    // A data file's real path ("permorvello\giusto.jpg" -> /…/permorvello/giusto.jpg).
    QString dataPath(const QString &windowsPath) const;
    // Now, from the clock (the system's time when there is none).
    QDateTime now() const;
    // A message to the pupil (a warning on the console when there are no dialogs).
    void tell(const QString &text) const;
    // A stopped ticker owned by parent, from the tick source; real timers
    // when none was given. The one fallback of the program.
    Ticker *newTicker(QObject *parent) const;
    // The random source; when none was given, one of the program's own,
    // seeded once from the clock. The one fallback of the program.
    RandomSource &randomSource() const;
    // The voice; when none was given, one that says there is none.
    Speech &voice() const;
    // The teacher's guide (F1, "Guida").
    void showGuide() const;
};

} // namespace morvello
