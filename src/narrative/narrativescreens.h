#pragma once
#include <QString>

namespace morvello {

class Screen;
struct ScreenEnv;

// The narrative-analysis screens, by the names FormChiamante knows them.
namespace narrativescreens {
inline const QString Genette = QStringLiteral("FGenette");

Screen *createGenette(const ScreenEnv &env);
} // namespace narrativescreens

} // namespace morvello
