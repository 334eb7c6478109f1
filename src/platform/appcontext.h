#pragma once
#include "clock.h"
#include "dialogs.h"

#include <QString>
#include <functional>
#include <memory>

namespace morvello {

class Database;
class Navigator;

// Program-wide values and services, handed to every screen. Nothing of this
// lives in globals, so a test can build as many independent contexts as it
// likes.
struct AppContext
{
    // The current pupil: empty at start, "Ospite" for a pupil who gave no
    // name, otherwise the normalised typed name. Key of the pupil's results row.
    QString nomeStudente;
    // Name of the screen that opened the results screen ("fmenù", "Fespositivo", ...).
    QString formChiamante;
    // The one open handle on the results database (owned elsewhere).
    Database *dbTesti = nullptr;
    // Folder that holds the data folder "permorvello" (the working directory
    // in the program; a temporary folder in tests).
    QString baseDir;

    Dialogs *dialogs = nullptr;
    Clock *clock = nullptr;
    RandomSource *random = nullptr;
    Navigator *navigator = nullptr;

    // Runs the name entry (installed by the shell; screens of other
    // subsystems ask for the name through it).
    std::function<void(AppContext &)> askName;
    // Ends the program (the application's quit in the program; a flag in tests).
    std::function<void()> quit;

    void chiediNome()
    {
        if (askName)
            askName(*this);
    }
    void endProgram()
    {
        if (quit)
            quit();
    }
    // "Exit" commands of the screens close the results database, then end.
    void closeDatabaseAndEnd();

    // A data file's real path ("permorvello\giusto.jpg" -> /…/permorvello/giusto.jpg).
    QString dataPath(const QString &windowsPath) const;
};

} // namespace morvello
