#include "database.h"

#include "datapaths.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace morvello {

namespace {

// Numbers of the old engine for the few failures dberror.h does not name.
constexpr int kNotAnIndex = 3015;
constexpr int kNoCurrentIndex = 3019;
constexpr int kUpdateWithoutEdit = 3020;
constexpr int kDiskIo = 3043;
constexpr int kAlreadyExists = 3204;

// Rows read in one go while a recordset is walked from row to row.
constexpr int kReadAhead = 256;
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

QString quoted(const QString &identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
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
QString uriFor(const QString &absolutePath)
{
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(absolutePath, "/"))
        + QStringLiteral("?mode=rw");
}

// Names compare as people read them: "OSPITE" = "Ospite", "ÈLIA" = "èlia".
int compareNoCase(void *, int len1, const void *p1, int len2, const void *p2)
{
    const QStringView a(static_cast<const QChar *>(p1), len1 / 2);
    const QStringView b(static_cast<const QChar *>(p2), len2 / 2);
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool isDateType(const QString &declared)
{
    const QString t = declared.toUpper();
    return t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME"));
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

void removeWithCompanions(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
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
    db->m_connectionName = nextConnectionName();
    if (!db->connect(QStringLiteral("l'apertura"), error))
        return nullptr;
    return db;
}

bool Database::connect(const QString &what, DbError *error)
{
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        c.setDatabaseName(uriFor(m_path));
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
    sqlite3_create_collation_v2(h, nameCollation().toUtf8().constData(), SQLITE_UTF16_ALIGNED, nullptr,
                                compareNoCase, nullptr);

    DbError e;
    {
        // Reading the schema is what tells a database from any other file.
        QSqlQuery q(connection());
        if (!prepare(q, QStringLiteral("SELECT count(*) FROM sqlite_master"), what, &e) || !run(q, what, &e))
            return fail(e, error);
    }
    if (sqlite3_db_readonly(h, "main") == 1)
        return fail(DbError::make(DbErrorCode::ReadOnly,
                                  QStringLiteral("Errore nell'archivio \"%1\" durante %2: il file è di sola lettura.")
                                      .arg(shown(m_path), what)),
                    error);
    {
        // Every commit reaches the disk before it returns. The journal mode
        // is the file's own, chosen when it was made (see the schema).
        QSqlQuery q(connection());
        if (!prepare(q, QStringLiteral("PRAGMA synchronous=FULL"), what, &e) || !run(q, what, &e))
            return fail(e, error);
    }
    return true;
}

bool Database::create(const QString &path, const QStringList &statements, DbError *error)
{
    clearError(error);
    const QString real = QFileInfo(resolveDataPath(path)).absoluteFilePath();
    const QFileInfo fi(real);
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
            const bool full = err == ENOSPC || err == EDQUOT;
            setError(error,
                     full ? DbErrorCode::DiskFull : (readOnly ? DbErrorCode::ReadOnly : DbErrorCode::CannotOpen),
                     QStringLiteral("Impossibile creare il file \"%1\": %2.")
                         .arg(shown(real), full ? QStringLiteral("il disco è pieno")
                                                : (readOnly ? QStringLiteral("la cartella è di sola lettura")
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
    for (Recordset *rs : std::as_const(m_recordsets))
        rs->m_db = nullptr;
    m_recordsets.clear();
    m_tables.clear();
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
    if (sqlite3 *h = handleOf(connection())) {
        const int ext = sqlite3_extended_errcode(h);
        if (ext != SQLITE_OK && (code == 0 || (ext & 0xff) == (code & 0xff)))
            code = ext;
    }
    return translate(what, code, query.lastError().databaseText());
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
    if (!prepare(q, QStringLiteral("PRAGMA quick_check(5)"), what, error) || !run(q, what, error))
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
    for (Recordset *rs : std::as_const(m_recordsets)) {
        rs->m_cache.clear();
        rs->m_rowidsLoaded = false;
        rs->m_rowids.clear();
        rs->m_pos = -1;
    }
}

DbError Database::translate(const QString &what, int sqliteCode, const QString &driverText) const
{
    int number = DbErrorCode::Generic;
    QString reason;
    switch (sqliteCode & 0xff) {
    case SQLITE_FULL:
        number = DbErrorCode::DiskFull;
        reason = QStringLiteral("il disco è pieno");
        break;
    case SQLITE_READONLY:
        number = DbErrorCode::ReadOnly;
        reason = QStringLiteral("il file è di sola lettura");
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

bool Database::tableInfo(const QString &table, TableInfo *info, DbError *error)
{
    const QString key = table.toLower();
    auto it = m_tables.constFind(key);
    if (it != m_tables.constEnd()) {
        *info = it.value();
        return true;
    }
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!prepare(q, QStringLiteral("SELECT name, type FROM pragma_table_info(?) ORDER BY cid"), QStringLiteral("la lettura"),
                 error))
        return false;
    q.addBindValue(table);
    if (!run(q, QStringLiteral("la lettura"), error))
        return false;
    TableInfo t;
    while (q.next()) {
        const QString name = q.value(0).toString();
        t.positions.insert(name, int(t.columns.size()));
        t.columns << name;
        t.dateColumns << isDateType(q.value(1).toString());
    }
    if (t.columns.isEmpty()) {
        setError(error, DbErrorCode::TableNotFound,
                 QStringLiteral("Nell'archivio \"%1\" manca la tabella \"%2\".").arg(shown(m_path), table));
        return false;
    }
    m_tables.insert(key, t);
    *info = t;
    return true;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &table, DbError *error)
{
    clearError(error);
    if (!isOpen()) {
        if (error)
            *error = notOpenError();
        return nullptr;
    }
    TableInfo info;
    if (!tableInfo(table, &info, error))
        return nullptr;
    std::unique_ptr<Recordset> rs(new Recordset(this, table));
    rs->m_columns = info.columns;
    rs->m_dateColumns = info.dateColumns;
    rs->m_positions = info.positions;
    rs->m_buffer.resize(info.columns.size());
    rs->m_dirty.resize(info.columns.size());

    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!prepare(q, QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid LIMIT 1").arg(quoted(table)),
                 QStringLiteral("la lettura"), error)
        || !run(q, QStringLiteral("la lettura"), error))
        return nullptr;
    if (q.next())
        rs->setCurrent(q.value(0).toLongLong(), 0);
    else
        rs->setEmptyPosition();
    return rs;
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset(Database *db, const QString &table) : m_db(db), m_table(table)
{
    m_db->m_recordsets.insert(this);
}

Recordset::~Recordset()
{
    if (m_db)
        m_db->m_recordsets.remove(this);
}

QString Recordset::fieldName(int position) const
{
    return position >= 0 && position < m_columns.size() ? m_columns.at(position) : QString();
}

int Recordset::fieldPosition(const QString &name) const
{
    const auto it = m_positions.constFind(name);
    if (it != m_positions.constEnd())
        return it.value();
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int Recordset::resolve(const QString &name, DbError *error) const
{
    const int p = fieldPosition(name);
    if (p < 0 && error)
        *error = DbError::make(DbErrorCode::FieldNotFound, QStringLiteral("Il campo \"%1\" non esiste nella tabella \"%2\".")
                                                               .arg(name, m_table));
    return p;
}

bool Recordset::usable(DbError *error) const
{
    if (m_db && m_db->isOpen())
        return true;
    if (error)
        *error = DbError::make(DbErrorCode::NotOpen, QStringLiteral("L'archivio dei dati è stato chiuso."));
    return false;
}

bool Recordset::noCurrent(DbError *error) const
{
    if (error)
        *error = DbError::make(DbErrorCode::NoCurrentRecord,
                               QStringLiteral("Nessuna riga corrente nella tabella \"%1\".").arg(m_table));
    return false;
}

void Recordset::setCurrent(qint64 rowid, int index)
{
    m_current = rowid;
    m_pos = index;
    m_eof = false;
    m_bof = false;
}

void Recordset::setEmptyPosition()
{
    m_current = -1;
    m_pos = -1;
    m_eof = true;
    m_bof = true;
}

bool Recordset::ensureRowids(DbError *error) const
{
    if (m_rowidsLoaded)
        return true;
    if (!usable(error))
        return false;
    QSqlQuery q(m_db->connection());
    q.setForwardOnly(true);
    if (!m_db->prepare(q, QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(quoted(m_table)),
                       QStringLiteral("la lettura"), error)
        || !m_db->run(q, QStringLiteral("la lettura"), error))
        return false;
    m_rowids.clear();
    while (q.next())
        m_rowids.append(q.value(0).toLongLong());
    m_rowidsLoaded = true;
    m_pos = -1;
    return true;
}

bool Recordset::setIndex(const QString &indexName, DbError *error)
{
    clearError(error);
    if (indexName.compare(QLatin1String("nome"), Qt::CaseInsensitive) != 0 || fieldPosition(indexName) < 0) {
        setError(error, kNotAnIndex,
                 QStringLiteral("\"%1\" non è un indice della tabella \"%2\".").arg(indexName, m_table));
        return false;
    }
    m_indexNome = true;
    return true;
}

bool Recordset::seek(const QString &op, const QVariant &key, DbError *error)
{
    clearError(error);
    if (!m_indexNome) {
        setError(error, kNoCurrentIndex, QStringLiteral("Ricerca senza indice nella tabella \"%1\".").arg(m_table));
        return false;
    }
    if (op != QLatin1String("=")) {
        setError(error, DbErrorCode::Generic, QStringLiteral("Ricerca \"%1\" non prevista.").arg(op));
        return false;
    }
    if (!usable(error))
        return false;
    m_mode = Mode::None;
    m_walking = false;
    QSqlQuery q(m_db->connection());
    q.setForwardOnly(true);
    // The explicit collation is what lets the "nome" index serve the lookup.
    if (!m_db->prepare(q,
                       QStringLiteral("SELECT min(rowid) FROM %1 WHERE \"nome\" = ? COLLATE %2")
                           .arg(quoted(m_table), Database::nameCollation()),
                       QStringLiteral("la ricerca"), error))
        return false;
    q.addBindValue(forStorage(key));
    if (!m_db->run(q, QStringLiteral("la ricerca"), error))
        return false;
    if (q.next() && !q.value(0).isNull()) {
        setCurrent(q.value(0).toLongLong(), -1);
        m_noMatch = false;
    } else {
        m_current = -1;
        m_pos = -1;
        m_eof = false;
        m_bof = false;
        m_noMatch = true;
    }
    return true;
}

bool Recordset::moveFirst(DbError *error)
{
    return moveToEnd(false, error);
}

bool Recordset::moveLast(DbError *error)
{
    return moveToEnd(true, error);
}

bool Recordset::moveToEnd(bool last, DbError *error)
{
    clearError(error);
    if (!ensureRowids(error))
        return false;
    m_mode = Mode::None;
    m_walking = true;
    if (m_rowids.isEmpty())
        setEmptyPosition();
    else if (last)
        setCurrent(m_rowids.last(), int(m_rowids.size()) - 1);
    else
        setCurrent(m_rowids.first(), 0);
    return true;
}

bool Recordset::moveNext(DbError *error)
{
    clearError(error);
    if (m_current < 0)
        return noCurrent(error);
    if (!ensureRowids(error))
        return false;
    m_mode = Mode::None;
    m_walking = true;
    int next;
    if (m_pos >= 0 && m_pos < m_rowids.size() && m_rowids.at(m_pos) == m_current)
        next = m_pos + 1;
    else
        next = int(std::upper_bound(m_rowids.cbegin(), m_rowids.cend(), m_current) - m_rowids.cbegin());
    if (next >= m_rowids.size()) {
        m_current = -1;
        m_pos = int(m_rowids.size());
        m_eof = true;
        m_bof = m_rowids.isEmpty();
    } else {
        setCurrent(m_rowids.at(next), next);
    }
    return true;
}

bool Recordset::eof() const
{
    return m_eof;
}

bool Recordset::bof() const
{
    return m_bof;
}

int Recordset::recordCount() const
{
    if (!ensureRowids(nullptr))
        return 0;
    return int(m_rowids.size());
}

void Recordset::addNew()
{
    m_mode = Mode::AddNew;
    m_buffer.fill(QVariant());
    m_dirty.fill(false);
}

bool Recordset::edit(DbError *error)
{
    clearError(error);
    if (!usable(error))
        return false;
    if (m_current < 0)
        return noCurrent(error);
    m_mode = Mode::Edit;
    m_buffer.fill(QVariant());
    m_dirty.fill(false);
    return true;
}

void Recordset::cancelUpdate()
{
    m_mode = Mode::None;
    m_buffer.fill(QVariant());
    m_dirty.fill(false);
}

bool Recordset::update(DbError *error)
{
    clearError(error);
    if (m_mode == Mode::None) {
        setError(error, kUpdateWithoutEdit,
                 QStringLiteral("Salvataggio senza AddNew o Edit nella tabella \"%1\".").arg(m_table));
        return false;
    }
    if (!usable(error))
        return false;
    if (m_mode == Mode::Edit && m_current < 0)
        return noCurrent(error);

    QStringList names;
    QVariantList values;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_dirty.at(i)) {
            names << quoted(m_columns.at(i));
            values << m_buffer.at(i);
        }
    }
    const QString what = QStringLiteral("il salvataggio");
    QSqlQuery q(m_db->connection());
    if (m_mode == Mode::AddNew) {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table));
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(m_table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
        if (!m_db->prepare(q, sql, what, error))
            return false;
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values.at(i));
        if (!m_db->run(q, what, error))
            return false;
        const qint64 rowid = q.lastInsertId().toLongLong();
        m_lastModified = rowid;
        if (m_rowidsLoaded) {
            if (m_rowids.isEmpty() || m_rowids.last() < rowid)
                m_rowids.append(rowid);
            else
                m_rowids.insert(std::lower_bound(m_rowids.begin(), m_rowids.end(), rowid), rowid);
        }
    } else {
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : std::as_const(names))
                sets << n + QStringLiteral("=?");
            if (!m_db->prepare(q,
                               QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quoted(m_table), sets.join(QLatin1Char(','))),
                               what, error))
                return false;
            for (int i = 0; i < values.size(); ++i)
                q.bindValue(i, values.at(i));
            q.bindValue(int(values.size()), m_current);
            if (!m_db->run(q, what, error))
                return false;
            if (q.numRowsAffected() == 0)
                return noCurrent(error);
        }
        m_lastModified = m_current;
        m_cache.remove(m_current);
    }
    m_mode = Mode::None;
    m_buffer.fill(QVariant());
    m_dirty.fill(false);
    return true;
}

bool Recordset::moveToLastModified(DbError *error)
{
    clearError(error);
    if (m_lastModified < 0)
        return noCurrent(error);
    m_mode = Mode::None;
    m_walking = false;
    setCurrent(m_lastModified, -1);
    return true;
}

bool Recordset::loadCurrent(DbError *error) const
{
    if (m_current < 0)
        return noCurrent(error);
    if (m_cache.contains(m_current))
        return true;
    if (!usable(error))
        return false;
    m_cache.clear();
    QSqlQuery q(m_db->connection());
    q.setForwardOnly(true);
    const bool block = m_walking;
    const QString sql = block ? QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid >= ? ORDER BY rowid LIMIT %2")
                                    .arg(quoted(m_table))
                                    .arg(kReadAhead)
                              : QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?").arg(quoted(m_table));
    if (!m_db->prepare(q, sql, QStringLiteral("la lettura"), error))
        return false;
    q.addBindValue(m_current);
    if (!m_db->run(q, QStringLiteral("la lettura"), error))
        return false;
    const int n = int(m_columns.size());
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i) {
            const QVariant v = q.value(i + 1);
            if (!v.isNull())
                row[i] = v;
        }
        m_cache.insert(q.value(0).toLongLong(), row);
    }
    if (!m_cache.contains(m_current)) {
        if (error)
            *error = DbError::make(DbErrorCode::NoCurrentRecord,
                                   QStringLiteral("La riga corrente della tabella \"%1\" non esiste più.").arg(m_table));
        return false;
    }
    return true;
}

