// SPDX-License-Identifier: GPL-3.0-or-later
// Timing of reading aloud and of the legible look on the story-colouring
// screen with the shipped first story, and of the legible look on the
// narrative sequence screen with its first passage.
//
//   bench_speech [RUNS]     RUNS timed runs of each figure (default 21)
//
// Goals: from a press of "Leggi" to the engine's speaking state, 150 ms at
// most once the engine is reached, and 1 s at most for the first press of
// a run (the menu reaches the engine before it; the time that takes is
// shown); the legible look switched on or off and the screen drawn, 50 ms
// at most. Where the machine has no sound device the speech
// server of the run plays into libao's null output, as the test does.

#include "doubles.h"
#include "kit/reader.h"
#include "narrative/storycatalogue.h"
#include "narrative/trovaseqscreen.h"
#include "sequences/sequencescreen.h"
#include "shell/apphost.h"
#include "speech/enginespeech.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "benchstats.h"

#include <csignal>
#include <cstdio>

using namespace morvello;
using namespace morvello::bench;

namespace {

// Runs the event loop until the voice is in `state` (or 10 s went by);
// returns the milliseconds waited, -1 on the timeout.
double waitFor(Speech &voice, Speech::State state)
{
    QElapsedTimer t;
    t.start();
    if (voice.state() != state) {
        QEventLoop loop;
        QObject::connect(&voice, &Speech::stateChanged, &loop, [&](Speech::State s) {
            if (s == state)
                loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return voice.state() == state ? double(t.nsecsElapsed()) / 1e6 : -1;
}

void privateSpeechServer(const QTemporaryDir &home)
{
    const QString run = home.filePath(QStringLiteral("run"));
    QDir().mkpath(run);
    QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", run.toLocal8Bit());
    if (QFileInfo::exists(QStringLiteral("/dev/snd")))
        return;
    QDir().mkpath(home.filePath(QStringLiteral("config/speech-dispatcher")));
    QFile conf(home.filePath(QStringLiteral("config/speech-dispatcher/speechd.conf")));
    if (conf.open(QIODevice::WriteOnly))
        conf.write("AudioOutputMethod \"libao\"\nAddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                   "DefaultModule espeak-ng\nDefaultLanguage \"it\"\n");
    QFile ao(home.filePath(QStringLiteral(".libao")));
    if (ao.open(QIODevice::WriteOnly))
        ao.write("default_driver=null\n");
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("HOME", home.path().toLocal8Bit());
    std::printf("no sound device: speech into libao's null output\n");
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    privateSpeechServer(home);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 21;

    QTemporaryDir dir;
    QDir().mkpath(dir.path() + QStringLiteral("/permorvello"));
    const QDir shipped(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"));
    for (const QFileInfo &fi : shipped.entryInfoList(QDir::Files))
        QFile::copy(fi.filePath(), dir.path() + QStringLiteral("/permorvello/") + fi.fileName());

    EngineSpeech voice;
    ScriptedDialogs dialogs;
    Services services;
    services.dialogs = &dialogs;
    services.baseDir = dir.path();
    services.speech = &voice;
    AppHost host(services);
    TrovaSeqScreen screen(host.env());
    screen.resize(1280, 1024);
    screen.formLoad();
    QCoreApplication::processEvents();

    // The menu starts reaching the engine a moment after it shows, in the
    // background; a pupil's first press comes after at least the choice of
    // an activity and the opening of its screen.
    QElapsedTimer first;
    first.start();
    voice.prepare();
    const double reachMs = waitFor(voice, Speech::State::Ready);
    std::printf("engine reached in the background (from the menu on): %.0f ms\n", reachMs);
    first.start();
    voice.say(QStringLiteral("Prova."));
    const double firstMs = waitFor(voice, Speech::State::Speaking);
    std::printf("first request of the run to speaking: %.0f ms\n", firstMs);
    if (reachMs < 0 || firstMs < 0) {
        std::fprintf(stderr, "no speech: %s\n", qPrintable(voice.whyNot()));
        return 1;
    }
    waitFor(voice, Speech::State::Ready);

    screen.show();
    screen.Combo1_Click(storyCatalogue().constFirst().title);
    QCoreApplication::processEvents();

    // The legible look, on and off in turn, drawn before the clock stops.
    bool on = false;
    const Stats legible = measure(runs, [&] {
        on = !on;
        screen.setLegible(on);
        screen.repaint();
    });
    print("legible look switched and the screen drawn", legible);
    screen.setLegible(false);

    // The same on the narrative sequence screen, whose rows are laid out
    // again in the legible type and scroll.
    SequenceScreen rows(host.env(), sequenzeConfig());
    rows.resize(1280, 1024);
    rows.formLoad();
    rows.show();
    QCoreApplication::processEvents();
    on = false;
    const Stats relaid = measure(runs, [&] {
        on = !on;
        rows.setLegible(on);
        rows.repaint();
    });
    print("Fsequenze: legible look, rows laid out, drawn", relaid);
    rows.hide();

    ReadButton *read = screen.readButton();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        read->press();
        const double got = waitFor(voice, Speech::State::Speaking);
        ms.push_back(got < 0 ? 1e9 : double(t.nsecsElapsed()) / 1e6);
        read->press();
        waitFor(voice, Speech::State::Ready);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-48s median %9.3f ms   min %9.3f   max %9.3f   (%d runs)\n", "press of Leggi to the speaking state",
                ms[ms.size() / 2], ms.front(), ms.back(), runs);

    QFile pid(home.filePath(QStringLiteral("run/speech-dispatcher/pid/speech-dispatcher.pid")));
    if (pid.open(QIODevice::ReadOnly) && pid.readAll().trimmed().toInt() > 1) {
        pid.seek(0);
        ::kill(pid.readAll().trimmed().toInt(), SIGTERM);
    }
    return 0;
}
