// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/progress.h"
#include "register/register.h"
#include "register/reportcontent.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

Q_DECLARE_METATYPE(QVector<double>)
Q_DECLARE_METATYPE(QVector<int>)

namespace {

// "genette 2026-10-05 80" or "genette 2026-10-05 -/7/10" (no percentage,
// right/total) or "genette - 50" (no moment).
PupilAttempt attemptFrom(const QString &line)
{
    const QStringList f = line.split(QLatin1Char(' '));
    PupilAttempt pa;
    pa.pupil = QStringLiteral("ROSSI ADA");
    pa.attempt.group = f.at(0);
    if (f.at(1) != QLatin1String("-"))
        pa.attempt.moment = QDateTime::fromString(f.at(1), Qt::ISODate);
    const QStringList v = f.at(2).split(QLatin1Char('/'));
    if (v.at(0) != QLatin1String("-"))
        pa.attempt.percent = v.at(0).toDouble();
    if (v.size() == 3) {
        pa.attempt.count = v.at(1).toDouble();
        pa.attempt.total = v.at(2).toDouble();
    }
    return pa;
}

} // namespace

class TstRegisterProgress : public QObject
{
    Q_OBJECT

private slots:
    // Each group's points in time order, whatever order the rows came in;
    // what cannot be placed on the chart is counted, not drawn.
    void progressPerGroup_data()
    {
        QTest::addColumn<QStringList>("attempts");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QVector<double>>("percents");
        QTest::addColumn<int>("unplaced");
        QTest::newRow("in order") << QStringList{"genette 2026-10-01T09:00 40", "genette 2026-10-08T09:00 60"}
                                  << "genette" << QVector<double>{40, 60} << 0;
        QTest::newRow("a late computer's rows imported last")
            << QStringList{"genette 2026-10-08T09:00 60", "genette 2026-11-02T10:00 90", "genette 2026-10-01T09:00 40"}
            << "genette" << QVector<double>{40, 60, 90} << 0;
        QTest::newRow("other groups kept apart")
            << QStringList{"espositivi 2026-10-02T09:00 10", "genette 2026-10-03T09:00 70", "espositivi 2026-10-01T09:00 30"}
            << "espositivi" << QVector<double>{30, 10} << 0;
        QTest::newRow("percentage from right and total") << QStringList{"genette 2026-10-01T09:00 -/7/10"} << "genette"
                                                         << QVector<double>{70} << 0;
        QTest::newRow("no moment, no numbers, unknown group")
            << QStringList{"genette - 50", "genette 2026-10-01T09:00 -/3/0", "sconosciuto 2026-10-01T09:00 50",
                           "genette 2026-10-02T09:00 55"}
            << "genette" << QVector<double>{55} << 3;
        QTest::newRow("outside the scale kept on it")
            << QStringList{"genette 2026-10-01T09:00 130", "genette 2026-10-02T09:00 -20"} << "genette"
            << QVector<double>{100, 0} << 0;
    }
    void progressPerGroup()
    {
        QFETCH(QStringList, attempts);
        QFETCH(QString, group);
        QFETCH(QVector<double>, percents);
        QFETCH(int, unplaced);
        QVector<PupilAttempt> list;
        for (const QString &a : attempts)
            list << attemptFrom(a);
        const PupilProgress p = pupilProgress(list);
        QCOMPARE(p.groups.size(), 8);
        const QVector<ProgressPoint> &points = p.groups.at(groupIndex(group));
        QVector<double> got;
        for (int i = 0; i < points.size(); ++i) {
            got << points.at(i).percent;
            if (i > 0)
                QVERIFY(points.at(i - 1).moment <= points.at(i).moment);
        }
        QCOMPARE(got, percents);
        QCOMPARE(p.unplaced, unplaced);
    }

