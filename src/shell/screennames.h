// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "narrative/narrativescreens.h"
#include "poetry/poetryscreens.h"
#include "results/frisultati.h"
#include "sequences/sequencescreens.h"

#include <QString>

namespace morvello {

// Screen names, as FormChiamante and the navigator know them: each is written
// once, beside its screen's factory; these are what the shell calls them.
namespace ScreenName {
inline const QString Menu = QStringLiteral("fmenù");
inline const QString Risultati = FRisultati::name();
inline const QString Espositivo = sequencescreens::Espositivo;
inline const QString Sequenze = sequencescreens::Sequenze;
inline const QString TrovaSeq = narrativescreens::TrovaSeq;
inline const QString Genette = narrativescreens::Genette;
inline const QString Poesia1 = poetryscreens::Poesia1;
inline const QString Poesia2 = poetryscreens::Poesia2;
inline const QString Metafore = poetryscreens::Metafore;
} // namespace ScreenName

} // namespace morvello
