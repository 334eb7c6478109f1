// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Factories of the narrative activity screens, one per screen, for the
// shell's activity registry.

namespace morvello {
struct ScreenEnv;
class Screen;

namespace narrativescreens {
// "Individuare sequenze...": colouring the sequences of a story.
inline const QString TrovaSeq = QStringLiteral("FtrovaSEQ");
Screen *createTrovaSeq(const ScreenEnv &env);
// The narrative-concepts screen, by the name FormChiamante knows it.
inline const QString Genette = QStringLiteral("FGenette");
Screen *createGenette(const ScreenEnv &env);
} // namespace narrativescreens

} // namespace morvello
