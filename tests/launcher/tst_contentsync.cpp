#include "launcher/contentsync.h"
#include "testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;
using morvello::test::bytesOf;

Q_DECLARE_METATYPE(morvello::SyncEntry::Outcome)

namespace {

QByteArray sum(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// Writes a file, making its folders.
bool writeBytes(const QString &path, const QByteArray &data)
{
    return QDir().mkpath(QFileInfo(path).absolutePath()) && morvello::test::writeBytes(path, data);
}

QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

class TestContentSync : public QObject
{
    Q_OBJECT

private slots:
    void dataHome_data()
    {
        QTest::addColumn<QString>("morvelloDir");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected"); // best first, '|' between
        QTest::newRow("technician's folder first") << "/srv/aula3/" << "/home/ada/.dati" << "/home/ada"
                                                   << "/srv/aula3|/home/ada/.dati/morvello";
        QTest::newRow("technician's folder, relative to home") << "morvello-aula" << "" << "/home/ada"
                                                               << "/home/ada/morvello-aula|/home/ada/.local/share/morvello";
        QTest::newRow("technician's folder is the default") << "/home/ada/.local/share/morvello" << "" << "/home/ada"
                                                            << "/home/ada/.local/share/morvello";
        QTest::newRow("technician's folder, no home") << "/srv/aula3" << "" << "" << "/srv/aula3";
        QTest::newRow("empty MORVELLO_DIR counts as unset") << "" << "/home/ada/.dati" << "/home/ada" << "/home/ada/.dati/morvello";
        QTest::newRow("XDG data home") << "" << "/var/dati//ada" << "/home/ada" << "/var/dati/ada/morvello";
        QTest::newRow("relative XDG data home ignored") << "" << "dati" << "/home/ada" << "/home/ada/.local/share/morvello";
        QTest::newRow("default below home") << "" << "" << "/home/ada" << "/home/ada/.local/share/morvello";
        QTest::newRow("no home at all") << "" << "" << "" << "";
    }
    void dataHome()
    {
        QFETCH(QString, morvelloDir);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QProcessEnvironment env;
        if (!morvelloDir.isNull())
            env.insert(QStringLiteral("MORVELLO_DIR"), morvelloDir);
        if (!xdgDataHome.isEmpty())
            env.insert(QStringLiteral("XDG_DATA_HOME"), xdgDataHome);
        if (!home.isEmpty())
            env.insert(QStringLiteral("HOME"), home);
        QCOMPARE(dataHomes(env).join(QLatin1Char('|')), expected);
    }

    void layoutFromLauncherFolder()
    {
        const InstallLayout l = installLayoutFor(QStringLiteral("/tmp/radice/usr/bin"));
        QCOMPARE(l.program, QStringLiteral("/tmp/radice/usr/lib/morvello/morvello"));
        QCOMPARE(l.shippedContent, QStringLiteral("/tmp/radice/usr/share/morvello/permorvello"));
    }

    // One shipped file against what the user's data folder holds.
    // present: the file's name there ("" when absent); "<cartella>" as its
    // bytes makes it a folder. recorded: what the copy record says of it.
    void rules_data()
    {
        QTest::addColumn<QString>("shipped");
        QTest::addColumn<QString>("present");
        QTest::addColumn<QByteArray>("presentBytes");
        QTest::addColumn<QString>("recorded"); // "", "present", "other", "damaged"
        QTest::addColumn<SyncEntry::Outcome>("outcome");
        QTest::addColumn<QByteArray>("after"); // the bytes there afterwards; null: still absent

        const QByteArray v2("versione 2");
        QTest::newRow("missing") << "LEGGIMI.txt" << "" << QByteArray() << "" << SyncEntry::Copied << v2;
        QTest::newRow("missing, in a subfolder") << "genette/voce1.rtf" << "" << QByteArray() << "" << SyncEntry::Copied << v2;
        QTest::newRow("already the shipped file") << "LEGGIMI.txt" << "LEGGIMI.txt" << v2 << "" << SyncEntry::Current << v2;
        QTest::newRow("older shipped copy") << "LEGGIMI.txt" << "LEGGIMI.txt" << QByteArray("versione 1") << "present"
                                            << SyncEntry::Updated << v2;
        QTest::newRow("older shipped copy, name in other case")
            << "genette/voce1.rtf" << "Genette/VOCE1.RTF" << QByteArray("versione 1") << "present" << SyncEntry::Updated << v2;
        QTest::newRow("changed by a teacher") << "LEGGIMI.txt" << "LEGGIMI.txt" << QByteArray("la mia versione") << "other"
                                              << SyncEntry::KeptChanged << QByteArray("la mia versione");
        QTest::newRow("differs, never copied by us") << "LEGGIMI.txt" << "LEGGIMI.txt" << QByteArray("la mia versione") << ""
                                                     << SyncEntry::KeptChanged << QByteArray("la mia versione");
        QTest::newRow("damaged record keeps the file") << "LEGGIMI.txt" << "LEGGIMI.txt" << QByteArray("versione 1")
                                                       << "damaged" << SyncEntry::KeptChanged << QByteArray("versione 1");
        QTest::newRow("emptied by a teacher") << "LEGGIMI.txt" << "LEGGIMI.txt" << QByteArray("") << "other"
                                              << SyncEntry::KeptChanged << QByteArray("");
        QTest::newRow("archive present") << "testi1.mdb" << "testi1.mdb" << QByteArray("archivio della classe") << "present"
                                         << SyncEntry::Skipped << QByteArray("archivio della classe");
        QTest::newRow("archive missing") << "testi1.mdb" << "" << QByteArray() << "" << SyncEntry::Skipped << QByteArray();
        QTest::newRow("export template, other case") << "exporttesti.mdb" << "ExportTesti.MDB" << QByteArray("modello")
                                                     << "" << SyncEntry::Skipped << QByteArray("modello");
        QTest::newRow("archive journal") << "testi1.mdb-journal" << "" << QByteArray() << "" << SyncEntry::Skipped << QByteArray();
        QTest::newRow("a folder in the way") << "LEGGIMI.txt" << "LEGGIMI.txt" << QByteArray("<cartella>") << ""
                                             << SyncEntry::KeptChanged << QByteArray();
        QTest::newRow("a file in the way of a folder") << "genette/voce1.rtf" << "genette" << QByteArray("un file") << ""
                                                       << SyncEntry::Failed << QByteArray("un file");
    }
    void rules()
    {
        QFETCH(QString, shipped);
        QFETCH(QString, present);
        QFETCH(QByteArray, presentBytes);
        QFETCH(QString, recorded);
        QFETCH(SyncEntry::Outcome, outcome);
        QFETCH(QByteArray, after);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString content = dir.filePath(QStringLiteral("usr/share/morvello/permorvello"));
        const QString home = dir.filePath(QStringLiteral("home"));
        const QByteArray v2("versione 2");
        QVERIFY(writeBytes(content + QLatin1Char('/') + shipped, v2));
        QVERIFY(QDir().mkpath(home));

        const QString there = home + QStringLiteral("/permorvello/") + (present.isEmpty() ? shipped : present);
        if (!present.isEmpty()) {
            if (presentBytes == "<cartella>")
                QVERIFY(QDir().mkpath(there));
            else
                QVERIFY(writeBytes(there, presentBytes));
        }
        QByteArray record;
        if (recorded == QLatin1String("present"))
            record = sum(presentBytes) + '\t' + shipped.toUtf8() + '\n';
        else if (recorded == QLatin1String("other"))
            record = sum("versione 1") + '\t' + shipped.toUtf8() + '\n';
        else if (recorded == QLatin1String("damaged"))
            record = sum(presentBytes).left(40) + '\t' + shipped.toUtf8() + '\n';
        if (!record.isEmpty())
            QVERIFY(writeBytes(home + QLatin1Char('/') + copyRecordName(), record));
        const QStringList filesBefore = filesBelow(home + QStringLiteral("/permorvello"));

        const SyncReport report = syncShippedContent(content, home);
        QCOMPARE(report.entries.size(), 1);
        QCOMPARE(report.entries.first().path, shipped);
        QCOMPARE(report.entries.first().outcome, outcome);
        QCOMPARE(report.ok(), outcome != SyncEntry::Failed);
        if (after.isNull()) {
            QVERIFY(!QFileInfo(there).isFile());
        } else {
            QVERIFY(QFileInfo(there).isFile());
            QCOMPARE(bytesOf(there), after);
        }
        // A file found under another letter case is that file, not a twin.
        if (!present.isEmpty() && outcome != SyncEntry::Failed)
            QCOMPARE(filesBelow(home + QStringLiteral("/permorvello")), filesBefore);

        // What was copied is recorded as ours; a teacher's file stays unrecorded.
        const QByteArray recordAfter = bytesOf(home + QLatin1Char('/') + copyRecordName());
        const bool ours = outcome == SyncEntry::Copied || outcome == SyncEntry::Updated || outcome == SyncEntry::Current;
        QCOMPARE(recordAfter.contains(sum(v2) + '\t' + shipped.toUtf8()), ours);

        // A second start changes nothing more.
        const SyncReport again = syncShippedContent(content, home);
        const SyncEntry::Outcome settled = ours ? SyncEntry::Current : outcome;
        QCOMPARE(again.entries.first().outcome, settled);
        if (!after.isNull())
            QCOMPARE(bytesOf(there), after);
    }

    // Two package versions in a row over the same data folder.
    void updateKeepsTeacherFilesAndArchive()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString content = dir.filePath(QStringLiteral("share/permorvello"));
        const QString home = dir.filePath(QStringLiteral("dati"));
        QVERIFY(QDir().mkpath(home));
        QVERIFY(writeBytes(content + QStringLiteral("/LEGGIMI.txt"), "uno"));
        QVERIFY(writeBytes(content + QStringLiteral("/genette/voce1.rtf"), "uno"));
        QVERIFY(writeBytes(content + QStringLiteral("/genette/voce2.rtf"), "uno"));
        QVERIFY(syncShippedContent(content, home).ok());

        const QString data = home + QStringLiteral("/permorvello");
        QVERIFY(writeBytes(data + QStringLiteral("/genette/voce2.rtf"), "dell'insegnante"));
        QVERIFY(writeBytes(data + QStringLiteral("/testi1.mdb"), QByteArray("archivio\0\x01\xff", 11)));

        for (const QString &name : {QStringLiteral("LEGGIMI.txt"), QStringLiteral("genette/voce1.rtf"), QStringLiteral("genette/voce2.rtf")})
            QVERIFY(writeBytes(content + QLatin1Char('/') + name, "due"));
        QVERIFY(writeBytes(content + QStringLiteral("/poesia/nuova.rtf"), "due"));
        const SyncReport report = syncShippedContent(content, home);
        QVERIFY2(report.ok(), qPrintable(report.errors.join(QLatin1Char('\n'))));

        QCOMPARE(report.outcomeOf(QStringLiteral("LEGGIMI.txt")), SyncEntry::Updated);
        QCOMPARE(report.outcomeOf(QStringLiteral("genette/voce1.rtf")), SyncEntry::Updated);
        QCOMPARE(report.outcomeOf(QStringLiteral("genette/voce2.rtf")), SyncEntry::KeptChanged);
        QCOMPARE(report.outcomeOf(QStringLiteral("poesia/nuova.rtf")), SyncEntry::Copied);
        QCOMPARE(bytesOf(data + QStringLiteral("/genette/voce1.rtf")), QByteArray("due"));
        QCOMPARE(bytesOf(data + QStringLiteral("/genette/voce2.rtf")), QByteArray("dell'insegnante"));
        QCOMPARE(bytesOf(data + QStringLiteral("/testi1.mdb")), QByteArray("archivio\0\x01\xff", 11));
    }

    void missingShippedContentStillMakesTheDataFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const SyncReport report = syncShippedContent(dir.filePath(QStringLiteral("non-esiste")), dir.path());
        QCOMPARE(report.errors.size(), 1);
        QVERIFY(report.errors.first().startsWith(QStringLiteral("Manca il contenuto del programma")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("permorvello"))).isDir());
    }
};

QTEST_APPLESS_MAIN(TestContentSync)
#include "tst_contentsync.moc"
