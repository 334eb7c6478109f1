#include "services.h"

#include "datapaths.h"

namespace morvello {

QString Services::dataPath(const QString &windowsPath) const
{
    return resolveDataPath(windowsPath, baseDir);
}

QDateTime Services::now() const
{
    return clock ? clock->now() : QDateTime::currentDateTime();
}

void Services::tell(const QString &text) const
{
    if (dialogs)
        dialogs->message(text);
    else
        qWarning("%s", qPrintable(text));
}

void Services::showGuide() const
{
    if (dialogs)
        dialogs->showGuide(dataPath(QStringLiteral("permorvello")));
}

} // namespace morvello
