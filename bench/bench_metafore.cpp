// Timing of the rhetorical-figures screen on a school-sized archive:
//  - one draw of the next example number (the logic alone);
//  - opening the screen (built, first example drawn and shown);
//  - "Figura successiva": the next example read from its RTF file and shown;
//  - one answer, judged, shown and saved in the pupil's row.
//
//   bench_metafore [PUPILS] [RUNS]   (10000, 200)
//
// Goal: every step a pupil waits for well under the 100 ms a click may take.

#include "doubles.h"
#include "poetry/metaforequiz.h"
#include "poetry/metaforescreen.h"
#include "shell/apphost.h"

#include "storage/database.h"
#include "core/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
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
    const int pupils = args.size() > 1 ? args[1].toInt() : 10000;
    const int runs = args.size() > 2 ? args[2].toInt() : 200;

    {
        SeededRandom random(1);
        MetaforeQuiz quiz(random);
        quiz.load();
        const int draws = 100000;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < draws; ++i)
            quiz.perCaso();
        std::printf("%-48s %9.1f ns a draw (%d draws)\n", "PerCaso", double(t.nsecsElapsed()) / draws, draws);
    }

    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/permorvello");
    QDir().mkpath(data);
    const QDir shipped(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"));
    for (const QString &f : shipped.entryList({QStringLiteral("*.rtf"), QStringLiteral("*.jpg")}, QDir::Files))
        QFile::copy(shipped.filePath(f), data + QLatin1Char('/') + f);

    std::unique_ptr<Database> db = openArchive(dir.path());
    if (!db)
        return 1;
    {
        QSqlDatabase c = db->connection();
        c.transaction();
        QSqlQuery q(c);
        q.prepare(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (?)"));
        for (int i = 0; i < pupils; ++i) {
            q.addBindValue(QStringLiteral("ALUNNO %1 DI PROVA").arg(i, 5, 10, QLatin1Char('0')));
            q.exec();
        }
        c.commit();
    }

    ScriptedDialogs dialogs;
    SystemClock clock;
    SeededRandom random(20260314);
    Services services;
    services.baseDir = dir.path();
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.random = &random;
    AppHost host(services);
    host.setDatabase(db.get());
    host.session().nomeStudente = QStringLiteral("ALUNNO %1 DI PROVA").arg(pupils / 2, 5, 10, QLatin1Char('0'));

    std::unique_ptr<MetaforeScreen> screen;
    print("Opening the screen (Form_Load)", measure(
                                                qMax(5, runs / 10), [&] { screen.reset(); },
                                                [&] {
                                                    screen = std::make_unique<MetaforeScreen>(host.env());
                                                    screen->resize(1280, 1024);
                                                    screen->formLoad();
                                                    screen->show();
                                                    QCoreApplication::processEvents();
                                                },
                                                1));

    auto answerBoth = [&] {
        screen->Option1_Click(0);
        screen->Label1_Click(0);
    };
    print("Figura successiva (read and show an example)", measure(runs, answerBoth, [&] {
              screen->CmdSeguente_Click();
              QCoreApplication::processEvents();
          }));
    // Each timed answer is the first of a fresh example.
    auto freshExample = [&] {
        answerBoth();
        screen->CmdSeguente_Click();
    };
    print("One answer, judged, shown and saved", measure(runs, freshExample, [&] {
              screen->Option1_Click(3);
              QCoreApplication::processEvents();
          }));
    if (!dialogs.messages.isEmpty())
        std::printf("messages: %s\n", qPrintable(dialogs.messages.join(QLatin1String(" | "))));
    return 0;
}
