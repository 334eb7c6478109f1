#pragma once
#include <QString>

// Factories of the narrative activity screens, one per screen, for the
// shell's activity registry.

namespace morvello {
struct ScreenEnv;
class Screen;

namespace narrativescreens {
// The narrative-concepts screen, by the name FormChiamante knows it.
inline const QString Genette = QStringLiteral("FGenette");
Screen *createGenette(const ScreenEnv &env);
} // namespace narrativescreens

} // namespace morvello
