// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/chiedinome.h"
#include "testsupport.h"

#include <QtTest>

using namespace morvello;
using namespace morvello::test;

class TestChiediNome : public QObject
{
    Q_OBJECT
private slots:
    void normalises_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "rossi mario" << "ROSSI MARIO";
        QTest::newRow("spaces around and inside") << "   Rossi    Mario   " << "ROSSI MARIO";
        QTest::newRow("seven spaces collapse to one") << QString("rossi" + QString(7, ' ') + "mario") << "ROSSI MARIO";
        QTest::newRow("thirteen spaces collapse to one") << QString("rossi" + QString(13, ' ') + "mario") << "ROSSI MARIO";
        QTest::newRow("apostrophe kept") << "d'angelo anna maria" << "D'ANGELO ANNA MARIA";
        QTest::newRow("tab is a space") << "rossi\tmario" << "ROSSI MARIO";
        QTest::newRow("accents upper-cased") << QString::fromUtf8("niccolò è") << QString::fromUtf8("NICCOLÒ È");
        QTest::newRow("spaces only are the guest") << "     " << "Ospite";
        QTest::newRow("empty answer is the guest") << "" << "Ospite";
        // Names that look the same are one name, whatever keyboard typed them.
        const QString nicolo = QString::fromUtf8("NICOLÒ BIANCHI");
        QTest::newRow("composed accent") << QString::fromUtf8("nicol\u00f2 bianchi") << nicolo;
        QTest::newRow("decomposed accent") << QString::fromUtf8("nicolo\u0300 bianchi") << nicolo;
        QTest::newRow("decomposed capital") << QString::fromUtf8("NICOLO\u0300 BIANCHI") << nicolo;
        QTest::newRow("no-break space") << QString::fromUtf8("rossi\u00a0mario") << "ROSSI MARIO";
        QTest::newRow("ideographic space") << QString::fromUtf8("rossi\u3000mario") << "ROSSI MARIO";
        QTest::newRow("thin and narrow spaces") << QString::fromUtf8("rossi\u2009\u202fmario\u2003") << "ROSSI MARIO";
        QTest::newRow("tab, newline and spaces") << "\t rossi \t\n mario\r\n" << "ROSSI MARIO";
        QTest::newRow("zero-width characters") << QString::fromUtf8("ro\u200bssi\u200c ma\u200drio\u2060\ufeff") << "ROSSI MARIO";
        QTest::newRow("control characters") << QString::fromUtf8("ros\u0007si\u0001 ma\u001brio\u007f") << "ROSSI MARIO";
        QTest::newRow("bidirectional marks") << QString::fromUtf8("\u200frossi\u200e mario") << "ROSSI MARIO";
        QTest::newRow("half an emoji") << (QStringLiteral("rossi ") + QChar(0xd83d) + QStringLiteral(" mario ") + QChar(0xde00)) << "ROSSI MARIO";
        QTest::newRow("whole emoji kept") << QString::fromUtf8("rossi \U0001F600") << QString::fromUtf8("ROSSI \U0001F600");
        QTest::newRow("only invisible characters are the guest") << QString::fromUtf8("\u200b\u00a0\t\ufeff") << "Ospite";
        QTest::newRow("typographic apostrophe") << QString::fromUtf8("d\u2019angelo anna") << "D'ANGELO ANNA";
        QTest::newRow("modifier letter apostrophe") << QString::fromUtf8("D\u02bcANGELO ANNA") << "D'ANGELO ANNA";
        QTest::newRow("fillers that draw nothing") << QString::fromUtf8("ros\u034fsi\u3164 mario\u2800\ufe0f") << "ROSSI MARIO";
        QTest::newRow("emoji presentation selector dropped") << QString::fromUtf8("rossi \u2764\ufe0f") << QString::fromUtf8("ROSSI \u2764");
        QTest::newRow("only fillers are the guest") << QString::fromUtf8("\u3164\u2800") << "Ospite";
        QTest::newRow("only a no-break space is the guest") << QString::fromUtf8("\u00a0") << "Ospite";
        // The 255-character limit falls between whole characters.
        const QString a254(254, QLatin1Char('a'));
        const QString emoji = QString::fromUtf8("\U0001F600");
        QTest::newRow("cut before an emoji it would halve") << a254 + emoji + "bb" << a254.toUpper();
        QTest::newRow("emoji ending at the limit kept") << QString(253, 'a') + emoji + "b" << QString(253, 'A') + emoji;
        QTest::newRow("cut before a letter and its accent") << a254 + "e\u0301\u0301x"
                                                            << a254.toUpper();
        QTest::newRow("cut before a flag") << a254 + QString::fromUtf8("\U0001F1EE\U0001F1F9") << a254.toUpper();
    }
    void normalises()
    {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        QCOMPARE(nomeDaRisposta(answer, false), expected);
    }

    void cancelIsTheGuest()
    {
        QCOMPARE(nomeDaRisposta(QStringLiteral("rossi"), true), QStringLiteral("Ospite"));
    }

    void twentyWordsKeptMoreDropped()
    {
        QStringList words;
        for (int i = 1; i <= 25; ++i)
            words << QStringLiteral("w%1").arg(i);
        const QString twenty = words.mid(0, 20).join(' ');
        QCOMPARE(nomeDaRisposta(twenty, false), twenty.toUpper());
        QCOMPARE(nomeDaRisposta(words.join("  "), false), twenty.toUpper());
    }

    void longAnswerLimited()
    {
        const QString longName(1000, QLatin1Char('a'));
        QCOMPARE(nomeDaRisposta(longName, false).size(), 255);
        // What is kept is always whole text, whatever falls at the limit.
        for (int lead = 240; lead < 260; ++lead) {
            const QString name = nomeDaRisposta(QString(lead, QLatin1Char('a'))
                                                    + QString::fromUtf8("\U0001F600\u00e8\u0301\U0001F1EE\U0001F1F9").repeated(8),
                                                false);
            QVERIFY(name.size() <= 255);
            QVERIFY2(name.toUtf8() == QString::fromUtf8(name.toUtf8()).toUtf8() && !name.back().isHighSurrogate(),
                     qPrintable(QString::number(lead)));
            QCOMPARE(name, name.normalized(QString::NormalizationForm_C));
        }
    }

    void askingAgainReplacesTheName()
    {
        test::TestContext t(false);
        t.dialogs.queueAnswer(QStringLiteral("rossi mario"));
        t.dialogs.queueAnswer(QStringLiteral("bianchi  anna"));
        ChiediNome(t.session, t.services);
        QCOMPARE(t.session.nomeStudente, QStringLiteral("ROSSI MARIO"));
        ChiediNome(t.session, t.services);
        QCOMPARE(t.session.nomeStudente, QStringLiteral("BIANCHI ANNA"));
        QCOMPARE(t.dialogs.prompts, QStringList(2, promptNome()));
    }

    void cancelledBoxGivesGuest()
    {
        test::TestContext t(false);
        t.dialogs.queueCancel();
        ChiediNome(t.session, t.services);
        QCOMPARE(t.session.nomeStudente, QStringLiteral("Ospite"));
    }
};

QTEST_MAIN(TestChiediNome)
#include "tst_chiedinome.moc"