QVariant Recordset::readBack(int position, const QVariant &raw) const
{
    if (!raw.isValid() || raw.isNull())
        return QVariant();
    if (m_dateColumns.at(position) && raw.typeId() == QMetaType::QString) {
        const QDateTime dt = parseStoredDateTime(raw.toString());
        if (dt.isValid())
            return dt;
    }
    return raw;
}

QVariant Recordset::value(int position, DbError *error) const
{
    clearError(error);
    if (position < 0 || position >= m_columns.size()) {
        if (error)
            *error = DbError::make(DbErrorCode::FieldNotFound, QStringLiteral("Il campo n. %1 non esiste nella tabella \"%2\".")
                                                                   .arg(position)
                                                                   .arg(m_table));
        return QVariant();
    }
    if (m_mode != Mode::None && m_dirty.at(position))
        return readBack(position, m_buffer.at(position));
    if (m_mode == Mode::AddNew)
        return QVariant();
    if (!loadCurrent(error))
        return QVariant();
    return readBack(position, m_cache.value(m_current).at(position));
}

QVariant Recordset::value(const QString &name, DbError *error) const
{
    const int p = resolve(name, error);
    if (p < 0)
        return QVariant();
    return value(p, error);
}

bool Recordset::setValue(int position, const QVariant &value, DbError *error)
{
    clearError(error);
    if (position < 0 || position >= m_columns.size()) {
        setError(error, DbErrorCode::FieldNotFound,
                 QStringLiteral("Il campo n. %1 non esiste nella tabella \"%2\".").arg(position).arg(m_table));
        return false;
    }
    if (m_mode == Mode::None) {
        setError(error, kUpdateWithoutEdit,
                 QStringLiteral("Scrittura senza AddNew o Edit nella tabella \"%1\".").arg(m_table));
        return false;
    }
    m_buffer[position] = forStorage(value);
    m_dirty[position] = true;
    return true;
}

bool Recordset::setValue(const QString &name, const QVariant &value, DbError *error)
{
    clearError(error);
    const int p = resolve(name, error);
    if (p < 0)
        return false;
    return setValue(p, value, error);
}

} // namespace morvello
