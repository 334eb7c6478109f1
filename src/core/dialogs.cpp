// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

namespace morvello {

QString programTitle()
{
    return QStringLiteral("Morvello");
}

} // namespace morvello
