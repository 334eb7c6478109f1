#pragma once
#include "core/services.h"

#include <QString>

namespace morvello {

// The floppy drive "A:" the export writes to. On Windows it is the drive
// itself; elsewhere the first writable removable medium mounted under
// /media/<user>/ or /run/media/<user>/.
class SystemRemovableDrive : public RemovableDrive
{
public:
    QString rootFolder() const override;
};

namespace removabledrive {

// A path on the drive written the Windows way ("A:\exporttesti.mdb",
// "a:\exporttesti.mdb": drive letter and names in any case). Empty when there
// is no drive or the path is not on drive A:.
QString resolve(const QString &windowsPath, const RemovableDrive *drive);

} // namespace removabledrive
} // namespace morvello
