// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace morvello {

// Every message and the one input box go through this interface, so tests can
// read what the pupil would be told and answer in the pupil's place.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // A message box with one OK button and the program's title.
    virtual void message(const QString &text) = 0;
    // The input box; nullopt when the pupil cancels. The answer is at most
    // maxLength characters long.
    virtual std::optional<QString> input(const QString &prompt, int maxLength = 255) = 0;

    // A message that offers a choice: one button per entry, the last one
    // closing the box. The index of the button pressed (the last one's when
    // the box is closed any other way).
    virtual int choose(const QString &text, const QStringList &buttons) = 0;
    // The standard print dialog over `printer`: printer, copies, printing to
    // a PDF file. False when it is cancelled, and nothing is printed then.
    virtual bool choosePrinter(QPrinter &printer) = 0;
    // A folder picked by the user, the chooser opening on `start`; nullopt
    // when cancelled. Nothing of one choice is remembered for the next.
    virtual std::optional<QString> chooseFolder(const QString &title, const QString &start) = 0;
    // The teacher's guide, which names the data folder of this computer.
    virtual void showGuide(const QString &dataFolder) = 0;
};

QString programTitle(); // "Morvello"

} // namespace morvello
