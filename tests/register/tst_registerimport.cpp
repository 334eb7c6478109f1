// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/classtable.h"
#include "register/pupils.h"
#include "register/register.h"
#include "register/registerimport.h"
#include "core/resultgroups.h"
#include "storage/database.h"
#include "storage/resultsstore.h"
#include "pgcluster.h"
#include "support_classroom.h"
#include "testfiles.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;
using test::ClassroomComputer;

namespace {

const QDateTime kStart(QDate(2026, 10, 5), QTime(9, 0, 0));
const QDateTime kImported(QDate(2026, 12, 7), QTime(17, 0, 0));

int count(Register &reg, const QString &sql)
{
    QSqlQuery q(reg.database().connection());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toInt();
}

int attempts(Register &reg)
{
    return count(reg, QStringLiteral("SELECT count(*) FROM tentativi"));
}

// Everything a register holds, to tell "nothing changed".
QString contentOf(Register &reg)
{
    QString all;
    for (const QString &table : {QStringLiteral("alunni"), QStringLiteral("tentativi"), QStringLiteral("importazioni"),
                                 QStringLiteral("registro")}) {
        for (const QVector<QVariant> &row : test::tableRows(reg.database(), table)) {
            for (const QVariant &v : row)
                all += v.toString() + QLatin1Char('|');
            all += QLatin1Char('\n');
        }
    }
    return all;
}

} // namespace

