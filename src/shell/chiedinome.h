// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace morvello {

struct Session;
struct Services;

// The name entry: asks for surname and first name and sets NomeStudente to
// the normalised answer, or to "Ospite" when nothing was typed, nothing
// visible was typed (spaces only) or the box was cancelled.
void ChiediNome(Session &session, const Services &services);

// What the name entry makes of one answer (nullopt-free form for tests).
QString nomeDaRisposta(const QString &answer, bool cancelled);

inline QString promptNome() { return QStringLiteral("Scrivi qui PRIMA il COGNOME, poi il tuo Nome"); }
inline QString nomeOspite() { return QStringLiteral("Ospite"); }

} // namespace morvello