    void periodKeepsDaysBothEnds_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("kept");
        QTest::newRow("open") << QDate() << QDate() << 4;
        QTest::newRow("both ends included") << QDate(2026, 10, 1) << QDate(2026, 10, 8) << 2;
        QTest::newRow("from only") << QDate(2026, 10, 2) << QDate() << 1;
        QTest::newRow("to only, no moment left out") << QDate() << QDate(2026, 10, 7) << 2;
    }
    void periodKeepsDaysBothEnds()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, kept);
        const QVector<PupilAttempt> list{attemptFrom("genette 2026-10-01T00:00 1"), attemptFrom("genette 2026-10-08T23:59 2"),
                                         attemptFrom("genette 2026-09-30T23:59 3"), attemptFrom("genette - 4")};
        // The attempt without a moment only stays when no period is asked.
        QCOMPARE(int(attemptsInPeriod(list, from, to).size()), kept);
    }

    void bands_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("band");
        QTest::newRow("0") << 0.0 << 0;
        QTest::newRow("19.9") << 19.9 << 0;
        QTest::newRow("20") << 20.0 << 1;
        QTest::newRow("79.9 as the class view prints it") << 79.9 << 3;
        QTest::newRow("80") << 80.0 << 4;
        QTest::newRow("100") << 100.0 << 4;
        QTest::newRow("below 0") << -5.0 << 0;
        QTest::newRow("above 100") << 150.0 << 4;
    }
    void bands()
    {
        QFETCH(double, percent);
        QFETCH(int, band);
        QCOMPARE(bandOf(percent), band);
    }

    // Pupils without an attempt in a group are not counted in it.
    void bandCountsLeaveOutUntried()
    {
        QVector<PupilLine> lines(3);
        for (PupilLine &l : lines)
            l.cells.resize(8);
        lines[0].cells[7] = GroupCell{2, 85, 90, {}};
        lines[1].cells[7] = GroupCell{1, 10, 10, {}};
        lines[2].cells[0] = GroupCell{1, 50, 50, {}};
        const QVector<QVector<int>> counts = bandCounts(lines);
        QCOMPARE(counts.at(7), (QVector<int>{1, 0, 0, 0, 1}));
        QCOMPARE(counts.at(0), (QVector<int>{0, 0, 1, 0, 0}));
        QCOMPARE(counts.at(3), (QVector<int>{0, 0, 0, 0, 0}));
    }

    // Where a table's pages start; a row is never cut.
    void pagination_data()
    {
        QTest::addColumn<QVector<double>>("rows");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("page");
        QTest::addColumn<QVector<int>>("starts");
        QTest::newRow("no rows") << QVector<double>{} << 100.0 << 100.0 << QVector<int>{};
        QTest::newRow("all on the first") << QVector<double>{10, 10, 10} << 30.0 << 100.0 << QVector<int>{0};
        QTest::newRow("the row that does not fit moves whole")
            << QVector<double>{10, 10, 10} << 25.0 << 100.0 << QVector<int>{0, 2};
        QTest::newRow("later pages fuller than the first")
            << QVector<double>{10, 10, 10, 10, 10, 10} << 15.0 << 20.0 << QVector<int>{0, 1, 3, 5};
        QTest::newRow("a tall row in the middle") << QVector<double>{10, 40, 10} << 30.0 << 50.0 << QVector<int>{0, 1};
        QTest::newRow("a row taller than a page gets one of its own")
            << QVector<double>{10, 80, 10} << 50.0 << 50.0 << QVector<int>{0, 1, 2};
    }
    void pagination()
    {
        QFETCH(QVector<double>, rows);
        QFETCH(double, first);
        QFETCH(double, page);
        QFETCH(QVector<int>, starts);
        QCOMPARE(paginate(rows, first, page), starts);
    }

    void periodWords_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("text");
        QTest::newRow("both") << QDate(2026, 9, 1) << QDate(2026, 12, 31) << "dal 01/09/2026 al 31/12/2026";
        QTest::newRow("from") << QDate(2026, 9, 1) << QDate() << "dal 01/09/2026";
        QTest::newRow("to") << QDate() << QDate(2027, 6, 10) << "fino al 10/06/2027";
        QTest::newRow("open") << QDate() << QDate() << "tutto il registro";
    }
    void periodWords()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, text);
        QCOMPARE(periodText(from, to), text);
    }

    // The school's name stays in the register file for the next reports.
    void schoolNameKeptInTheRegister()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("3C.sqlite"));
        {
            auto reg = Register::create(file, QStringLiteral("3C"));
            QVERIFY(reg);
            QCOMPARE(schoolName(*reg), QString());
            QVERIFY(!setSchoolName(*reg, QStringLiteral("  Istituto   \"Dante\"; sede  ")).isError());
            QVERIFY(!setSchoolName(*reg, QStringLiteral("Scuola media \"L'Aquilone\"; sede nord")).isError());
        }
        auto reg = Register::open(file);
        QVERIFY(reg);
        QCOMPARE(schoolName(*reg), QStringLiteral("Scuola media \"L'Aquilone\"; sede nord"));
        QCOMPARE(reg->className(), QStringLiteral("3C"));
    }
};

QTEST_GUILESS_MAIN(TstRegisterProgress)
#include "tst_registerprogress.moc"
