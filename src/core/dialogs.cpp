#include "dialogs.h"

namespace morvello {

QString programTitle()
{
    return QStringLiteral("Morvello");
}

} // namespace morvello
