#pragma once
#include <QString>
#include <QStringList>
#include <optional>

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
};

QString programTitle(); // "Morvello"

} // namespace morvello
