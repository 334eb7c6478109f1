#include "removabledrive.h"

#include "core/datapaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace morvello {

#ifndef Q_OS_WIN
static QString userName()
{
    QString user = qEnvironmentVariable("USER");
#ifdef Q_OS_UNIX
    if (user.isEmpty()) {
        if (const passwd *pw = getpwuid(geteuid()))
            user = QString::fromLocal8Bit(pw->pw_name);
    }
#endif
    return user;
}

// A medium the desktop mounted for the user, that the program may write on.
static bool isWritableMedium(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.isDir() || !fi.isWritable())
        return false;
    const QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady() || storage.isReadOnly())
        return false;
    // Only the mount point itself: a plain folder under /media is no medium.
    return QDir::cleanPath(storage.rootPath()) == QDir::cleanPath(fi.absoluteFilePath());
}
#endif

QString SystemRemovableDrive::rootFolder() const
{
#ifdef Q_OS_WIN
    return QStringLiteral("A:/");
#else
    const QString user = userName();
    if (user.isEmpty())
        return QString();
    const QStringList parents = {QStringLiteral("/media/") + user, QStringLiteral("/run/media/") + user};
    for (const QString &parent : parents) {
        const QDir dir(parent);
        const QStringList media = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &m : media) {
            const QString candidate = dir.filePath(m);
            if (isWritableMedium(candidate))
                return candidate;
        }
    }
    return QString();
#endif
}

QString removabledrive::resolve(const QString &windowsPath, const RemovableDrive *drive)
{
    QString p = windowsPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.size() < 2 || p[0].toUpper() != QLatin1Char('A') || p[1] != QLatin1Char(':'))
        return QString();
    const QString root = drive ? QDir::cleanPath(drive->rootFolder()) : QString();
    if (root.isEmpty() || root == QLatin1String("."))
        return QString();
    QString rest = p.mid(2);
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    // Names on a floppy do not count letter case; the folder may be missing
    // (no disk), and then the name is kept as written.
    return resolveDataPath(rest, root);
}

} // namespace morvello
