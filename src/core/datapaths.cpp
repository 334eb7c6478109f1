#include "datapaths.h"

#include <QDir>
#include <QFileInfo>

namespace morvello {

QString resolveDataPath(const QString &windowsPath, const QString &baseDir)
{
    QString p = windowsPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));

    QString current;
    QString rest = p;
    if (QDir::isAbsolutePath(p)) {
        current = QStringLiteral("/");
        rest = p.mid(1);
    } else {
        current = baseDir.isEmpty() ? QDir::currentPath() : baseDir;
    }

    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    bool matching = true;
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            current = QDir::cleanPath(current + QStringLiteral("/.."));
            continue;
        }
        QString chosen = part;
        if (matching) {
            QDir dir(current);
            if (!QFileInfo::exists(dir.filePath(part))) {
                // Exact name missing: look for one that differs only in case.
                const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
                bool found = false;
                for (const QString &e : entries) {
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        chosen = e;
                        found = true;
                        break;
                    }
                }
                if (!found)
                    matching = false;
            }
        }
        current = QDir(current).filePath(chosen);
    }
    return QDir::cleanPath(current);
}

bool dataPathExists(const QString &windowsPath, const QString &baseDir)
{
    return QFileInfo::exists(resolveDataPath(windowsPath, baseDir));
}

} // namespace morvello
