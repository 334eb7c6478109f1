// Timing of one step of the narrative-concepts screen, through its handlers:
// an option clicked (judged, counted, picture shown, result saved in the
// results file) and "Esercizio successivo" (the next passage read from its
// RTF file and shown), on the shipped passages.
//
//   bench_genette [STEPS]   (default 300)
//
// Goal: at most 15 ms a step (median).

#include "doubles.h"
#include "narrative/genettescreen.h"
#include "narrative/narrativescreens.h"
#include "shell/apphost.h"

#include "storage/database.h"
#include "core/dialogs.h"
#include "kit/navigator.h"
#include "core/ticker.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "benchdata.h"
#include "benchstats.h"

#include <cstdio>

using namespace morvello;
using namespace morvello::bench;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int steps = args.size() > 1 ? qMax(3, args[1].toInt()) : 300;

    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/permorvello");
    QDir().mkpath(data + QStringLiteral("/genette"));
    const QString shipped = QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/");
    for (const QString &f : genetteExerciseFiles()) {
        const QString name = f.section(QLatin1Char('\\'), -1);
        QFile::copy(shipped + QStringLiteral("genette/") + name, data + QStringLiteral("/genette/") + name);
    }
    QFile::copy(shipped + QStringLiteral("giusto.jpg"), data + QStringLiteral("/giusto.jpg"));
    QFile::copy(shipped + QStringLiteral("sbagliato.jpg"), data + QStringLiteral("/sbagliato.jpg"));

    std::unique_ptr<Database> db = openArchive(dir.path());
    if (!db)
        return 1;

    ScriptedDialogs dialogs;
    SystemClock clock;
    SeededRandom random(7);
    TimerTickSource ticks;
    Services services;
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.random = &random;
    services.ticks = &ticks;
    services.baseDir = dir.path();
    AppHost host(services);
    host.setDatabase(db.get());
    host.registerScreens();
    host.session().nomeStudente = QStringLiteral("ROSSI ANNA");

    auto *screen = qobject_cast<GenetteScreen *>(host.navigator().show(narrativescreens::Genette));
    if (!screen) {
        std::fprintf(stderr, "the screen did not open\n");
        return 1;
    }
    screen->resize(1280, 1024);
    screen->CmdConcept_Click(Distanza); // the most exercises and options

    int step = 0;
    auto answer = [&] {
        const GenetteExercise &ex = screen->exercise();
        // Right and wrong answers in turn, so that both pictures are loaded.
        const int right = ex.opzioniGiuste(ex.nrEsercizio());
        screen->Option1_Click(step++ % 2 ? right : (right + 1) % 4);
    };
    auto next = [&] {
        screen->CmdSeguente_Click();
        QCoreApplication::processEvents(); // the repaint the pupil waits for
    };
    const Stats whole = measure(steps, [&] {
        answer();
        next();
    });
    print("answer + next exercise (1280x1024)", whole);
    // Where the time goes.
    auto open = [&] {
        if (!screen->exercise().optionsEnabled())
            next();
    };
    print("  answer: judge, picture, save", measure(steps, open, answer));
    print("  next exercise: read, scale, show", measure(steps, answer, next));
    // The same without a pupil's name: nothing is written, so this is the
    // screen's own share, without the disk.
    host.session().nomeStudente.clear();
    print("answer + next exercise, nothing saved", measure(steps, [&] {
              answer();
              next();
          }));
    host.session().nomeStudente = QStringLiteral("ROSSI ANNA");
    if (!dialogs.messages.isEmpty()) {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(dialogs.messages.first()));
        return 1;
    }
    std::printf("goal: median at most 15 ms a step\n");
    return whole.median <= 15.0 ? 0 : 1;
}
