// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/frisultati.h"
#include "sequences/sequencescreens.h"

#include <QString>

namespace morvello {

// Screen names, as FormChiamante and the navigator know them. The names of
// activities whose library is not part of this build are still known here:
// a return to one of them falls back to the menu.
namespace ScreenName {
inline const QString Menu = QStringLiteral("fmenù");
inline const QString Risultati = FRisultati::name();
inline const QString Espositivo = sequencescreens::Espositivo;
inline const QString Sequenze = sequencescreens::Sequenze;
inline const QString TrovaSeq = QStringLiteral("FtrovaSEQ");
inline const QString Genette = QStringLiteral("FGenette");
inline const QString Poesia1 = QStringLiteral("Fpoesia1");
inline const QString Poesia2 = QStringLiteral("Fpoesia2");
inline const QString Metafore = QStringLiteral("FMetafore");
} // namespace ScreenName

} // namespace morvello
