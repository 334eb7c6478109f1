// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace morvello {

class Screen;
struct ScreenEnv;

// The two sequence-type screens, by the names FormChiamante knows them.
namespace sequencescreens {
inline const QString Espositivo = QStringLiteral("Fespositivo");
inline const QString Sequenze = QStringLiteral("Fsequenze");

Screen *createEspositivo(const ScreenEnv &env);
Screen *createSequenze(const ScreenEnv &env);
} // namespace sequencescreens

} // namespace morvello
