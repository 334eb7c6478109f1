// SPDX-License-Identifier: GPL-3.0-or-later
// The real voice: one sentence through Qt's text-to-speech and the system's
// engine, on a speech server of the test's own (a silent sound output where
// the machine has no sound device).
#include "speech/enginespeech.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QtTest>

#include <csignal>

using namespace morvello;

class TstEngineSpeech : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        // A server of its own, started on demand in a private folder, so
        // that the test neither meets nor leaves behind anyone else's.
        const QString run = m_home.filePath(QStringLiteral("run"));
        QDir().mkpath(run);
        QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", run.toLocal8Bit());
        if (!QFileInfo::exists(QStringLiteral("/dev/snd"))) {
            const QString config = m_home.filePath(QStringLiteral("config/speech-dispatcher"));
            QDir().mkpath(config);
            QFile conf(config + QStringLiteral("/speechd.conf"));
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write("LogLevel 3\nLogDir \"default\"\nAudioOutputMethod \"libao\"\n"
                       "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                       "DefaultModule espeak-ng\nDefaultLanguage \"it\"\n");
            conf.close();
            QFile ao(m_home.filePath(QStringLiteral(".libao")));
            QVERIFY(ao.open(QIODevice::WriteOnly));
            ao.write("default_driver=null\n");
            ao.close();
            qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toLocal8Bit());
            qputenv("HOME", m_home.path().toLocal8Bit());
            qInfo("no sound device: the speech server plays into libao's null output");
        }
    }

    void cleanupTestCase()
    {
        // The server the test started, by the id it wrote down.
        QFile pid(m_home.filePath(QStringLiteral("run/speech-dispatcher/pid/speech-dispatcher.pid")));
        if (pid.open(QIODevice::ReadOnly)) {
            const int id = pid.readAll().trimmed().toInt();
            if (id > 1)
                ::kill(id, SIGTERM);
        }
    }

    void speaksASentence()
    {
        if (QTextToSpeech::availableEngines().isEmpty())
            QSKIP("Qt has no speech plugin here (./morvello.sh test installs qt6-speech-speechd-plugin)");
        if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
            QSKIP("the speech-dispatcher server is not installed (./morvello.sh test installs it)");
        EngineSpeech voice;
        QVector<Speech::State> states;
        connect(&voice, &Speech::stateChanged, this, [&states](Speech::State s) { states << s; });
        QCOMPARE(voice.state(), Speech::State::Idle);
        QElapsedTimer clock;
        clock.start();
        voice.prepare();
        QCOMPARE(voice.state(), Speech::State::Connecting);
        QTRY_VERIFY_WITH_TIMEOUT(voice.state() != Speech::State::Connecting, 15000);
        QVERIFY2(voice.state() == Speech::State::Ready, qPrintable(voice.whyNot()));
        qInfo("engine reached in %lld ms", clock.elapsed());

        voice.setRate(Speech::Rate::Fast);
        clock.restart();
        voice.say(QStringLiteral("Il gatto dorme sul balcone."));
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(Speech::State::Speaking), 15000);
        qInfo("speaking %lld ms after the request", clock.elapsed());
        QTRY_COMPARE_WITH_TIMEOUT(voice.state(), Speech::State::Ready, 15000);
        QCOMPARE(states.last(), Speech::State::Ready);
    }
};

QTEST_MAIN(TstEngineSpeech)
#include "tst_enginespeech.moc"
