#include "appcontext.h"

#include "database.h"
#include "datapaths.h"

namespace morvello {

void AppContext::closeDatabaseAndEnd()
{
    if (dbTesti)
        dbTesti->close();
    endProgram();
}

QString AppContext::dataPath(const QString &windowsPath) const
{
    return resolveDataPath(windowsPath, baseDir);
}

} // namespace morvello
