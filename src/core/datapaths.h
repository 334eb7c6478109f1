#pragma once
#include <QString>

namespace morvello {

// Data files are named Windows-style ("permorvello\genette\voce1.rtf",
// "Permorvello\testi1.mdb"): backslashes separate, letter case does not count.
// These resolve such a name against a base folder (the working directory by
// default) on a case-sensitive file system.

// The path of an existing file or folder whose name matches, component by
// component, ignoring case; where no component matches, the name as written
// is kept, so the result can be used to create the file.
QString resolveDataPath(const QString &windowsPath, const QString &baseDir = QString());

// True when the resolved path exists.
bool dataPathExists(const QString &windowsPath, const QString &baseDir = QString());

// The data folder's name as the program writes it.
inline QString dataFolderName() { return QStringLiteral("permorvello"); }

} // namespace morvello
