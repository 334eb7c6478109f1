// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace morvello {

class Screen;
struct ScreenEnv;

// The poetry screens, by the names FormChiamante knows them.
namespace poetryscreens {
inline const QString Poesia1 = QStringLiteral("Fpoesia1");
inline const QString Poesia2 = QStringLiteral("Fpoesia2");

Screen *createPoesia1(const ScreenEnv &env);
Screen *createPoesia2(const ScreenEnv &env);

inline const QString Metafore = QStringLiteral("FMetafore");

Screen *createMetafore(const ScreenEnv &env);
} // namespace poetryscreens

} // namespace morvello
