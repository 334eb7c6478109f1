// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/classtable.h"
#include "register/register.h"
#include "register/registercsv.h"
#include "register/registerimport.h"
#include "support_classroom.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

namespace {

// The rows as Python's csv module reads the file, set for ";" and for the
// byte-order mark: what a spreadsheet program in an Italian locale does.
QVector<QStringList> readBack(const QByteArray &csv, QString *problem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size()) {
        *problem = QStringLiteral("cannot write");
        return {};
    }
    f.close();
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, delimiter=';', strict=True))))\n"),
                  path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        *problem = QString::fromUtf8(python.readAllStandardError());
        return {};
    }
    QVector<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << cell.toString();
        rows << cells;
    }
    return rows;
}

} // namespace

class TstRegisterCsv : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
            QFAIL("python3 is missing: ./morvello.sh installs it");
    }

    void fieldsComeBackAsWritten_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "ROSSI ANNA";
        QTest::newRow("accents") << "NICOLÒ CANTÙ ÈLIA";
        QTest::newRow("apostrophe") << "D'ANGELO SARA";
        QTest::newRow("quotes") << "ROSSI \"LA ROSSA\" ANNA";
        QTest::newRow("semicolon") << "ROSSI; ANNA";
        QTest::newRow("newline") << "ROSSI\nANNA";
        QTest::newRow("carriage return") << "ROSSI\r\nANNA";
        QTest::newRow("comma, decimal mark") << "3,5";
        QTest::newRow("only a quote") << "\"";
        QTest::newRow("empty") << "";
        QTest::newRow("leading spaces") << "  ROSSI";
    }
    void fieldsComeBackAsWritten()
    {
        QFETCH(QString, value);
        QString problem;
        const QVector<QStringList> rows =
            readBack(csvDocument({{QStringLiteral("a"), value, QStringLiteral("z")}, {value}}), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0), (QStringList{QStringLiteral("a"), value, QStringLiteral("z")}));
        QCOMPARE(rows.at(1), QStringList{value});
    }

    void documentStartsWithTheByteOrderMark()
    {
        const QByteArray csv = csvDocument({{QStringLiteral("è")}});
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QVERIFY(csv.endsWith("\r\n"));
    }

    // A class gathered from a computer, as the spreadsheet sees it.
    void classAndAttemptsFiles()
    {
        QTemporaryDir dir;
        test::ClassroomComputer pc(dir.filePath(QStringLiteral("testi1.mdb")), QStringLiteral("pc-1"));
        const QDateTime start(QDate(2026, 11, 3), QTime(8, 5, 0));
        QVERIFY(pc.visit(QStringLiteral("CANTÙ; \"NINA\""), FieldGroup::Genette, {{1, 2, 50}, {3, 4, 75}}, start));
        QVERIFY(pc.visit(QStringLiteral("CANTÙ; \"NINA\""), FieldGroup::Genette, {{1, 3, 33.3}}, start.addDays(1)));
        QVERIFY(pc.visit(QStringLiteral("ABATE\nLIA"), FieldGroup::Aiuti, {{2, 10, 20}}, start));
        pc.close();
        auto reg = Register::create(dir.filePath(QStringLiteral("r.sqlite")), QStringLiteral("3C"));
        QVERIFY(reg);
        QVERIFY(importFile(*reg, pc.archive(), start).imported);

        QString problem;
        const QVector<QStringList> cls = readBack(classCsv(classTable(*reg)), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(cls.size(), 3);
        QCOMPARE(cls.at(0).size(), 1 + 3 * 8);
        QCOMPARE(cls.at(0).at(0), QStringLiteral("Alunno"));
        // The name entry's own form: the line break is a space.
        QCOMPARE(cls.at(1).at(0), QStringLiteral("ABATE LIA"));
        QCOMPARE(cls.at(2).at(0), QStringLiteral("CANTÙ; \"NINA\""));
        const int genette = 1 + 3 * groupIndex(QStringLiteral("genette"));
        QCOMPARE(cls.at(2).mid(genette, 3), (QStringList{QStringLiteral("33,3"), QStringLiteral("75"), QStringLiteral("2")}));
        QCOMPARE(cls.at(1).mid(genette, 3), (QStringList{QString(), QString(), QStringLiteral("0")}));

        QBuffer attempts;
        QVERIFY(attempts.open(QIODevice::WriteOnly));
        QVERIFY(writeAttemptsCsv(*reg, attempts));
        const QVector<QStringList> all = readBack(attempts.data(), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(all.size(), 4);
        QCOMPARE(all.at(2), (QStringList{QStringLiteral("CANTÙ; \"NINA\""), QStringLiteral("Testi narrativi (concetti Génette)"),
                                         QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("75"),
                                         QStringLiteral("03/11/2026 08:06"), QStringLiteral("pc-1"), QStringLiteral("storia")}));
        QCOMPARE(all.at(3).mid(2, 4), (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("33,3"),
                                                   QStringLiteral("04/11/2026 08:05")}));
    }

    // Moments as the files keep them, shown the Italian way; anything the
    // program did not write as a moment is left empty, never guessed.
    void momentsShownTheItalianWay_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("history") << "2026-11-03 08:06:00.123" << "03/11/2026 08:06";
        QTest::newRow("tabtesti") << "2026-11-03 08:06:59" << "03/11/2026 08:06";
        QTest::newRow("with T, one decimal") << "2027-02-28T23:59:00.5" << "28/02/2027 23:59";
        QTest::newRow("no such day") << "2027-02-29 10:00:00" << "";
        QTest::newRow("no such hour") << "2026-11-03 24:00:00" << "";
        QTest::newRow("no seconds") << "2026-11-03 08:06" << "";
        QTest::newRow("four decimals") << "2026-11-03 08:06:00.1234" << "";
        QTest::newRow("a letter") << "2026-1a-03 08:06:00" << "";
        QTest::newRow("fixed text of the helps") << "(...)" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("an accented letter") << "2026-11-0è 08:06:00" << "";
    }
    void momentsShownTheItalianWay()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(italianMoment(stored), shown);
        QCOMPARE(italianMoment(QByteArrayView(stored.toUtf8())), shown.toLatin1()); // as the CSV reads it
    }
};

QTEST_GUILESS_MAIN(TstRegisterCsv)
#include "tst_registercsv.moc"
