#pragma once
#include <QString>

namespace morvello {

// The floppy drive "A:" the export writes to. On Windows it is the drive
// itself. Elsewhere "A:\" stands for the folder named by the environment
// variable MORVELLO_DRIVE_A when it is set (whether or not a disk is in it,
// that is whether or not the folder exists), otherwise for the first writable
// removable medium mounted under /media/<user>/ or /run/media/<user>/.
namespace removabledrive {

// Folder that plays "A:\"; empty when there is no drive at all.
QString rootFolder();

// A path on the drive written the Windows way ("A:\exporttesti.mdb",
// "a:\exporttesti.mdb": drive letter and names in any case). Empty when there
// is no drive or the path is not on drive A:.
QString resolve(const QString &windowsPath);

} // namespace removabledrive
} // namespace morvello
