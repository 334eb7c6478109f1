#include "contentsync.h"

#include "core/datapaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

namespace morvello {

InstallLayout installLayoutFor(const QString &launcherDir)
{
    const QString root = QDir::cleanPath(launcherDir + QStringLiteral("/.."));
    return {root + QStringLiteral("/lib/morvello/morvello"), root + QStringLiteral("/share/morvello/permorvello")};
}

QStringList dataHomes(const QProcessEnvironment &env)
{
    QStringList homes;
    const QString home = env.value(QStringLiteral("HOME"));
    const QString chosen = env.value(QStringLiteral("MORVELLO_DIR"));
    if (QDir::isAbsolutePath(chosen))
        homes << QDir::cleanPath(chosen);
    else if (!chosen.isEmpty())
        homes << QDir::cleanPath((home.isEmpty() ? QDir::currentPath() : home) + QLatin1Char('/') + chosen);
    const QString xdg = env.value(QStringLiteral("XDG_DATA_HOME"));
    if (QDir::isAbsolutePath(xdg))
        homes << QDir::cleanPath(xdg + QStringLiteral("/morvello"));
    else if (QDir::isAbsolutePath(home))
        homes << QDir::cleanPath(home + QStringLiteral("/.local/share/morvello"));
    homes.removeDuplicates();
    return homes;
}

bool isPupilData(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName().toLower();
    for (const QString &archive : {QStringLiteral("testi1.mdb"), QStringLiteral("exporttesti.mdb")}) {
        if (name == archive || name.startsWith(archive + QLatin1Char('-')))
            return true;
    }
    return false;
}

SyncEntry::Outcome SyncReport::outcomeOf(const QString &path) const
{
    for (const SyncEntry &e : entries) {
        if (e.path == path)
            return e.outcome;
    }
    return SyncEntry::Failed;
}

namespace {

// Hex SHA-256 of a file, empty when it cannot be read.
QByteArray checksumOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&f))
        return {};
    return hash.result().toHex();
}

// "checksum<TAB>path" a line. A damaged record only loses entries, and a lost
// entry makes a file count as the teacher's: kept, never overwritten.
QMap<QString, QByteArray> readRecord(const QString &path)
{
    QMap<QString, QByteArray> record;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return record;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        const int tab = line.indexOf('\t');
        if (tab != 64)
            continue;
        record.insert(QString::fromUtf8(line.mid(tab + 1)), line.left(tab));
    }
    return record;
}

bool writeRecord(const QString &path, const QMap<QString, QByteArray> &record)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (auto it = record.cbegin(); it != record.cend(); ++it)
        f.write(it.value() + '\t' + it.key().toUtf8() + '\n');
    return f.commit();
}

// Whole or nothing: a full disk leaves the earlier file in place.
QString copyWhole(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        return QStringLiteral("impossibile creare la cartella");
    if (QFileInfo(to).isDir())
        return QStringLiteral("al suo posto c'è una cartella");
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return in.errorString();
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return out.errorString();
    }
    if (!out.commit())
        return out.errorString();
    return {};
}

} // namespace

SyncReport syncShippedContent(const QString &shippedContent, const QString &dataHome)
{
    SyncReport report;
    const QDir shipped(shippedContent);
    if (!shipped.exists()) {
        report.errors << QStringLiteral("Manca il contenuto del programma nella cartella \"%1\": "
                                        "gli esercizi potrebbero non funzionare. Occorre reinstallare il pacchetto.")
                             .arg(QDir::toNativeSeparators(shippedContent));
    }

    QString dataDir = resolveDataPath(dataFolderName(), dataHome);
    if (!QFileInfo(dataDir).isDir() && !QDir().mkpath(dataDir)) {
        report.errors << QStringLiteral("Impossibile creare la cartella dei dati \"%1\".").arg(QDir::toNativeSeparators(dataDir));
        return report;
    }
    if (!shipped.exists())
        return report;

    const QString recordPath = QDir(dataHome).filePath(copyRecordName());
    QMap<QString, QByteArray> record = readRecord(recordPath);
    const QMap<QString, QByteArray> before = record;

    QStringList files;
    QDirIterator it(shippedContent, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << shipped.relativeFilePath(it.next());
    files.sort();

    for (const QString &rel : files) {
        if (isPupilData(rel)) {
            report.entries.append({rel, SyncEntry::Skipped});
            continue;
        }
        const QString from = shipped.filePath(rel);
        const QByteArray shippedSum = checksumOf(from);
        // The program reads its files ignoring letter case, so must we.
        const QString to = resolveDataPath(dataFolderName() + QLatin1Char('/') + rel, dataHome);
        SyncEntry::Outcome outcome;
        if (!QFileInfo::exists(to)) {
            outcome = SyncEntry::Copied;
        } else {
            const QByteArray present = checksumOf(to);
            if (!present.isEmpty() && present == shippedSum) {
                record.insert(rel, shippedSum);
                report.entries.append({rel, SyncEntry::Current});
                continue;
            }
            if (present.isEmpty() || record.value(rel) != present) {
                report.entries.append({rel, SyncEntry::KeptChanged});
                continue;
            }
            outcome = SyncEntry::Updated;
        }
        const QString trouble = shippedSum.isEmpty() ? QStringLiteral("il file installato non si legge") : copyWhole(from, to);
        if (!trouble.isEmpty()) {
            report.errors << QStringLiteral("Impossibile copiare \"%1\" in \"%2\": %3.")
                                 .arg(rel, QDir::toNativeSeparators(to), trouble);
            report.entries.append({rel, SyncEntry::Failed});
            continue;
        }
        record.insert(rel, shippedSum);
        report.entries.append({rel, outcome});
    }

    if (record != before && !writeRecord(recordPath, record)) {
        report.errors << QStringLiteral("Impossibile aggiornare l'elenco dei file copiati \"%1\": "
                                        "alla prossima partenza i file copiati ora saranno trattati come modificati "
                                        "dall'insegnante e non verranno aggiornati.")
                             .arg(QDir::toNativeSeparators(recordPath));
    }
    return report;
}

} // namespace morvello
