#include "core/datapaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

class TestDataPaths : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    void touch(const QString &rel)
    {
        const QString p = m_dir.filePath(rel);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        touch(QStringLiteral("permorvello/testi1.mdb"));
        touch(QStringLiteral("permorvello/genette/Voce1.RTF"));
        touch(QStringLiteral("permorvello/giusto.jpg"));
    }

    void resolves_data()
    {
        QTest::addColumn<QString>("windowsPath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("capital folder") << "Permorvello\\testi1.mdb" << "permorvello/testi1.mdb";
        QTest::newRow("nested, case differs") << "permorvello\\genette\\voce1.rtf" << "permorvello/genette/Voce1.RTF";
        QTest::newRow("forward slashes too") << "permorvello/giusto.jpg" << "permorvello/giusto.jpg";
        QTest::newRow("doubled separator") << "permorvello\\\\giusto.jpg" << "permorvello/giusto.jpg";
        QTest::newRow("missing file keeps its name") << "PERMORVELLO\\nuovo.mdb" << "permorvello/nuovo.mdb";
        QTest::newRow("missing folder keeps the rest") << "altro\\Testi1.mdb" << "altro/Testi1.mdb";
    }
    void resolves()
    {
        QFETCH(QString, windowsPath);
        QFETCH(QString, expected);
        QCOMPARE(resolveDataPath(windowsPath, m_dir.path()), QDir::cleanPath(m_dir.filePath(expected)));
    }

    void existence()
    {
        QVERIFY(dataPathExists(QStringLiteral("PERMORVELLO\\GENETTE\\VOCE1.rtf"), m_dir.path()));
        QVERIFY(!dataPathExists(QStringLiteral("permorvello\\genette\\voce2.rtf"), m_dir.path()));
    }

    void absolutePathsStayAbsolute()
    {
        const QString abs = m_dir.filePath(QStringLiteral("PERMORVELLO/GIUSTO.JPG"));
        QCOMPARE(resolveDataPath(abs), m_dir.filePath(QStringLiteral("permorvello/giusto.jpg")));
    }
};

QTEST_APPLESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
