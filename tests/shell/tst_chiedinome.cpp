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
