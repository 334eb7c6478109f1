// SPDX-License-Identifier: GPL-3.0-or-later
#include "register.h"

#include "summary.h"
#include "storage/database.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlQuery>
#include <QStandardPaths>

#include <algorithm>

namespace morvello {

namespace {

// Fixed, so that a journal left beside a register is judged as one of a
// register ("MRVR").
constexpr qint32 kRegisterApplicationId = 0x4d525652;

QStringList registerStatements()
{
    return {
        QStringLiteral("PRAGMA journal_mode=DELETE"),
        QStringLiteral("CREATE TABLE registro (chiave TEXT PRIMARY KEY, valore TEXT)"),
        QStringLiteral("CREATE TABLE alunni (id INTEGER PRIMARY KEY, nome TEXT NOT NULL UNIQUE, "
                       "unito_a INTEGER REFERENCES alunni(id), nascosto INTEGER NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE importazioni (id INTEGER PRIMARY KEY, file TEXT NOT NULL, computer TEXT, "
                       "quando TEXT NOT NULL, righe_nuove INTEGER NOT NULL, tipo TEXT NOT NULL, nota TEXT)"),
        // "storico" is 1 for a row of a history, 0 for one made from a
        // tabtesti group of a file that had no history of it.
        QStringLiteral("CREATE TABLE tentativi (codice TEXT PRIMARY KEY, alunno INTEGER NOT NULL REFERENCES alunni(id), "
                       "nome TEXT, gruppo TEXT NOT NULL, conteggio DOUBLE, totale DOUBLE, percentuale DOUBLE, "
                       "data DATETIME, momento DATETIME, schermata TEXT, visita TEXT, computer TEXT, "
                       "storico INTEGER NOT NULL, importazione INTEGER REFERENCES importazioni(id))"),
        QStringLiteral("CREATE INDEX tentativi_visita ON tentativi (visita)"),
        QStringLiteral("CREATE INDEX tentativi_alunno ON tentativi (alunno, gruppo)"),
        QStringLiteral("INSERT INTO registro (chiave, valore) VALUES ('formato', '%1')").arg(Register::formatTag()),
        QStringLiteral("PRAGMA application_id=%1").arg(kRegisterApplicationId),
    };
}

// The steps from one version of the register to the next; a new register
// is made by the first version's statements and every step after it, so
// that a new file and an upgraded one are the same.
//  2  the class view's numbers kept ready ("riepilogo", "tentativi.ultimo"),
//     and the names the pupil program flagged as look-alikes.
QVector<QStringList> upgradeSteps()
{
    QStringList two = summary::upgradeStatements();
    two << QStringLiteral("CREATE TABLE nomi_segnalati (id INTEGER PRIMARY KEY, nomi TEXT NOT NULL UNIQUE, "
                          "file TEXT, importazione INTEGER REFERENCES importazioni(id))");
    return {two};
}

QStringList newRegisterStatements()
{
    QStringList all = registerStatements();
    for (const QStringList &step : upgradeSteps())
        all << step;
    all << QStringLiteral("PRAGMA user_version=%1").arg(Register::kVersion);
    return all;
}

// Brings a register of an earlier version up to date, one transaction per
// step: a run killed on the way leaves the file at the step before.
bool upgrade(Database &db, int from, DbError *error)
{
    const QVector<QStringList> steps = upgradeSteps();
    for (int version = std::max(from, 1); version < Register::kVersion; ++version) {
        if (!db.beginTransaction(error))
            return false;
        QStringList statements = steps.at(version - 1);
        statements << QStringLiteral("PRAGMA user_version=%1").arg(version + 1);
        for (const QString &sql : std::as_const(statements)) {
            if (!db.exec(sql, {}, error)) {
                db.rollback();
                return false;
            }
        }
        if (!db.commit(error))
            return false;
    }
    return true;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

Register::Register(std::unique_ptr<Database> db)
    : m_db(std::move(db))
{
}

Register::~Register()
{
    // The file first, then the lock: no other copy may come in between.
    m_db.reset();
    m_lock.reset();
}

QString Register::path() const
{
    return m_db->path();
}

QString Register::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/morvello/registri");
}

QString Register::fileForClass(const QString &className)
{
    QString name = className.trimmed();
    for (QChar &c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control
            || c == QLatin1Char(':'))
            c = QLatin1Char('_');
    }
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return defaultFolder() + QLatin1Char('/') + name + QStringLiteral(".sqlite");
}

std::unique_ptr<Register> Register::create(const QString &path, const QString &className, DbError *error)
{
    if (className.trimmed().isEmpty()) {
        if (error)
            *error = DbError::make(DbErrorCode::Generic, QStringLiteral("Il nome della classe è vuoto."));
        return nullptr;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = DbError::make(DbErrorCode::CannotOpen,
                                   QStringLiteral("Non è possibile creare la cartella \"%1\".").arg(shown(folder)));
        return nullptr;
    }
    if (!Database::create(path, newRegisterStatements(), error))
        return nullptr;
    std::unique_ptr<Register> reg = open(path, error);
    if (!reg)
        return nullptr;
    const bool ok = reg->m_db->exec(QStringLiteral("INSERT INTO registro (chiave, valore) VALUES ('classe', ?)"),
                                    {className.trimmed()}, error);
    if (!ok)
        return nullptr;
    reg->m_className = className.trimmed();
    return reg;
}

std::unique_ptr<Register> Register::open(const QString &path, DbError *error)
{
    auto lock = std::make_unique<QLockFile>(QFileInfo(path).absoluteFilePath() + QStringLiteral(".lock"));
    // Only a lock whose process is gone is left over; a live one never is,
    // however long the teacher keeps the register open.
    lock->setStaleLockTime(0);
    if (QFileInfo::exists(path) && !lock->tryLock(0)) {
        if (error)
            *error = DbError::make(
                DbErrorCode::Locked,
                lock->error() == QLockFile::LockFailedError
                    ? QStringLiteral("Il registro \"%1\" è già aperto in un'altra copia del programma: chiuderla e riprovare.")
                          .arg(shown(path))
                    : QStringLiteral("Il registro \"%1\" non si può aprire: la sua cartella non si può scrivere.")
                          .arg(shown(path)));
        return nullptr;
    }
    std::unique_ptr<Database> db = Database::open(path, error);
    if (!db)
        return nullptr;
    const QString what = QStringLiteral("la lettura del registro");
    QSqlQuery version(db->connection());
    int userVersion = 0;
    if (db->prepare(version, QStringLiteral("PRAGMA user_version"), what, error) && db->run(version, what, error)
        && version.next())
        userVersion = version.value(0).toInt();
    else
        return nullptr;
    version.finish();
    QString format;
    QString className;
    {
        QSqlQuery q(db->connection());
        const bool hasTable = db->prepare(q, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"),
                                          what, error);
        if (!hasTable)
            return nullptr;
        q.bindValue(0, QStringLiteral("registro"));
        if (!db->run(q, what, error))
            return nullptr;
        if (q.next()) {
            QSqlQuery meta(db->connection());
            if (!db->prepare(meta, QStringLiteral("SELECT chiave, valore FROM registro"), what, error)
                || !db->run(meta, what, error))
                return nullptr;
            while (meta.next()) {
                if (meta.value(0).toString() == QLatin1String("formato"))
                    format = meta.value(1).toString();
                else if (meta.value(0).toString() == QLatin1String("classe"))
                    className = meta.value(1).toString();
            }
        }
    }
    if (format != formatTag()) {
        if (error)
            *error = DbError::make(DbErrorCode::TableNotFound,
                                   QStringLiteral("Il file \"%1\" non è un registro di Morvello.").arg(shown(db->path())));
        return nullptr;
    }
    if (userVersion > kVersion) {
        if (error)
            *error = DbError::make(DbErrorCode::Generic,
                                   QStringLiteral("Il registro \"%1\" è stato scritto da una versione più recente di "
                                                  "Morvello: aggiornare il programma per aprirlo.")
                                       .arg(shown(db->path())));
        return nullptr;
    }
    if (userVersion < kVersion && !upgrade(*db, userVersion, error)) {
        if (error)
            error->message = QStringLiteral("Il registro \"%1\" non si può aggiornare alla versione di questo programma: %2")
                                 .arg(shown(db->path()), error->message);
        return nullptr;
    }
    // A term's register outgrows the engine's default page cache of 2 MB;
    // an import then reads the same index pages from the disk again for
    // every row it looks up.
    db->exec(QStringLiteral("PRAGMA cache_size=-32768"));
    std::unique_ptr<Register> reg(new Register(std::move(db)));
    reg->m_lock = std::move(lock);
    reg->m_className = className;
    return reg;
}

} // namespace morvello
