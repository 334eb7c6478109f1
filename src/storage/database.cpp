#include "database.h"

#include "core/datapaths.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    std::unique_ptr<Database> db(new Database);
    db->m_path = fi.absoluteFilePath();
    // Refused before the engine touches anything, so that nothing is left
    // beside the file that would spoil the next start.
    if (!writable(db->m_path)) {
        setError(error, DbErrorCode::ReadOnly,
                 QStringLiteral("Il file \"%1\" è di sola lettura: il programma non può salvarvi nulla. Togliere la "
                                "protezione dalla scrittura dalle proprietà del file e riprovare.")
                     .arg(shown(db->m_path)));
        return nullptr;
    }
    if (!writable(fi.absolutePath())) {
        setError(error, DbErrorCode::ReadOnly,
                 QStringLiteral("La cartella \"%1\" è di sola lettura: il programma non può salvare i risultati nel "
                                "file \"%2\", che ha bisogno di scrivere accanto a sé mentre salva. Rendere "
                                "scrivibile la cartella e riprovare.")
                     .arg(shown(fi.absolutePath()), fi.fileName()));
        return nullptr;
    }
    const QVector<bool> before = companionsPresent(db->m_path);
    if (!db->foldLeftOverLog(error)) {
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
    if (!fi.isFile()) {
        setError(error, DbErrorCode::FileNotFound, QStringLiteral("Il file \"%1\" non esiste.").arg(shown(real)));
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database);
    db->m_path = fi.absoluteFilePath();
    db->m_readOnly = true;
    db->m_connectionName = nextConnectionName();
    if (!db->connect(QStringLiteral("la lettura"), error))
        return nullptr;
    return db;
}

bool Database::foldLeftOverLog(DbError *error)
{
    const QString log = m_path + QStringLiteral("-wal");
    // A log shorter than its header holds no change.
    if (QFileInfo(log).size() <= 32 || logInUse(m_path))
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
        return true;
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
    return true;
}

bool Database::create(const QString &path, const QStringList &statements, DbError *error)
{
    clearError(error);
    const QDateTime started = QDateTime::currentDateTimeUtc();
    const QString real = QFileInfo(resolveDataPath(path)).absoluteFilePath();
    const QFileInfo fi(real);
    const QString link = linkTrouble(real);
    if (!link.isEmpty()) {
        setError(error, DbErrorCode::CannotOpen, link);
        return false;
    }
    if (fi.exists()) {
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

DbError Database::notOpenError() const
{
    return DbError::make(DbErrorCode::NotOpen,
                         QStringLiteral("L'archivio \"%1\" non è aperto.").arg(shown(m_path)));
}

DbError Database::failure(const QSqlQuery &query, const QString &what) const
{
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
    if (!prepare(q, sql, what, error))
        return false;
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, forStorage(values.at(i)));
    return run(q, what, error);
}

bool Database::checkIntegrity(DbError *error)
{
    clearError(error);
    if (!isOpen()) {
        if (error)
            *error = notOpenError();
        return false;
    }
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    const QString what = QStringLiteral("il controllo");
    if (!prepare(q, QStringLiteral("PRAGMA integrity_check(5)"), what, error) || !run(q, what, error))
        return false;
    QStringList problems;
    bool damaged = false;
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
    {
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