class TstRegisterImport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Register> m_reg;

    QString file(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        const QString path = file(QStringLiteral("reg-%1.sqlite").arg(QRandomGenerator::global()->generate()));
        DbError error;
        m_reg = Register::create(path, QStringLiteral("2ª B"), &error);
        QVERIFY2(m_reg, qPrintable(error.message));
    }
    void cleanup() { m_reg.reset(); }

    void registerKeepsItsClass()
    {
        const QString path = m_reg->path();
        m_reg.reset();
        DbError error;
        m_reg = Register::open(path, &error);
        QVERIFY2(m_reg, qPrintable(error.message));
        QCOMPARE(m_reg->className(), QStringLiteral("2ª B"));
        // A second register of the same name is never made over the first.
        QVERIFY(!Register::create(path, QStringLiteral("altra"), &error));
        QVERIFY(error.isError());
    }

    void classFileInTheTeachersDataFolder_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("plain") << "3A" << "3A.sqlite";
        QTest::newRow("slash") << "3/A" << "3_A.sqlite";
        QTest::newRow("dot first") << "..x" << "_..x.sqlite";
        QTest::newRow("spaces") << "  2ª B  " << "2ª B.sqlite";
    }
    void classFileInTheTeachersDataFolder()
    {
        QFETCH(QString, className);
        QFETCH(QString, fileName);
        const QByteArray old = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        const QString path = Register::fileForClass(className);
        qputenv("XDG_DATA_HOME", old);
        QCOMPARE(path, m_dir.path() + QStringLiteral("/morvello/registri/") + fileName);
    }

    // Each row: what the computer saved, and what the register must hold
    // after the export is imported once and then again.
    void importTwiceAddsNothing_data()
    {
        QTest::addColumn<bool>("throughExport");
        QTest::addColumn<int>("visits");
        QTest::addColumn<int>("savesPerVisit");
        QTest::newRow("archive, one save each") << false << 3 << 1;
        QTest::newRow("archive, running totals") << false << 2 << 4;
        QTest::newRow("export, one save each") << true << 3 << 1;
        QTest::newRow("export, running totals") << true << 4 << 3;
    }
    void importTwiceAddsNothing()
    {
        QFETCH(bool, throughExport);
        QFETCH(int, visits);
        QFETCH(int, savesPerVisit);
        ClassroomComputer pc(file(QStringLiteral("testi1-%1.mdb").arg(QTest::currentDataTag())), QStringLiteral("pc-a"));
        QVERIFY(pc.ok());
        QVector<Score> saves;
        for (int s = 1; s <= savesPerVisit; ++s)
            saves << Score{double(s), double(savesPerVisit), 100.0 * s / savesPerVisit};
        for (int v = 0; v < visits; ++v)
            QVERIFY(pc.visit(QStringLiteral("ROSSI ANNA"), FieldGroup::Genette, saves, kStart.addDays(v)));
        QString source = pc.archive();
        if (throughExport) {
            source = file(QStringLiteral("disk-%1.mdb").arg(QTest::currentDataTag()));
            QVERIFY(pc.exportTo(source));
        }
        pc.close();
        const QByteArray before = test::bytesOf(source);

        const ImportOutcome first = importFile(*m_reg, source, kImported);
        QVERIFY2(first.imported, qPrintable(first.message));
        QCOMPARE(first.newRows, visits * savesPerVisit);
        QCOMPARE(first.tabtestiRows, 0);
        QCOMPARE(first.kind, throughExport ? ImportOutcome::Kind::Export : ImportOutcome::Kind::Archive);
        const ImportOutcome second = importFile(*m_reg, source, kImported);
        QVERIFY2(second.imported, qPrintable(second.message));
        QCOMPARE(second.newRows, 0);
        QCOMPARE(attempts(*m_reg), visits * savesPerVisit);
        QCOMPARE(test::bytesOf(source), before);

        const QVector<PupilLine> lines = classTable(*m_reg);
        QCOMPARE(lines.size(), 1);
        const GroupCell cell = lines.at(0).cells.at(groupIndex(QStringLiteral("genette")));
        QCOMPARE(cell.attempts, visits);
        QCOMPARE(cell.latest, 100.0);
        QCOMPARE(cell.lastMoment(), kStart.addDays(visits - 1).addSecs(60 * (savesPerVisit - 1)));
    }

    // One computer exports twice onto two disks; the second disk carries
    // everything of the first and more.
    void overlappingExports_data()
    {
        QTest::addColumn<bool>("olderFirst");
        QTest::addColumn<int>("newFromSecond");
        QTest::newRow("older disk first") << true << 2;
        QTest::newRow("newer disk first") << false << 0;
    }
    void overlappingExports()
    {
        QFETCH(bool, olderFirst);
        QFETCH(int, newFromSecond);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        ClassroomComputer pc(file(tag + QStringLiteral("-testi1.mdb")), QStringLiteral("pc-b"));
        QVERIFY(pc.visit(QStringLiteral("BIANCHI LUCA"), FieldGroup::Poesia, {{3, 5, 60}}, kStart));
        QVERIFY(pc.visit(QStringLiteral("VERDI ELSA"), FieldGroup::Poesia, {{4, 5, 80}}, kStart));
        const QString older = file(tag + QStringLiteral("-older.mdb"));
        const QString newer = file(tag + QStringLiteral("-newer.mdb"));
        QVERIFY(pc.exportTo(older));
        QVERIFY(pc.visit(QStringLiteral("BIANCHI LUCA"), FieldGroup::Poesia, {{5, 5, 100}}, kStart.addDays(7)));
        QVERIFY(pc.visit(QStringLiteral("NERI IVO"), FieldGroup::Figure, {{1, 5, 20}}, kStart.addDays(7)));
        QVERIFY(pc.exportTo(newer));
        // Exported twice onto one disk: its tabtesti rows are there twice.
        QVERIFY(pc.exportTo(newer));
        pc.close();

        const ImportOutcome a = importFile(*m_reg, olderFirst ? older : newer, kImported);
        const ImportOutcome b = importFile(*m_reg, olderFirst ? newer : older, kImported);
        QVERIFY2(a.imported && b.imported, qPrintable(a.message + b.message));
        QCOMPARE(b.newRows, newFromSecond);
        QCOMPARE(a.newRows + b.newRows, 4);
        QCOMPARE(attempts(*m_reg), 4);
        QCOMPARE(count(*m_reg, QStringLiteral("SELECT count(*) FROM tentativi WHERE storico = 0")), 0);
        QCOMPARE(count(*m_reg, QStringLiteral("SELECT count(*) FROM alunni")), 3);
    }

    // Files from before the history: each saved group of tabtesti is one
    // attempt, however often the export repeated the row.
    void preHistoryFile_data()
    {
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("pupils");
        QTest::newRow("exported once") << 1 << 3;
        QTest::newRow("exported three times") << 3 << 3;
        QTest::newRow("one pupil, twice") << 2 << 1;
    }
    void preHistoryFile()
    {
        QFETCH(int, times);
        QFETCH(int, pupils);
        QVector<test::OldRow> rows;
        for (int p = 0; p < pupils; ++p) {
            const QString name = QStringLiteral("ALUNNO %1").arg(p);
            rows << test::OldRow{name, FieldGroup::Espositivi, {4, 5, 80}, kStart.addDays(p)}
                 << test::OldRow{name, FieldGroup::Sequenze, {2, 4, 50}, kStart.addDays(p)}
                 << test::OldRow{name, FieldGroup::Aiuti, {1, 10, 10}, kStart.addDays(p)};
        }
        const QString disk = file(QStringLiteral("old-%1.mdb").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QVERIFY(test::writeOldExport(disk, rows, times));

        const ImportOutcome out = importFile(*m_reg, disk, kImported);
        QVERIFY2(out.imported, qPrintable(out.message));
        QCOMPARE(out.newRows, 3 * pupils);
        QCOMPARE(out.tabtestiRows, 3 * pupils);
        QCOMPARE(count(*m_reg, QStringLiteral("SELECT count(*) FROM tentativi WHERE storico = 0")), 3 * pupils);
        QCOMPARE(importFile(*m_reg, disk, kImported).newRows, 0);
        // The provenance says the rows had no history.
        const auto imports = test::tableRows(m_reg->database(), QStringLiteral("importazioni"));
        QCOMPARE(imports.size(), 2);
        QVERIFY(imports.at(0).at(6).toString().contains(QStringLiteral("tabtesti")));
        QVERIFY(imports.at(1).at(6).isNull());
        // The helps take the moment of the sequences saved with them.
        const QVector<PupilAttempt> list = attemptsOf(*m_reg, 0);
        for (const PupilAttempt &p : list)
            QVERIFY2(p.attempt.moment.isValid(), qPrintable(p.attempt.group));
    }

    // A computer that moved to the history keeps tabtesti groups saved
    // before it: those come in as attempts of their own, the rest by history.
    void archiveUpgradedMidTerm()
    {
        const QString disk = file(QStringLiteral("mixed.mdb"));
        QVERIFY(test::writeOldExport(disk, {{QStringLiteral("GIALLI PIA"), FieldGroup::Poesia, {1, 5, 20}, kStart}}));
        ClassroomComputer pc(file(QStringLiteral("mixed-testi1.mdb")), QStringLiteral("pc-c"));
        QVERIFY(pc.visit(QStringLiteral("GIALLI PIA"), FieldGroup::Genette, {{2, 2, 100}}, kStart.addDays(1)));
        // A percentage no decimal text holds exactly is still told as the
        // same save in the history and in tabtesti.
        QVERIFY(pc.visit(QStringLiteral("GIALLI PIA"), FieldGroup::Figure, {{1, 3, 100.0 / 3}}, kStart.addDays(2)));
        QVERIFY(pc.exportTo(disk));
        pc.close();
        const ImportOutcome out = importFile(*m_reg, disk, kImported);
        QVERIFY2(out.imported, qPrintable(out.message));
        QCOMPARE(out.newRows, 3);
        QCOMPARE(out.tabtestiRows, 1);
    }

    // Names a file holds in several spellings of one pupil: one pupil in
    // the register, and listed in the provenance for the teacher.
    void spellingsOfOnePupil_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("listed");
        QTest::newRow("all different") << QStringList{"ROSSI ANNA", "BIANCHI LUCA"} << 2 << 0;
        QTest::newRow("apostrophes") << QStringList{"D\u2019ANGELO SARA", "D'ANGELO SARA"} << 1 << 1;
        QTest::newRow("spaces and case") << QStringList{"rossi  anna", "ROSSI ANNA", "Rossi Anna "} << 1 << 1;
        QTest::newRow("two pupils, each twice")
            << QStringList{"D\u2019ANGELO SARA", "D'ANGELO SARA", "verdi ivo", "VERDI IVO"} << 2 << 2;
    }
    void spellingsOfOnePupil()
    {
        QFETCH(QStringList, names);
        QFETCH(int, pupils);
        QFETCH(int, listed);
        QVector<test::OldRow> rows;
        for (int i = 0; i < names.size(); ++i)
            rows << test::OldRow{names.at(i), FieldGroup::Poesia, {double(i), 5, 20.0 * i}, kStart.addDays(i)};
        const QString disk = file(QStringLiteral("spell-%1.mdb").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QVERIFY(test::writeOldExport(disk, rows, 2));
        const ImportOutcome out = importFile(*m_reg, disk, kImported);
        QVERIFY2(out.imported, qPrintable(out.message));
        QCOMPARE(count(*m_reg, QStringLiteral("SELECT count(*) FROM alunni")), pupils);
        QCOMPARE(out.newRows, names.size());
        QCOMPARE(out.spellings.size(), listed);
        const QString note = test::tableRows(m_reg->database(), QStringLiteral("importazioni")).at(0).at(6).toString();
        QCOMPARE(note.contains(QStringLiteral("nomi scritti in più modi")), listed > 0);
        for (const QString &line : out.spellings)
            QVERIFY2(note.contains(line), qPrintable(note));
    }

    void provenanceRecorded()
    {
        ClassroomComputer pc(file(QStringLiteral("prov-testi1.mdb")), QStringLiteral("c0ffee"));
        QVERIFY(pc.visit(QStringLiteral("ROSSI ANNA"), FieldGroup::Genette, {{1, 2, 50}, {2, 2, 100}}, kStart));
        const QString disk = file(QStringLiteral("prov-disk.mdb"));
        QVERIFY(pc.exportTo(disk));
        pc.close();
        QVERIFY(importFile(*m_reg, disk, kImported).imported);
        const auto imports = test::tableRows(m_reg->database(), QStringLiteral("importazioni"));
        QCOMPARE(imports.size(), 1);
        const QVector<QVariant> row = imports.at(0);
        QCOMPARE(row.at(1).toString(), QFileInfo(disk).absoluteFilePath());
        QCOMPARE(row.at(2).toString(), QStringLiteral("c0ffee"));
        QCOMPARE(row.at(3).toString(), QStringLiteral("2026-12-07 17:00:00"));
        QCOMPARE(row.at(4).toInt(), 2);
        QCOMPARE(row.at(5).toString(), QStringLiteral("esportazione"));
        QCOMPARE(count(*m_reg, QStringLiteral("SELECT count(*) FROM tentativi WHERE importazione = %1").arg(row.at(0).toInt())), 2);
    }

    // Straight from the lab server: every attempt once, however often the
    // teacher imports; a server that is not ours changes nothing.
    void importStraightFromTheServer()
    {
        MORVELLO_REQUIRE_SERVER(cluster);
        const QString archive = QStringLiteral("registro_server");
        QVERIFY2(cluster->makeArchive(archive), qPrintable(cluster->why()));
        {
            DbError e;
            auto db = Database::openServer(cluster->superuser(archive), &e);
            QVERIFY2(db, qPrintable(e.message));
            ResultsStore store(*db);
            store.setComputerId(QStringLiteral("aula3"));
            for (int i = 1; i <= 3; ++i)
                QVERIFY(!store.save(QStringLiteral("ROSSI ANNA"), {GroupValues{FieldGroup::Genette, i, 3, i * 33, {}}},
                                    kStart.addSecs(i))
                             .isError());
            QVERIFY(!store.save(QStringLiteral("VERDI LUCA"), {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, kStart).isError());
        }
        const ImportOutcome first = importServer(*m_reg, cluster->superuser(archive), kImported);
        QVERIFY2(first.imported, qPrintable(first.message));
        QCOMPARE(first.newRows, 4);
        QCOMPARE(first.computers, QStringList{QStringLiteral("aula3")});
        QCOMPARE(importServer(*m_reg, cluster->superuser(archive), kImported).newRows, 0);
        QCOMPARE(attempts(*m_reg), 4);
        const auto imports = test::tableRows(m_reg->database(), QStringLiteral("importazioni"));
        QCOMPARE(imports.size(), 2);
        QCOMPARE(imports.at(0).at(1).toString(), QStringLiteral("server registro_server"));

        const QString before = contentOf(*m_reg);
        QVERIFY(cluster->run({QStringLiteral("DROP DATABASE IF EXISTS magazzino"), QStringLiteral("CREATE DATABASE magazzino")}));
        const ImportOutcome foreign = importServer(*m_reg, cluster->superuser(QStringLiteral("magazzino")), kImported);
        QVERIFY(!foreign.imported);
        QVERIFY2(foreign.message.contains(QStringLiteral("altro programma")), qPrintable(foreign.message));
        QCOMPARE(contentOf(*m_reg), before);
    }

    // One register gathered into another brings its rows once.
    void registerIntoRegister()
    {
        ClassroomComputer pc(file(QStringLiteral("rr-testi1.mdb")), QStringLiteral("pc-d"));
        QVERIFY(pc.visit(QStringLiteral("D\u2019ANGELO SARA"), FieldGroup::Figure, {{3, 4, 75}}, kStart));
        pc.close();
        DbError error;
        auto other = Register::create(file(QStringLiteral("altro.sqlite")), QStringLiteral("altro"), &error);
        QVERIFY2(other, qPrintable(error.message));
        QVERIFY(importFile(*other, pc.archive(), kImported).imported);
        const QString otherPath = other->path();
        other.reset();
        QVERIFY(importFile(*m_reg, pc.archive(), kImported).imported);
        const ImportOutcome out = importFile(*m_reg, otherPath, kImported);
        QVERIFY2(out.imported, qPrintable(out.message));
        QCOMPARE(out.kind, ImportOutcome::Kind::Register);
        QCOMPARE(out.newRows, 0);
        QCOMPARE(attempts(*m_reg), 1);
        QCOMPARE(classTable(*m_reg).at(0).name, QStringLiteral("D'ANGELO SARA"));
    }

    // Files that must be refused whole, with a message naming them.
    void refusedFileChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("words");
        QTest::newRow("text file") << "text" << "non è stato importato";
        QTest::newRow("damaged archive") << "damaged" << "";
        QTest::newRow("foreign database") << "foreign" << "non è un archivio";
        QTest::newRow("tabtesti too narrow") << "narrow" << "non è un archivio";
        QTest::newRow("future archive") << "future" << "versione più recente";
        QTest::newRow("future register") << "futureRegister" << "versione più recente";
        QTest::newRow("missing") << "missing" << "non esiste";
        QTest::newRow("empty file") << "empty" << "";
    }
    void refusedFileChangesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, words);
        // Something in the register first, so that "nothing" is seen.
        ClassroomComputer pc(file(kind + QStringLiteral("-testi1.mdb")), QStringLiteral("pc-e"));
        QVERIFY(pc.visit(QStringLiteral("ROSSI ANNA"), FieldGroup::Genette, {{1, 1, 100}}, kStart));
        pc.close();
        QVERIFY(importFile(*m_reg, pc.archive(), kImported).imported);

        const QString bad = file(QStringLiteral("bad file ") + kind + QStringLiteral(".mdb"));
        if (kind == QLatin1String("text")) {
            QVERIFY(test::writeBytes(bad, "nome;voto\nROSSI;8\n"));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(test::writeBytes(bad, QByteArray()));
        } else if (kind == QLatin1String("damaged")) {
            ClassroomComputer big(bad, QStringLiteral("pc-f"));
            for (int i = 0; i < 200; ++i)
                QVERIFY(big.visit(QStringLiteral("ALUNNO %1").arg(i), FieldGroup::Genette, {{1, 1, 100}}, kStart));
            big.close();
            QByteArray bytes = test::bytesOf(bad);
            QVERIFY(bytes.size() > 8192);
            // Pages past the first overwritten: the header still says SQLite.
            for (int i = 4096; i < bytes.size(); i += 7)
                bytes[i] = char(0xA5);
            QVERIFY(test::writeBytes(bad, bytes));
        } else if (kind == QLatin1String("foreign") || kind == QLatin1String("narrow")) {
            const QString table = kind == QLatin1String("foreign") ? QStringLiteral("libri (titolo TEXT)")
                                                                   : QStringLiteral("tabtesti (nome TEXT, voto DOUBLE)");
            QVERIFY(Database::create(bad, {QStringLiteral("CREATE TABLE ") + table}));
        } else if (kind == QLatin1String("future")) {
            ClassroomComputer later(bad, QStringLiteral("pc-g"));
            QVERIFY(later.visit(QStringLiteral("NUOVO NOME"), FieldGroup::Genette, {{1, 1, 100}}, kStart));
            later.close();
            auto db = Database::open(bad);
            QVERIFY(db);
            QVERIFY(db->exec(QStringLiteral("PRAGMA user_version=99")));
            db->close();
        } else if (kind == QLatin1String("futureRegister")) {
            {
                auto later = Register::create(bad, QStringLiteral("dopo"));
                QVERIFY(later);
                QVERIFY(importFile(*later, pc.archive(), kImported).imported);
                QVERIFY(later->database().exec(QStringLiteral("PRAGMA user_version=99")));
            }
        }
        const QString before = contentOf(*m_reg);
        const QByteArray badBefore = test::bytesOf(bad);

        const ImportOutcome out = importFile(*m_reg, bad, kImported);
        QVERIFY(!out.imported);
        QCOMPARE(out.newRows, 0);
        QVERIFY2(out.message.contains(QDir::toNativeSeparators(QFileInfo(bad).absoluteFilePath())), qPrintable(out.message));
        QVERIFY2(out.message.contains(words), qPrintable(out.message));
        QCOMPARE(contentOf(*m_reg), before);
        QCOMPARE(test::bytesOf(bad), badBefore);
    }

    void folderHoldsTheImportableFiles()
    {
        QTemporaryDir disk;
        QDir(disk.path()).mkpath(QStringLiteral("pc1"));
        for (const QString &name : {QStringLiteral("pc1/exporttesti.mdb"), QStringLiteral("B.SQLITE"),
                                    QStringLiteral("note.txt"), QStringLiteral("a.db")})
            QVERIFY(test::writeBytes(disk.filePath(name), "x"));
        QCOMPARE(importableFiles(disk.path()),
                 (QStringList{disk.filePath(QStringLiteral("B.SQLITE")), disk.filePath(QStringLiteral("a.db")),
                              disk.filePath(QStringLiteral("pc1/exporttesti.mdb"))}));
    }

    // The class view's numbers kept by the register are those counted from
    // the attempts themselves, after imports, joins and an upgrade; a visit
    // exported half way is one attempt, its last save, whatever came first.
    void keptNumbersMatchTheAttempts_data()
    {
        QTest::addColumn<QString>("event");
        QTest::newRow("visit on two disks") << "split";
        QTest::newRow("newer disk first") << "newerFirst";
        QTest::newRow("joined") << "join";
        QTest::newRow("joined and separated") << "separate";
        QTest::newRow("register of the first version") << "upgrade";
    }
    void keptNumbersMatchTheAttempts()
    {
        QFETCH(QString, event);
        const QString anna = QStringLiteral("ROSSI ANNA");
        const QString maria = QStringLiteral("ROSSI ANNA MARIA");
        ClassroomComputer pc(file(event + QStringLiteral("-testi1.mdb")), QStringLiteral("pc-k"));
        const QString visit = QStringLiteral("visita-a-meta-") + event;
        QVERIFY(pc.visit(anna, FieldGroup::Poesia, {{9, 10, 90}}, kStart, visit));
        QVERIFY(pc.visit(maria, FieldGroup::Poesia, {{5, 10, 50}, {7, 10, 70}}, kStart.addDays(1)));
        QVERIFY(pc.visit(anna, FieldGroup::Genette, {{2, 2, 100}}, kStart.addDays(2)));
        const QString first = file(event + QStringLiteral("-1.mdb"));
        const QString second = file(event + QStringLiteral("-2.mdb"));
        QVERIFY(pc.exportTo(first));
        QVERIFY(pc.visit(anna, FieldGroup::Poesia, {{4, 10, 40}}, kStart.addDays(3), visit));
        QVERIFY(pc.visit(maria, FieldGroup::Poesia, {{2, 10, 20}}, kStart.addDays(4)));
        QVERIFY(pc.exportTo(second));
        pc.close();
        const bool newerFirst = event == QLatin1String("newerFirst");
        QVERIFY(importFile(*m_reg, newerFirst ? second : first, kImported).imported);
        QVERIFY(importFile(*m_reg, newerFirst ? first : second, kImported).imported);
        const auto idOf = [this](const QString &name) {
            for (const PupilLine &l : classTable(*m_reg))
                if (l.name == name)
                    return l.id;
            return qint64(0);
        };
        const qint64 mariaId = idOf(maria);
        if (event == QLatin1String("join") || event == QLatin1String("separate"))
            QVERIFY(!joinPupils(*m_reg, mariaId, idOf(anna)).isError());
        if (event == QLatin1String("separate"))
            QVERIFY(!separatePupil(*m_reg, mariaId).isError());
        if (event == QLatin1String("upgrade")) {
            // The first version had neither the numbers nor the flag.
            for (const QString &sql : {QStringLiteral("DROP TABLE riepilogo"), QStringLiteral("DROP TABLE nomi_segnalati"),
                                       QStringLiteral("ALTER TABLE tentativi DROP COLUMN ultimo"),
                                       QStringLiteral("PRAGMA user_version=1")})
                QVERIFY2(m_reg->database().exec(sql), qPrintable(sql));
            const QString path = m_reg->path();
            m_reg.reset();
            DbError error;
            m_reg = Register::open(path, &error);
            QVERIFY2(m_reg, qPrintable(error.message));
            QCOMPARE(count(*m_reg, QStringLiteral("PRAGMA user_version")), Register::kVersion);
        }

        const QVector<PupilLine> kept = classTable(*m_reg);
        const QVector<PupilLine> counted = classTable(*m_reg, QDate(2000, 1, 1), QDate(2100, 1, 1));
        QCOMPARE(kept.size(), counted.size());
        for (int p = 0; p < kept.size(); ++p) {
            for (int g = 0; g < kept.at(p).cells.size(); ++g) {
                const GroupCell a = kept.at(p).cells.at(g);
                const GroupCell b = counted.at(p).cells.at(g);
                const QString where = kept.at(p).name + QLatin1Char(' ') + resultGroups().at(g).columns[0];
                QVERIFY2(a.attempts == b.attempts && a.latest == b.latest && a.best == b.best && a.last == b.last,
                         qPrintable(where));
            }
        }
        const GroupCell poesia = kept.at(0).cells.at(groupIndex(QStringLiteral("poesia")));
        QCOMPARE(kept.at(0).name, anna);
        const bool joined = event == QLatin1String("join");
        QCOMPARE(poesia.attempts, joined ? 3 : 1);
        QCOMPARE(poesia.best, joined ? 70.0 : 40.0);
        QCOMPARE(poesia.latest, joined ? 20.0 : 40.0);
    }

    // The rows the pupil program flagged as look-alikes in its archive come
    // with the file, once however often imported, and on into another register.
    void flaggedNamesKept_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("exports");
        QTest::addColumn<QStringList>("flagged");
        QTest::newRow("apostrophes") << QStringList{"D\u2019ANGELO SARA", "D'ANGELO SARA", "ROSSI ANNA"} << 1
                                     << QStringList{"D'ANGELO SARA / D\u2019ANGELO SARA"};
        QTest::newRow("a tab, exported twice") << QStringList{"VERDI LUCA", "VERDI\tLUCA"} << 2
                                               << QStringList{"VERDI\tLUCA / VERDI LUCA"};
        QTest::newRow("one spelling each, exported thrice") << QStringList{"ROSSI ANNA", "BIANCHI LUCA"} << 3 << QStringList{};
    }
    void flaggedNamesKept()
    {
        QFETCH(QStringList, names);
        QFETCH(int, exports);
        QFETCH(QStringList, flagged);
        QVector<test::OldRow> rows;
        for (int i = 0; i < names.size(); ++i)
            rows << test::OldRow{names.at(i), FieldGroup::Poesia, {double(i), 5, 20.0 * i}, kStart.addDays(i)};
        const QString disk = file(QStringLiteral("flag-%1.mdb").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QVERIFY(test::writeOldExport(disk, rows, exports));
        const auto listed = [](Register &reg) {
            QStringList out;
            for (const FlaggedNames &f : flaggedNames(reg)) {
                out << f.names.join(QStringLiteral(" / "));
                if (f.pupils.size() != 1)
                    out << QStringLiteral("counted as %1 pupils").arg(f.pupils.size());
            }
            return out;
        };
        QCOMPARE(importFile(*m_reg, disk, kImported).flagged.size(), flagged.size());
        QVERIFY(importFile(*m_reg, disk, kImported).imported);
        QCOMPARE(listed(*m_reg), flagged);
        auto other = Register::create(file(QStringLiteral("other-") + disk.section(QLatin1Char('/'), -1) + QStringLiteral(".sqlite")), QStringLiteral("altra"));
        QVERIFY(other);
        QVERIFY(importFile(*other, m_reg->path(), kImported).imported);
        QCOMPARE(listed(*other), flagged);
    }

    // Attempts are the last save of a visit, per group, in time order; a
    // period leaves the others out.
    void classTableOverAPeriod_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<double>("latest");
        QTest::addColumn<double>("best");
        QTest::newRow("whole term") << QDate() << QDate() << 3 << 40.0 << 90.0;
        QTest::newRow("first week") << QDate(2026, 10, 5) << QDate(2026, 10, 11) << 2 << 90.0 << 90.0;
        QTest::newRow("from the second week") << QDate(2026, 10, 12) << QDate() << 1 << 40.0 << 40.0;
        QTest::newRow("before anything") << QDate() << QDate(2026, 9, 30) << 0 << 0.0 << 0.0;
        QTest::newRow("up to the first week") << QDate() << QDate(2026, 10, 11) << 2 << 90.0 << 90.0;
        QTest::newRow("the last day alone") << QDate(2026, 10, 13) << QDate(2026, 10, 13) << 1 << 40.0 << 40.0;
        QTest::newRow("after everything") << QDate(2027, 1, 1) << QDate() << 0 << 0.0 << 0.0;
    }
    void classTableOverAPeriod()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, attempts);
        QFETCH(double, latest);
        QFETCH(double, best);
        ClassroomComputer pc(file(QStringLiteral("period-%1.mdb").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'))),
                             QStringLiteral("pc-h"));
        QVERIFY(pc.visit(QStringLiteral("ROSSI ANNA"), FieldGroup::Sequenze, {{1, 4, 25}, {3, 4, 75}}, kStart));
        QVERIFY(pc.visit(QStringLiteral("ROSSI ANNA"), FieldGroup::Sequenze, {{9, 10, 90}}, kStart.addDays(2)));
        QVERIFY(pc.visit(QStringLiteral("ROSSI ANNA"), FieldGroup::Sequenze, {{4, 10, 40}}, kStart.addDays(8)));
        pc.close();
        QVERIFY(importFile(*m_reg, pc.archive(), kImported).imported);
        const GroupCell cell = classTable(*m_reg, from, to).at(0).cells.at(groupIndex(QStringLiteral("sequenze")));
        QCOMPARE(cell.attempts, attempts);
        QCOMPARE(cell.latest, latest);
        QCOMPARE(cell.best, best);
    }
};

QTEST_GUILESS_MAIN(TstRegisterImport)
#include "tst_registerimport.moc"
