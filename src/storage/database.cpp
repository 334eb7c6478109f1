// SPDX-License-Identifier: GPL-3.0-or-later
#include "database.h"

#include "serverconfig.h"

#include "core/datapaths.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTime>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvello {

namespace {

// Numbers of the old engine for the few failures dberror.h does not name.
constexpr int kDiskIo = 3043;
constexpr int kAlreadyExists = 3204;

constexpr int kDefaultBusyTimeoutMs = 5000;

void setError(DbError *error, int number, const QString &message)
{
    if (error)
        *error = DbError::make(number, message);
}

void clearError(DbError *error)
{
    if (error)
        *error = DbError{};
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("morvello-db-%1").arg(++counter);
}

sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}

// SQLite URI of an existing file, opened read-write and never created.
// Percent-encoding keeps '?', '#', '%' and non-ASCII letters of a path intact.
QString uriFor(const QString &absolutePath, bool readOnly)
{
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(absolutePath, "/"))
        + (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

// The file's header says it runs with a write-ahead log (bytes 18 and 19).
bool headerSaysLog(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(20);
    return head.size() == 20 && head.startsWith(QByteArrayLiteral("SQLite format 3")) && head.at(18) == 2;
}

// Names compare as people read them: "OSPITE" = "Ospite", "ÈLIA" = "èlia".
int compareNoCase(void *, int len1, const void *p1, int len2, const void *p2)
{
    const QStringView a(static_cast<const QChar *>(p1), len1 / 2);
    const QStringView b(static_cast<const QChar *>(p2), len2 / 2);
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Values are stored as SQLite's own types: whole numbers as integers,
// date-times as "yyyy-MM-dd HH:mm:ss" text (what SQLite's date functions and
// a teacher's desktop tools read).
QVariant forStorage(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QVariant(v.toLongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        return QVariant(v.toDouble());
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return v;
    default:
        return QVariant(v.toString());
    }
}

int digitsAt(const QString &s, int from, int count, bool *ok)
{
    int n = 0;
    for (int i = from; i < from + count; ++i) {
        const ushort c = s.at(i).unicode();
        if (c < '0' || c > '9') {
            *ok = false;
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

// "yyyy-MM-dd HH:mm:ss" (or with 'T'), optionally with milliseconds, as a
// local date-time; anything else is not a date-time.
QDateTime parseStoredDateTime(const QString &s)
{
    if (s.size() < 19)
        return {};
    const QChar sep = s.at(10);
    if (s.at(4) != QLatin1Char('-') || s.at(7) != QLatin1Char('-')
        || (sep != QLatin1Char(' ') && sep != QLatin1Char('T')) || s.at(13) != QLatin1Char(':')
        || s.at(16) != QLatin1Char(':'))
        return {};
    bool ok = true;
    const int y = digitsAt(s, 0, 4, &ok);
    const int mo = digitsAt(s, 5, 2, &ok);
    const int d = digitsAt(s, 8, 2, &ok);
    const int h = digitsAt(s, 11, 2, &ok);
    const int mi = digitsAt(s, 14, 2, &ok);
    const int se = digitsAt(s, 17, 2, &ok);
    int ms = 0;
    if (s.size() > 19) {
        if (s.at(19) != QLatin1Char('.') || s.size() < 21 || s.size() > 23)
            return {};
        const QString frac = s.mid(20);
        ms = digitsAt(frac, 0, frac.size(), &ok);
        for (int i = frac.size(); i < 3; ++i)
            ms *= 10;
    }
    if (!ok)
        return {};
    const QDate date(y, mo, d);
    const QTime time(h, mi, se, ms);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

void syncDirectory(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

const char *const kCompanions[] = {"-wal", "-shm", "-journal"};

void removeWithCompanions(const QString &path)
{
    QFile::remove(path);
    for (const char *suffix : kCompanions)
        QFile::remove(path + QLatin1String(suffix));
}

bool logInUse(const QString &databasePath);

// After an open that was refused: the log and its index that the engine
// made beside the file while reading it go again (nothing was written
// through them). Never a journal, nor anything while another program holds
// the file: those may be its live ones.
void removeCompanionsMadeSince(const QString &path, const QVector<bool> &before, const DbError *error)
{
    if ((error && error->number == DbErrorCode::Locked) || logInUse(path))
        return;
    int i = 0;
    for (const char *suffix : kCompanions) {
        if (!before.value(i++) && qstrcmp(suffix, "-journal") != 0)
            QFile::remove(path + QLatin1String(suffix));
    }
}

// Which of the files the engine keeps beside a database exist now.
QVector<bool> companionsPresent(const QString &path)
{
    QVector<bool> present;
    for (const char *suffix : kCompanions)
        present << QFileInfo::exists(path + QLatin1String(suffix));
    return present;
}


// A symbolic link that leads nowhere (to itself, round in a loop, or to a
// file that is not there): the reason, or empty.
QString linkTrouble(const QString &path)
{
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return {};
    if (::stat(native.constData(), &st) == 0)
        return {};
    if (errno == ELOOP)
        return QStringLiteral("\"%1\" è un collegamento che rimanda a se stesso (un giro senza fine) invece che a un "
                              "file: eliminare il collegamento, o farlo puntare all'archivio giusto, e riprovare.")
            .arg(shown(path));
    return QStringLiteral("\"%1\" è un collegamento a un file che non esiste: eliminare il collegamento, o farlo "
                          "puntare all'archivio giusto, e riprovare.")
        .arg(shown(path));
}

// A path that leads to something other than a plain file or folder (a
// pipe, a device, a socket): opening it for reading can wait for ever, so
// it is named and refused at once. Empty when it is a plain file, a folder
// or not there.
QString notARegularFile(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
        return {};
    return QStringLiteral("\"%1\" non è un file normale ma %2: il programma non può usarlo come archivio. Mettere al "
                          "suo posto il file giusto e riprovare.")
        .arg(shown(path), S_ISFIFO(st.st_mode) ? QStringLiteral("una pipe (FIFO)")
                          : S_ISSOCK(st.st_mode) ? QStringLiteral("un socket")
                                                 : QStringLiteral("un dispositivo"));
}

bool writable(const QString &path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

bool diskFullErrno(int err)
{
    return err == ENOSPC || err == EFBIG
#ifdef EDQUOT
           || err == EDQUOT
#endif
        ;
}

// Another program has the file open in write-ahead mode: it holds a read
// lock on the index file beside it, and the log is its live one.
bool logInUse(const QString &databasePath)
{
    const int fd = ::open(QFile::encodeName(databasePath + QStringLiteral("-shm")).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 128; // the byte every connection of the engine holds while it uses the log
    lock.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// Files this process has open through a connection of ours: what lies
// beside them is that connection's own business, never a left-over.
QMutex &openFilesMutex()
{
    static QMutex m;
    return m;
}
QHash<QString, int> &openFiles()
{
    static QHash<QString, int> files;
    return files;
}
void noteOpen(const QString &path, int delta)
{
    QMutexLocker lock(&openFilesMutex());
    const int n = openFiles().value(path) + delta;
    if (n > 0)
        openFiles().insert(path, n);
    else
        openFiles().remove(path);
}

// Another program is writing the file: it holds the engine's "reserved"
// lock byte (the journal beside the file is then its live one), or a
// connection of this process has the file open.
bool heldByAnotherProgram(const QString &databasePath)
{
    {
        QMutexLocker lock(&openFilesMutex());
        if (openFiles().contains(databasePath))
            return true;
    }
    const int fd = ::open(QFile::encodeName(databasePath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0x40000001; // the engine's reserved-lock byte, just past its pending byte
    probe.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

quint32 bigEndian32(const QByteArray &data, qint64 at)
{
    if (at < 0 || at + 4 > data.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + at);
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

// The few fields of a database header (its page 1) that tell one file, and
// one moment of it, from another.
struct HeaderMarks {
    bool valid = false;
    quint32 changeCounter = 0; // bytes 24-27: grows by one at every write transaction
    quint32 pageCount = 0;     // bytes 28-31
    quint32 archiveId = 0;     // bytes 68-71, the "application id": random per archive, 0 when none
};

HeaderMarks marksOf(const QByteArray &page1)
{
    HeaderMarks m;
    if (page1.size() < 100 || !page1.startsWith(QByteArrayLiteral("SQLite format 3")))
        return m;
    m.valid = true;
    m.changeCounter = bigEndian32(page1, 24);
    m.pageCount = bigEndian32(page1, 28);
    m.archiveId = bigEndian32(page1, 68);
    return m;
}

// A rollback journal as the engine writes it: headers of one sector each,
// every one followed by its records (page number, the page as it was before
// the transaction, a checksum). Returns the journal's copy of page 1, empty
// when it holds none.
QByteArray journalPage1(const QString &journal, bool *holdsRecords)
{
    *holdsRecords = false;
    QFile f(journal);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray magic = QByteArray::fromHex("d9d505f920a163d7");
    const qint64 size = f.size();
    qint64 header = 0;
    quint32 sector = 0;
    while (header + 28 <= size) {
        f.seek(header);
        const QByteArray head = f.read(28);
        if (!head.startsWith(magic))
            break;
        quint32 records = bigEndian32(head, 8);
        const quint32 headerSector = bigEndian32(head, 20);
        const quint32 pageSize = bigEndian32(head, 24);
        if (sector == 0)
            sector = headerSector;
        if (sector < 32 || sector > 65536 || (sector & (sector - 1)) || pageSize < 512 || pageSize > 65536
            || (pageSize & (pageSize - 1)))
            break;
        const qint64 recordSize = qint64(pageSize) + 8;
        qint64 at = header + sector;
        // 0xffffffff: the records run to the end of the file.
        if (records == 0xffffffffu)
            records = quint32(qMax<qint64>(0, (size - at) / recordSize));
        for (quint32 i = 0; i < records && at + recordSize <= size; ++i, at += recordSize) {
            *holdsRecords = true;
            f.seek(at);
            const QByteArray number = f.read(4);
            if (bigEndian32(number, 0) == 1)
                return f.read(pageSize);
        }
        if (records == 0)
            break;
        // The next header starts on the next sector boundary.
        header = ((at + sector - 1) / sector) * sector;
    }
    return {};
}

// A name beside `path` for a file moved aside today, not yet taken.
QString asideName(const QString &path)
{
    const QString base = path + QLatin1Char('.') + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

} // namespace

// ---------------------------------------------------------------- Database

Database::~Database()
{
    close();
}

std::unique_ptr<Database> Database::open(const QString &path, DbError *error)
{
    clearError(error);
    const QString real = resolveDataPath(path);
    const QFileInfo fi(real);
    const QString link = linkTrouble(real);
    if (!link.isEmpty()) {
        setError(error, DbErrorCode::CannotOpen, link);
        return nullptr;
    }
    if (!fi.exists()) {
        setError(error, DbErrorCode::FileNotFound, QStringLiteral("Il file \"%1\" non esiste.").arg(shown(real)));
        return nullptr;
    }
    if (fi.isDir()) {
        setError(error, DbErrorCode::CannotOpen,
                 QStringLiteral("\"%1\" è una cartella, non un archivio di dati.").arg(shown(real)));
        return nullptr;
    }
    const QString irregular = notARegularFile(real);
    if (!irregular.isEmpty()) {
        setError(error, DbErrorCode::CannotOpen, irregular);
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database);
    // The engine keeps its journal and log beside the real file, not beside
    // a link to it: every look for them, and the open, go by the real path.
    db->m_path = fi.canonicalFilePath();
    const QFileInfo target(db->m_path);
    // Refused before the engine touches anything, so that nothing is left
    // beside the file that would spoil the next start.
    if (!writable(db->m_path)) {
        setError(error, DbErrorCode::ReadOnly,
                 QStringLiteral("Il file \"%1\" è di sola lettura: il programma non può salvarvi nulla. Togliere la "
                                "protezione dalla scrittura dalle proprietà del file e riprovare.")
                     .arg(shown(db->m_path)));
        return nullptr;
    }
    if (!writable(target.absolutePath())) {
        setError(error, DbErrorCode::ReadOnly,
                 QStringLiteral("La cartella \"%1\" è di sola lettura: il programma non può salvare i risultati nel "
                                "file \"%2\", che ha bisogno di scrivere accanto a sé mentre salva. Rendere "
                                "scrivibile la cartella e riprovare.")
                     .arg(shown(target.absolutePath()), target.fileName()));
        return nullptr;
    }
    const QVector<bool> before = companionsPresent(db->m_path);
    if (!db->judgeLeftOverJournal(error) || !db->foldLeftOverLog(error)) {
        removeCompanionsMadeSince(db->m_path, before, error);
        return nullptr;
    }
    db->m_connectionName = nextConnectionName();
    DbError refused;
    if (!db->connect(QStringLiteral("l'apertura"), &refused)) {
        removeCompanionsMadeSince(db->m_path, before, &refused);
        if (error)
            *error = refused;
        return nullptr;
    }
    return db;
}

std::unique_ptr<Database> Database::openForReading(const QString &path, DbError *error)
{
    clearError(error);
    const QString real = resolveDataPath(path);
    const QFileInfo fi(real);
    const QString irregular = notARegularFile(real);
    if (!irregular.isEmpty()) {
        setError(error, DbErrorCode::CannotOpen, irregular);
        return nullptr;
    }
    if (!fi.isFile()) {
        setError(error, DbErrorCode::FileNotFound, QStringLiteral("Il file \"%1\" non esiste.").arg(shown(real)));
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database);
    db->m_path = fi.canonicalFilePath();
    db->m_readOnly = true;
    db->m_connectionName = nextConnectionName();
    if (!db->connect(QStringLiteral("la lettura"), error))
        return nullptr;
    return db;
}

// Before the engine opens a file it applies any "hot" journal it finds
// beside it, whoever's it is: a journal left by a save of this file that was
// cut short must be applied (it undoes the half-written save), one that
// belongs to another file, or to this file at another moment (a backup put
// back, another computer's archive copied over it), would damage the file.
// The journal's own copy of page 1 tells which: it is the file's header as
// it was when that save began.
bool Database::judgeLeftOverJournal(DbError *error)
{
    const QString journal = m_path + QStringLiteral("-journal");
    const QFileInfo ji(journal);
    // What the engine would not apply is left to it: no journal, an empty
    // one, one with a blank header, a journal beside an empty file, or the
    // live journal of a program writing the file right now.
    if (!ji.exists() || ji.size() == 0 || QFileInfo(m_path).size() == 0 || heldByAnotherProgram(m_path))
        return true;
    {
        QFile f(journal);
        char first = 0;
        if (!f.open(QIODevice::ReadOnly) || !f.getChar(&first) || first == 0)
            return true;
    }
    QByteArray fileHead;
    {
        QFile f(m_path);
        if (f.open(QIODevice::ReadOnly))
            fileHead = f.read(100);
    }
    bool holdsRecords = false;
    const HeaderMarks was = marksOf(journalPage1(journal, &holdsRecords));
    const HeaderMarks now = marksOf(fileHead);

    enum class Verdict { Own, Foreign, Doubt } verdict = Verdict::Doubt;
    QString why;
    if (was.valid && now.valid) {
        // A save changes the counter only when it writes page 1, by one; until
        // then page 1 on the disk is the journal's copy.
        const bool sameMoment = now.changeCounter == was.changeCounter + 1
                                || (now.changeCounter == was.changeCounter && now.pageCount == was.pageCount);
        if (was.archiveId != 0 && was.archiveId != now.archiveId) {
            verdict = Verdict::Foreign;
            why = QStringLiteral("è di un altro archivio (per esempio quello di un altro computer, copiato al suo posto)");
        } else if (!sameMoment) {
            verdict = Verdict::Foreign;
            why = was.archiveId != 0
                      ? QStringLiteral("l'archivio è stato sostituito con una sua copia di un altro momento (per "
                                       "esempio una copia di riserva rimessa al suo posto)")
                      : QStringLiteral("è di un altro file, o di questo in un altro momento (per esempio prima che "
                                       "vi fosse rimessa una copia di riserva)");
        } else if (was.archiveId != 0) {
            verdict = Verdict::Own;
        }
        // Without an archive id (a file of an earlier version, an export
        // file, or the save that gives the id) counter and size agree but do
        // not prove it: the trial below decides.
    } else if (!holdsRecords) {
        return true; // nothing in it that the engine would write back
    }

    if (verdict == Verdict::Doubt) {
        // The engine applies it to a copy; only a copy that comes out whole
        // proves it belongs here.
        QTemporaryDir scratch;
        const QString copy = scratch.filePath(QStringLiteral("prova.mdb"));
        if (!scratch.isValid() || !QFile::copy(m_path, copy) || !QFile::copy(journal, copy + QStringLiteral("-journal"))) {
            // Gone meanwhile: it was the live journal of a save that has
            // just ended.
            if (!QFileInfo::exists(journal))
                return true;
            setError(error, DbErrorCode::DiskFull,
                     QStringLiteral("Accanto all'archivio \"%1\" c'è il giornale di un salvataggio interrotto, ma non "
                                    "c'è spazio sul disco per controllarlo prima di usarlo: liberare spazio sul disco e "
                                    "riprovare.")
                         .arg(shown(m_path)));
            return false;
        }
        Database trial;
        trial.m_path = copy;
        trial.m_connectionName = nextConnectionName();
        const bool sound = trial.connect(QStringLiteral("il controllo"), nullptr) && trial.checkIntegrity();
        trial.close();
        if (sound)
            return true;
        why = QStringLiteral("applicato a una copia dell'archivio, la rovinerebbe");
    }
    if (verdict == Verdict::Own)
        return true; // the engine applies it when it opens the file

    const QString aside = setAside(journal);
    if (aside.isEmpty()) {
        setError(error, DbErrorCode::CannotOpen,
                 QStringLiteral("Accanto all'archivio \"%1\" c'è il giornale di un salvataggio interrotto (\"%2\") che "
                                "non appartiene all'archivio e non si può spostare: spostarlo in un'altra cartella e "
                                "riprovare.")
                     .arg(shown(m_path), ji.fileName()));
        return false;
    }
    m_notices << QStringLiteral("Accanto all'archivio \"%1\" c'era il giornale di un salvataggio interrotto che non "
                                "appartiene a questo file: %2. Il giornale non è stato applicato: è stato messo da parte "
                                "come \"%3\" e l'archivio è stato aperto così com'era. Se mancano risultati recenti, "
                                "conservare quel file e chiedere aiuto a chi cura i computer.")
                     .arg(shown(m_path), why, QFileInfo(aside).fileName());
    return true;
}

bool Database::foldLeftOverLog(DbError *error)
{
    const QString log = m_path + QStringLiteral("-wal");
    // A log shorter than its header holds no change; a log another program
    // is using is its live one.
    if (QFileInfo(log).size() <= 32 || logInUse(m_path) || heldByAnotherProgram(m_path))
        return true;

    // The engine would apply any log it finds, even one that belongs to a
    // file since deleted or replaced; so it is tried on a copy first.
    bool sound = false;
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("prova.mdb"));
    if (!scratch.isValid() || !QFile::copy(m_path, copy) || !QFile::copy(log, copy + QStringLiteral("-wal"))) {
        setError(error, DbErrorCode::DiskFull,
                 QStringLiteral("Accanto all'archivio \"%1\" c'è un registro di modifiche non ancora salvate, ma non "
                                "c'è spazio sul disco per controllarlo prima di usarlo: liberare spazio sul disco e "
                                "riprovare.")
                     .arg(shown(m_path)));
        return false;
    }
    // Only a file that itself runs with a log (one an earlier version left
    // after a run that was killed) can own one: beside a file with a
    // rollback journal a log is always another file's.
    if (QFileInfo(m_path).size() > 0 && headerSaysLog(m_path)) {
        Database trial;
        trial.m_path = copy;
        trial.m_connectionName = nextConnectionName();
        sound = trial.connect(QStringLiteral("il controllo"), nullptr) && trial.checkIntegrity();
        trial.close();
    }
    if (sound)
        return true; // the engine applies it to the file itself, as on the copy

    // The log and its index only: a journal beside the file is the file's
    // own, from a save that was cut short, and the engine needs it.
    QStringList moved;
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(m_path + suffix)) {
            const QString aside = setAside(m_path + suffix);
            if (!aside.isEmpty())
                moved << aside;
        }
    }
    if (QFileInfo::exists(log)) {
        setError(error, DbErrorCode::CannotOpen,
                 QStringLiteral("Accanto all'archivio \"%1\" c'è un registro di modifiche (\"%2\") che non corrisponde "
                                "all'archivio e non si può spostare: spostarlo in un'altra cartella e riprovare.")
                     .arg(shown(m_path), QFileInfo(log).fileName()));
        return false;
    }
    QStringList names;
    for (const QString &m : moved)
        names << QFileInfo(m).fileName();
    m_notices << QStringLiteral("Accanto all'archivio \"%1\" c'era un registro di modifiche che non corrisponde al "
                                "file (forse l'archivio è stato sostituito con una copia più vecchia o cancellato). "
                                "L'archivio è stato aperto così com'era e il registro è stato messo da parte come "
                                "\"%2\". Se mancano risultati recenti, conservare quel file e chiedere aiuto a chi "
                                "cura i computer.")
                     .arg(shown(m_path), names.join(QStringLiteral("\", \"")));
    return true;
}

QStringList Database::setAsideCompanions(const QString &path)
{
    QStringList moved;
    for (const char *suffix : kCompanions) {
        const QString file = path + QLatin1String(suffix);
        if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink())
            continue;
        const QString aside = setAside(file);
        if (!aside.isEmpty())
            moved << aside;
    }
    return moved;
}

QString Database::setAside(const QString &file)
{
    const QString aside = asideName(file);
    return QFile::rename(file, aside) ? aside : QString();
}

bool Database::connect(const QString &what, DbError *error)
{
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        c.setDatabaseName(uriFor(m_path, m_readOnly));
        c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kDefaultBusyTimeoutMs));
        if (!c.open()) {
            const QSqlError e = c.lastError();
            if (!QFileInfo::exists(m_path))
                setError(error, DbErrorCode::FileNotFound,
                         QStringLiteral("Il file \"%1\" non esiste.").arg(shown(m_path)));
            else if (error)
                *error = translate(what, e.nativeErrorCode().toInt(), e.databaseText());
            c = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            m_connectionName.clear();
            return false;
        }
    }
    auto fail = [this](const DbError &e, DbError *error) {
        if (error)
            *error = e;
        close();
        return false;
    };

    sqlite3 *h = handleOf(connection());
    if (!h)
        return fail(DbError::make(DbErrorCode::CannotOpen,
                                  QStringLiteral("Impossibile aprire il file \"%1\": il motore di database non è disponibile.")
                                      .arg(shown(m_path))),
                    error);
    sqlite3_create_collation_v2(h, legacyNameCollation().toUtf8().constData(), SQLITE_UTF16_ALIGNED, nullptr,
                                compareNoCase, nullptr);

    DbError e;
    {
        // Reading the schema is what tells a database from any other file.
        QSqlQuery q(connection());
        if (!prepare(q, QStringLiteral("SELECT count(*) FROM sqlite_master"), what, &e) || !run(q, what, &e))
            return fail(e, error);
    }
    if (m_readOnly)
        return registerOpen();
    if (sqlite3_db_readonly(h, "main") == 1)
        return fail(DbError::make(DbErrorCode::ReadOnly,
                                  QStringLiteral("Errore nell'archivio \"%1\" durante %2: il file è di sola lettura.")
                                      .arg(shown(m_path), what)),
                    error);
    {
        // Every commit reaches the disk before it returns.
        QSqlQuery q(connection());
        if (!prepare(q, QStringLiteral("PRAGMA synchronous=FULL"), what, &e) || !run(q, what, &e))
            return fail(e, error);
    }
    {
        // A rollback journal: between two saves the file alone holds
        // everything. A file in write-ahead mode (made by an earlier version)
        // is switched here, its log folded in; while another program still
        // uses it so, it stays as it is until the next start.
        QSqlQuery q(connection());
        if (!prepare(q, QStringLiteral("PRAGMA journal_mode=DELETE"), what, &e))
            return fail(e, error);
        if (!run(q, what, &e) && e.number != DbErrorCode::Locked)
            return fail(e, error);
    }
    return registerOpen();
}

bool Database::attach(const QString &file, const QString &schemaName, DbError *error)
{
    clearError(error);
    if (!isOpen()) {
        if (error)
            *error = notOpenError();
        return false;
    }
    if (m_server) {
        setError(error, DbErrorCode::CannotOpen,
                 QStringLiteral("Un file non può essere unito a un archivio sul server."));
        return false;
    }
    const QString real = QFileInfo(file).canonicalFilePath().isEmpty() ? QFileInfo(file).absoluteFilePath()
                                                                        : QFileInfo(file).canonicalFilePath();
    QSqlQuery q(connection());
    const QString what = QStringLiteral("l'apertura di \"%1\"").arg(shown(real));
    if (!prepare(q, QStringLiteral("ATTACH DATABASE ? AS \"%1\"").arg(schemaName), what, error))
        return false;
    q.bindValue(0, real);
    if (!run(q, what, error))
        return false;
    // While attached, its journal is this connection's live one.
    m_attached.insert(schemaName, real);
    noteOpen(real, +1);
    return true;
}

void Database::detach(const QString &schemaName)
{
    if (!m_attached.contains(schemaName))
        return;
    {
        QSqlQuery d(connection());
        d.exec(QStringLiteral("DETACH DATABASE \"%1\"").arg(schemaName));
    }
    noteOpen(m_attached.take(schemaName), -1);
}

bool Database::registerOpen()
{
    m_registered = true;
    noteOpen(m_path, +1);
    return true;
}

bool Database::create(const QString &path, const QStringList &statements, DbError *error)
{
    clearError(error);
    const QDateTime started = QDateTime::currentDateTimeUtc();
    QString real = QFileInfo(resolveDataPath(path)).absoluteFilePath();
    const QString link = linkTrouble(real);
    if (!link.isEmpty()) {
        setError(error, DbErrorCode::CannotOpen, link);
        return false;
    }
    // In the real folder, where the engine will look for its companions.
    const QString realDir = QFileInfo(QFileInfo(real).absolutePath()).canonicalFilePath();
    if (!realDir.isEmpty() && !QFileInfo(real).isSymLink())
        real = realDir + QLatin1Char('/') + QFileInfo(real).fileName();
    const QFileInfo fi(real);
    if (fi.exists() || fi.isSymLink()) {
        setError(error, kAlreadyExists, QStringLiteral("Il file \"%1\" esiste già.").arg(shown(real)));
        return false;
    }
    const QString dir = fi.absolutePath();
    if (!QFileInfo(dir).isDir()) {
        setError(error, DbErrorCode::FileNotFound, QStringLiteral("La cartella \"%1\" non esiste.").arg(shown(dir)));
        return false;
    }

    // The file is built under a temporary name and put in place only when
    // complete, so that an interrupted start never leaves half a database.
    const QString tmp = dir + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".nuovo-")
        + QUuid::createUuid().toString(QUuid::Id128).left(12);
    {
        QFile f(tmp);
        if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const int err = errno;
            const bool readOnly = err == EACCES || err == EROFS || err == EPERM;
            const bool full = diskFullErrno(err);
            setError(error,
                     full ? DbErrorCode::DiskFull : (readOnly ? DbErrorCode::ReadOnly : DbErrorCode::CannotOpen),
                     QStringLiteral("Impossibile creare il file \"%1\": %2.")
                         .arg(shown(real), full ? QStringLiteral("il disco è pieno; liberare spazio sul disco e riprovare")
                                                : (readOnly ? QStringLiteral("la cartella \"%1\" è di sola lettura; "
                                                                             "renderla scrivibile e riprovare")
                                                                  .arg(shown(dir))
                                                            : f.errorString())));
            return false;
        }
        f.close();
    }

    bool built = false;
    {
        Database db;
        db.m_path = tmp;
        db.m_connectionName = nextConnectionName();
        const QString what = QStringLiteral("la creazione");
        // Settings that cannot change inside a transaction (the journal
        // mode) come first and run on their own.
        QStringList settings;
        QStringList definitions;
        for (const QString &sql : statements)
            (sql.trimmed().startsWith(QLatin1String("PRAGMA"), Qt::CaseInsensitive) ? settings : definitions) << sql;
        bool ready = db.connect(what, error);
        for (const QString &sql : std::as_const(settings)) {
            if (ready)
                ready = db.exec(sql, {}, error);
        }
        if (ready && db.beginTransaction(error)) {
            built = true;
            for (const QString &sql : std::as_const(definitions)) {
                if (!db.exec(sql, {}, error)) {
                    built = false;
                    break;
                }
            }
            if (built)
                built = db.commit(error);
            else
                db.rollback();
        }
        db.close();
    }
    if (built) {
        // What a file of this name left behind would be applied to the new
        // one by the engine: it is put aside instead. Not what appeared
        // since this call began: that is the live journal of another copy
        // of the program that made the file a moment ago.
        if (!QFileInfo::exists(real)) {
            for (const char *suffix : kCompanions) {
                const QFileInfo stray(real + QLatin1String(suffix));
                if (stray.exists() && stray.lastModified().toUTC() < started.addSecs(-2))
                    setAside(stray.absoluteFilePath());
            }
        }
        // link() refuses to replace a file that appeared meanwhile.
        const QByteArray from = QFile::encodeName(tmp);
        const QByteArray to = QFile::encodeName(real);
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
        } else if (errno == EEXIST) {
            setError(error, kAlreadyExists, QStringLiteral("Il file \"%1\" esiste già.").arg(shown(real)));
            built = false;
        } else if (!QFile::rename(tmp, real)) { // file systems without hard links
            setError(error, DbErrorCode::CannotOpen,
                     QStringLiteral("Impossibile creare il file \"%1\".").arg(shown(real)));
            built = false;
        }
    } else if (error && error->message.contains(tmp)) {
        error->message.replace(shown(tmp), shown(real));
    }
    if (!built)
        removeWithCompanions(tmp);
    else
        syncDirectory(dir);
    return built;
}

bool Database::isOpen() const
{
    if (m_connectionName.isEmpty())
        return false;
    return QSqlDatabase::database(m_connectionName, false).isOpen();
}

void Database::close()
{
    if (m_connectionName.isEmpty())
        return;
    if (m_inTransaction)
        rollback();
    {
        QSqlDatabase c = QSqlDatabase::database(m_connectionName, false);
        if (c.isOpen())
            c.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
    m_inTransaction = false;
    if (m_registered) {
        m_registered = false;
        noteOpen(m_path, -1);
    }
    for (const QString &attached : std::as_const(m_attached))
        noteOpen(attached, -1);
    m_attached.clear();
}

QSqlDatabase Database::connection() const
{
    if (m_connectionName.isEmpty())
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

void Database::setBusyTimeout(int milliseconds)
{
    if (sqlite3 *h = handleOf(connection()))
        sqlite3_busy_timeout(h, milliseconds);
}

bool Database::serverDriverAvailable()
{
    return QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"));
}

bool Database::isConnectionLoss(const DbError &error)
{
    return error.number == DbErrorCode::ConnectionFailed;
}

std::unique_ptr<Database> Database::openServer(const ServerConfig &config, DbError *error)
{
    clearError(error);
    const QString shownName = config.shownName();
    if (!serverDriverAvailable()) {
        setError(error, DbErrorCode::CannotOpen,
                 QStringLiteral("Il server dei risultati \"%1\" non può essere usato: manca il collegamento a "
                                "PostgreSQL (il pacchetto libqt6sql6-psql). I risultati restano in questo computer.")
                     .arg(shownName));
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database);
    db->m_server = true;
    db->m_path = shownName;
    db->m_connectionName = nextConnectionName();
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), db->m_connectionName);
    if (!config.host.isEmpty())
        c.setHostName(config.host);
    c.setPort(config.port);
    if (!config.database.isEmpty())
        c.setDatabaseName(config.database);
    if (!config.role.isEmpty())
        c.setUserName(config.role);
    c.setConnectOptions(config.connectOptions());
    if (c.open())
        return db;
    // A refused connection has no state code: libpq's words tell why.
    const QString text = c.lastError().databaseText() + QLatin1Char(' ') + c.lastError().driverText();
    int number = DbErrorCode::ConnectionFailed;
    QString reason;
    if (text.contains(QLatin1String("password")) || text.contains(QLatin1String("authentication"))) {
        number = DbErrorCode::CannotOpen;
        reason = QStringLiteral("il server non ha accettato il nome o la password di questo computer "
                                "(la password va scritta nel file .pgpass)");
    } else if (text.contains(QLatin1String("database")) && text.contains(QLatin1String("does not exist"))) {
        number = DbErrorCode::CannotOpen;
        reason = QStringLiteral("sul server non esiste un archivio con questo nome");
    } else if (text.contains(QLatin1String("role")) && text.contains(QLatin1String("does not exist"))) {
        number = DbErrorCode::CannotOpen;
        reason = QStringLiteral("il server non conosce il nome con cui questo computer si presenta");
    } else if (text.contains(QLatin1String("SSL")) || text.contains(QLatin1String("certificate"))) {
        number = DbErrorCode::CannotOpen;
        reason = QStringLiteral("il collegamento protetto con il server non è riuscito (certificato o sslmode)");
    } else {
        reason = QStringLiteral("il server non risponde");
    }
    setError(error, number,
             QStringLiteral("Il server dei risultati \"%1\" non può essere usato: %2. "
                            "I risultati restano in questo computer.\nDettagli tecnici: %3")
                 .arg(shownName, reason, text.simplified()));
    c = QSqlDatabase();
    db->close();
    return nullptr;
}

DbError Database::translateServer(const QString &what, const QString &sqlState, const QString &driverText) const
{
    int number = DbErrorCode::Generic;
    QString reason;
    const QString cls = sqlState.left(2);
    if (sqlState.isEmpty() || cls == QLatin1String("08") || sqlState.startsWith(QLatin1String("57P"))) {
        // No answer at all, or the server going down under us.
        number = DbErrorCode::ConnectionFailed;
        reason = QStringLiteral("il collegamento con il server si è interrotto");
    } else if (sqlState == QLatin1String("23505")) {
        number = DbErrorCode::DuplicateKey;
        reason = QStringLiteral("esiste già una riga con lo stesso nome");
    } else if (sqlState == QLatin1String("42501")) {
        number = DbErrorCode::ReadOnly;
        reason = QStringLiteral("il server non concede a questo computer di farlo");
    } else if (sqlState == QLatin1String("25006")) {
        number = DbErrorCode::ReadOnly;
        reason = QStringLiteral("il server accetta solo letture (sola lettura)");
    } else if (sqlState == QLatin1String("42P01")) {
        number = DbErrorCode::TableNotFound;
        reason = QStringLiteral("tabella mancante (%1)").arg(driverText.simplified());
    } else if (sqlState == QLatin1String("42703")) {
        number = DbErrorCode::FieldNotFound;
        reason = QStringLiteral("campo mancante (%1)").arg(driverText.simplified());
    } else if (sqlState == QLatin1String("53100")) {
        number = DbErrorCode::DiskFull;
        reason = QStringLiteral("il disco del server è pieno");
    } else if (cls == QLatin1String("40") || sqlState == QLatin1String("55P03")) {
        number = DbErrorCode::Locked;
        reason = QStringLiteral("il server è occupato da altri salvataggi; riprovare fra qualche istante");
    } else {
        reason = QStringLiteral("errore del server (%1: %2)").arg(sqlState, driverText.simplified());
    }
    return DbError::make(number, QStringLiteral("Errore nel server dei risultati \"%1\" durante %2: %3.")
                                     .arg(m_path, what, reason));
}

DbError Database::notOpenError() const
{
    return DbError::make(DbErrorCode::NotOpen,
                         QStringLiteral("L'archivio \"%1\" non è aperto.").arg(shown(m_path)));
}

DbError Database::failure(const QSqlQuery &query, const QString &what) const
{
    if (m_server)
        return translateServer(what, query.lastError().nativeErrorCode(),
                               query.lastError().databaseText() + QLatin1Char(' ') + query.lastError().driverText());
    int code = query.lastError().nativeErrorCode().toInt();
    int systemErrno = 0;
    if (sqlite3 *h = handleOf(connection())) {
        const int ext = sqlite3_extended_errcode(h);
        if (ext != SQLITE_OK && (code == 0 || (ext & 0xff) == (code & 0xff)))
            code = ext;
        systemErrno = sqlite3_system_errno(h);
    }
    return translate(what, code, query.lastError().databaseText(), systemErrno);
}

// Preparing already reads the file (its schema): a damaged or foreign file
// can fail here as well as when the statement runs.
bool Database::prepare(QSqlQuery &query, const QString &sql, const QString &what, DbError *error) const
{
    if (query.prepare(sql))
        return true;
    if (error)
        *error = failure(query, what);
    return false;
}

bool Database::run(QSqlQuery &query, const QString &what, DbError *error) const
{
    if (query.exec())
        return true;
    if (error)
        *error = failure(query, what);
    return false;
}

QVariant Database::toStored(const QVariant &value)
{
    return forStorage(value);
}

QVariant Database::fromStoredDate(const QVariant &raw)
{
    if (raw.isValid() && !raw.isNull() && raw.typeId() == QMetaType::QString) {
        const QDateTime dt = parseStoredDateTime(raw.toString());
        if (dt.isValid())
            return dt;
    }
    return raw;
}

bool Database::exec(const QString &sql, const QVariantList &values, DbError *error)
{
    clearError(error);
    if (!isOpen()) {
        if (error)
            *error = notOpenError();
        return false;
    }
    const QString what = QStringLiteral("l'esecuzione di un comando");
    QSqlQuery q(connection());
    if (m_server && values.isEmpty()) {
        // Settings and definitions cannot be prepared on a server.
        if (q.exec(sql))
            return true;
        if (error)
            *error = failure(q, what);
        return false;
    }
    if (!prepare(q, sql, what, error))
        return false;
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, forStorage(values.at(i)));
    return run(q, what, error);
}

bool Database::RawRow::isNull(int column) const
{
    return sqlite3_column_type(static_cast<sqlite3_stmt *>(m_statement), column) == SQLITE_NULL;
}

bool Database::RawRow::isNumber(int column) const
{
    const int type = sqlite3_column_type(static_cast<sqlite3_stmt *>(m_statement), column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

bool Database::RawRow::isWhole(int column) const
{
    return sqlite3_column_type(static_cast<sqlite3_stmt *>(m_statement), column) == SQLITE_INTEGER;
}

qint64 Database::RawRow::whole(int column) const
{
    return sqlite3_column_int64(static_cast<sqlite3_stmt *>(m_statement), column);
}

double Database::RawRow::number(int column) const
{
    return sqlite3_column_double(static_cast<sqlite3_stmt *>(m_statement), column);
}

QByteArrayView Database::RawRow::text(int column) const
{
    auto *statement = static_cast<sqlite3_stmt *>(m_statement);
    const unsigned char *bytes = sqlite3_column_text(statement, column);
    return bytes ? QByteArrayView(reinterpret_cast<const char *>(bytes), sqlite3_column_bytes(statement, column))
                 : QByteArrayView();
}

bool Database::scan(const QString &sql, const QVariantList &values, const QString &what,
                    const std::function<bool(const RawRow &)> &onRow, DbError *error)
{
    clearError(error);
    sqlite3 *h = isOpen() && !m_server ? handleOf(connection()) : nullptr;
    if (!h) {
        if (error)
            *error = notOpenError();
        return false;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(h, text.constData(), int(text.size()), &statement, nullptr);
    // The statement is finalised on every way out, an early stop included.
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> owner(statement, sqlite3_finalize);
    for (int i = 0; rc == SQLITE_OK && i < values.size(); ++i) {
        const QVariant v = forStorage(values.at(i));
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(statement, i + 1);
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(statement, i + 1, v.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(statement, i + 1, v.toDouble());
            break;
        default: {
            const QByteArray bytes = v.toString().toUtf8();
            rc = sqlite3_bind_text(statement, i + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc == SQLITE_OK) {
        const RawRow row(statement);
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!onRow(row))
                return false;
        }
        if (rc == SQLITE_DONE)
            return true;
    }
    if (error)
        *error = translate(what, sqlite3_extended_errcode(h), QString::fromUtf8(sqlite3_errmsg(h)),
                           sqlite3_system_errno(h));
    return false;
}

bool Database::checkIntegrity(DbError *error, const QStringList &tables)
{
    clearError(error);
    if (!isOpen()) {
        if (error)
            *error = notOpenError();
        return false;
    }
    if (m_server) // the server keeps its own pages whole
        return true;
    const QString what = QStringLiteral("il controllo");
    QStringList problems;
    bool damaged = false;
    const QStringList checks = tables.isEmpty() ? QStringList{QStringLiteral("5")} : tables;
    for (const QString &argument : checks) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        // The pragma takes a table's name as a bare word, not as a bound value.
        QString word = argument;
        word.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")));
        if (!prepare(q, QStringLiteral("PRAGMA integrity_check(%1)").arg(word), what, error) || !run(q, what, error))
            return false;
        while (q.next()) {
            const QString text = q.value(0).toString();
            if (text.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0)
                continue;
            damaged = true;
            for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                if (!line.startsWith(QLatin1String("***")))
                    problems << line.trimmed();
            }
        }
    }
    if (!damaged)
        return true;
    setError(error, DbErrorCode::Damaged,
             QStringLiteral("L'archivio \"%1\" è danneggiato e non può essere usato.\nDettagli tecnici: %2")
                 .arg(shown(m_path), problems.join(QStringLiteral("; "))));
    return false;
}

bool Database::beginTransaction(DbError *error)
{
    clearError(error);
    if (!isOpen()) {
        if (error)
            *error = notOpenError();
        return false;
    }
    if (m_inTransaction) {
        setError(error, DbErrorCode::Generic,
                 QStringLiteral("Errore nell'archivio \"%1\": un salvataggio è già in corso.").arg(shown(m_path)));
        return false;
    }
    // IMMEDIATE takes the write lock now: a second copy of the program waits
    // here instead of failing halfway through its save.
    if (m_server) {
        // The rows themselves are locked there (SELECT ... FOR UPDATE); the
        // driver's own transaction, since a server prepares no BEGIN.
        QSqlDatabase c = connection();
        if (!c.transaction()) {
            if (error)
                *error = translateServer(QStringLiteral("il salvataggio"), c.lastError().nativeErrorCode(),
                                         c.lastError().databaseText() + QLatin1Char(' ') + c.lastError().driverText());
            return false;
        }
        m_inTransaction = true;
        return true;
    }
    QSqlQuery q(connection());
    if (!prepare(q, QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("il salvataggio"), error) || !run(q, QStringLiteral("il salvataggio"), error))
        return false;
    m_inTransaction = true;
    return true;
}

bool Database::commit(DbError *error)
{
    clearError(error);
    if (!m_inTransaction) {
        setError(error, DbErrorCode::Generic,
                 QStringLiteral("Errore nell'archivio \"%1\": nessun salvataggio in corso.").arg(shown(m_path)));
        return false;
    }
    if (!isOpen()) {
        m_inTransaction = false;
        if (error)
            *error = notOpenError();
        return false;
    }
    bool ok;
    if (m_server) {
        QSqlDatabase c = connection();
        ok = c.commit();
        if (!ok && error)
            *error = translateServer(QStringLiteral("il salvataggio"), c.lastError().nativeErrorCode(),
                                     c.lastError().databaseText() + QLatin1Char(' ') + c.lastError().driverText());
    } else {
        QSqlQuery q(connection());
        ok = prepare(q, QStringLiteral("COMMIT"), QStringLiteral("il salvataggio"), error)
             && run(q, QStringLiteral("il salvataggio"), error);
    }
    if (ok) {
        m_inTransaction = false;
        return true;
    }
    // A commit that failed leaves nothing half done.
    rollback();
    return false;
}

void Database::rollback()
{
    const bool was = m_inTransaction;
    m_inTransaction = false;
    if (!isOpen())
        return;
    if (m_server) {
        if (was)
            connection().rollback();
        return;
    }
    sqlite3 *h = handleOf(connection());
    if (was || (h && sqlite3_get_autocommit(h) == 0)) {
        QSqlQuery q(connection());
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

DbError Database::translate(const QString &what, int sqliteCode, const QString &driverText, int systemErrno) const
{
    int number = DbErrorCode::Generic;
    QString reason;
    // A write past the end of the disk, or past a size limit, is a full disk
    // whichever way the engine words it.
    const int primary = sqliteCode & 0xff;
    if ((primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) && diskFullErrno(systemErrno))
        sqliteCode = SQLITE_FULL;
    switch (sqliteCode & 0xff) {
    case SQLITE_FULL:
        number = DbErrorCode::DiskFull;
        reason = QStringLiteral("il disco è pieno; liberare spazio sul disco e riprovare");
        break;
    case SQLITE_READONLY:
        number = DbErrorCode::ReadOnly;
        if (sqliteCode == SQLITE_READONLY_DIRECTORY)
            reason = QStringLiteral("la cartella \"%1\" è di sola lettura; renderla scrivibile e riprovare")
                         .arg(shown(QFileInfo(m_path).absolutePath()));
        else
            reason = QStringLiteral("il file è di sola lettura; togliere la protezione dalla scrittura e riprovare");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        number = DbErrorCode::Locked;
        reason = QStringLiteral("il file è in uso da parte di un altro programma; riprovare fra qualche istante");
        break;
    case SQLITE_NOTADB:
        number = DbErrorCode::NotADatabase;
        reason = QStringLiteral("il file non è un archivio di dati");
        break;
    case SQLITE_CORRUPT:
        number = DbErrorCode::Damaged;
        reason = QStringLiteral("il file è danneggiato");
        break;
    case SQLITE_CONSTRAINT:
        if (sqliteCode == SQLITE_CONSTRAINT_UNIQUE || sqliteCode == SQLITE_CONSTRAINT_PRIMARYKEY
            || sqliteCode == SQLITE_CONSTRAINT || driverText.contains(QLatin1String("UNIQUE"))) {
            number = DbErrorCode::DuplicateKey;
            reason = QStringLiteral("esiste già una riga con lo stesso nome");
        } else {
            reason = QStringLiteral("un valore non è ammesso (%1)").arg(driverText);
        }
        break;
    case SQLITE_CANTOPEN:
        number = DbErrorCode::CannotOpen;
        reason = QStringLiteral("il file non può essere aperto (permessi insufficienti o percorso non valido)");
        break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        number = DbErrorCode::CannotOpen;
        reason = QStringLiteral("accesso negato");
        break;
    case SQLITE_IOERR:
        number = kDiskIo;
        reason = QStringLiteral("errore di lettura o scrittura sul disco");
        break;
    case SQLITE_NOMEM:
        reason = QStringLiteral("memoria insufficiente");
        break;
    default:
        if (driverText.contains(QLatin1String("no such table"))) {
            number = DbErrorCode::TableNotFound;
            reason = QStringLiteral("tabella mancante (%1)").arg(driverText);
        } else if (driverText.contains(QLatin1String("no such column"))
                   || driverText.contains(QLatin1String("has no column"))) {
            number = DbErrorCode::FieldNotFound;
            reason = QStringLiteral("campo mancante (%1)").arg(driverText);
        } else {
            reason = QStringLiteral("errore del motore di database (%1%2)")
                         .arg(sqliteCode)
                         .arg(driverText.isEmpty() ? QString() : QStringLiteral(": ") + driverText);
        }
        break;
    }
    return DbError::make(number, QStringLiteral("Errore nell'archivio \"%1\" durante %2: %3.")
                                     .arg(shown(m_path), what, reason));
}

} // namespace morvello
