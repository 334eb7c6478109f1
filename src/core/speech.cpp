// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech.h"

namespace morvello {

NoSpeech::NoSpeech(const QString &why, QObject *parent)
    : Speech(parent),
      m_why(why.isEmpty() ? QStringLiteral("La lettura ad alta voce non è disponibile su questo computer.") : why)
{
}

} // namespace morvello
