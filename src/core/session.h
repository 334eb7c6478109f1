#pragma once
#include <QString>

namespace morvello {

// The two program-wide values of a run. Nothing of this lives in globals, so
// a test can build as many independent sessions as it likes.
struct Session
{
    // The current pupil: empty at start, "Ospite" for a pupil who gave no
    // name, otherwise the normalised typed name. Key of the pupil's results row.
    QString nomeStudente;
    // Name of the screen that opened the results screen ("fmenù", "Fespositivo", ...).
    QString formChiamante;
};

} // namespace morvello
