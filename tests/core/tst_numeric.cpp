// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/numeric.h"

#include <QtTest>

using namespace morvello;

class TestNumeric : public QObject
{
    Q_OBJECT
private slots:
    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("integer") << 80.0 << "80";
        QTest::newRow("large integer") << 123456789.0 << "123456789";
        QTest::newRow("fraction") << 2.5 << "2.5";
        QTest::newRow("negative") << -4.0 << "-4";
    }
    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(morvello::numberText(value), text);
    }

    void toInt16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("half to even down") << 2.5 << 2;
        QTest::newRow("half to even up") << 3.5 << 4;
        QTest::newRow("negative half") << -2.5 << -2;
        QTest::newRow("nearest") << 7.6 << 8;
        QTest::newRow("clamped high") << 1e9 << 32767;
        QTest::newRow("clamped low") << -1e9 << -32768;
    }
    void toInt16()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(int(morvello::toInt16(value)), expected);
    }

    void percentuale_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("expected");
        QTest::newRow("all right of 97 is 100, not 99") << 97 << 97 << 100;
        QTest::newRow("all right of 6 is 100, not 96") << 6 << 6 << 100;
        QTest::newRow("truncated, not rounded") << 2 << 3 << 66;
        QTest::newRow("six of eight") << 6 << 8 << 75;
        QTest::newRow("eight of ten") << 8 << 10 << 80;
        QTest::newRow("none right") << 0 << 5 << 0;
        QTest::newRow("no answers") << 0 << 0 << 0;
    }
    void percentuale()
    {
        QFETCH(int, right);
        QFETCH(int, total);
        QFETCH(int, expected);
        QCOMPARE(morvello::percentuale(right, total), expected);
    }

    void percentualeIsExactForEveryTotal()
    {
        for (int total = 1; total <= 500; ++total) {
            QCOMPARE(morvello::percentuale(total, total), 100);
            for (int right = 0; right <= total; right += 7)
                QVERIFY(morvello::percentuale(right, total) * total <= 100 * right);
        }
    }
};

QTEST_APPLESS_MAIN(TestNumeric)
#include "tst_numeric.moc"
