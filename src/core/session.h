// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace morvello {

// The program-wide values of a run. Nothing of this lives in globals, so
// a test can build as many independent sessions as it likes.
struct Session
{
    // The current pupil: empty at start, "Ospite" for a pupil who gave no
    // name, otherwise the normalised typed name. Key of the pupil's results row.
    QString nomeStudente;
    // Name of the screen that opened the results screen ("fmenù", "Fespositivo", ...).
    QString formChiamante;
    // The pupil asked for the high-legibility look of passages (kept with
    // the pupil's name in the archive, read when the name is given).
    bool testoLeggibile = false;
};

} // namespace morvello
