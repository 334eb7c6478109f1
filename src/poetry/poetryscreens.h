#pragma once
#include <QString>

namespace morvello {

class Screen;
struct ScreenEnv;

// The poetry screens, by the names FormChiamante knows them.
namespace poetryscreens {
inline const QString Metafore = QStringLiteral("FMetafore");

Screen *createMetafore(const ScreenEnv &env);
} // namespace poetryscreens

} // namespace morvello
