// SPDX-License-Identifier: GPL-3.0-or-later
// Timing of the story-colouring activity on a story of 3,000 characters in
// five sequences, written by the content tool into a temporary data folder
// under the first story's file names.
//
//   bench_trovaseq [RUNS]     RUNS timed runs of each figure (default 51)
//
// Goals: a correction, red marks painted and shown, 20 ms at most; a story
// (story and solution files) loaded and shown, 30 ms at most; the hint on
// "Aiutami!", 10 ms at most. The bare loop comparing two arrays of 3,000
// colours is the yardstick the correction is set against.

#include "doubles.h"
#include "content/contentsource.h"
#include "narrative/storycatalogue.h"
#include "narrative/storycolouring.h"
#include "narrative/trovaseqscreen.h"
#include "core/dialogs.h"
#include "text/richtextview.h"
#include "core/services.h"
#include "shell/apphost.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

#include "benchstats.h"

#include <cstdio>

using namespace morvello;
using namespace morvello::bench;
using namespace morvello::content;

namespace {

QString fileName(const QString &dataName)
{
    return dataName.section(QLatin1Char('\\'), -1);
}

// Five sequences of plain sentences, 3,000 characters with the four
// paragraph ends between them.
QString storySource()
{
    const QString sentence = QStringLiteral("Il vento portava dal porto l'odore del sale e delle reti bagnate. ");
    QStringList paragraphs;
    for (int k = 0; k < 5; ++k) {
        QString p = sentence.repeated(10).left(k == 4 ? 600 : 599);
        p[p.size() - 1] = QLatin1Char('.');
        paragraphs << p;
    }
    return paragraphs.join(QStringLiteral("\n<seq>"));
}

bool write(const QString &path, const QString &source, Output output)
{
    Source s;
    QString error;
    if (!parseSource(source.toUtf8(), &s, &error))
        return false;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(writeRtf(s, output)) > 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 51;

    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/permorvello/");
    QDir().mkpath(data);
    const StoryEntry &first = storyCatalogue().constFirst();
    const QString source = storySource();
    if (!write(data + fileName(first.storyFile), source, Output::Story)
        || !write(data + fileName(first.solutionFile), source, Output::Solution)
        || !write(data + fileName(first.helpFile),
                  QStringLiteral("Una nuova sequenza comincia quando cambia il luogo.\nCerca i salti di tempo."),
                  Output::Plain)) {
        std::fprintf(stderr, "cannot write the story files\n");
        return 1;
    }

    QTextDocument story, solution, help;
    StoryColouring logic(&story, &solution, &help, dir.path());
    logic.load();
    const QVector<QRgb> sol = StoryColouring::colours(solution);
    std::printf("story of %d characters, %d sequences\n", int(sol.size()), logic.nrSequenze());

    // The pupil's colouring: right but for every seventh character, so that
    // the correction paints some 400 separate red marks.
    auto colourWithMistakes = [&] {
        logic.choose(first.title);
        int start = 0;
        for (int p = 1; p <= sol.size(); ++p) {
            if (p == sol.size() || sol.at(p) != sol.at(start)) {
                logic.colour(paletteIndexOf(sol.at(start)), start, int(p));
                start = p;
            }
        }
        for (int p = 3; p < sol.size(); p += 7)
            logic.colour(paletteIndexOf(sol.at(p)) == 0 ? 1 : 0, p, p + 1);
    };

    int errors = 0;
    const Stats correction = measure(runs, colourWithMistakes, [&] { logic.correct(); errors = logic.lastMarking().errors; });
    print("correction (logic, red marks painted)", correction);
    std::printf("  %d differing characters\n", errors);

    const QVector<QRgb> a = StoryColouring::colours(story);
    volatile int sink = 0;
    const Stats bare = measure(runs, [&] { sink = StoryColouring::countDifferences(a, sol); });
    print("bare loop over two arrays of colours", bare);
    std::printf("  ratio correction / bare loop: %.0f\n", correction.median / std::max(bare.median, 1e-6));

    const Stats loading = measure(runs, [&] { logic.loadStory(first); });
    print("story and solution loaded (logic)", loading);
    const Stats hint = measure(runs, [&] { logic.choose(first.title); }, [&] { logic.help(); });
    print("hint loaded (logic)", hint);

    // The same on the screen, each step drawn before the clock stops. No
    // pupil's name: nothing is saved.
    ScriptedDialogs dialogs;
    Services services;
    services.dialogs = &dialogs;
    services.baseDir = dir.path();
    AppHost host(services);
    TrovaSeqScreen screen(host.env());
    screen.resize(1280, 1024);
    screen.formLoad();
    screen.show();
    QCoreApplication::processEvents();
    RichTextView *view = screen.storyView();
    auto colourOnScreen = [&] {
        screen.Combo1_Click(first.title);
        int start = 0;
        for (int p = 1; p <= sol.size(); ++p) {
            if (p == sol.size() || sol.at(p) != sol.at(start)) {
                view->setSelStart(start);
                view->setSelLength(p - start);
                screen.LabCOLORE_Click(paletteIndexOf(sol.at(start)));
                start = p;
            }
        }
        for (int p = 3; p < sol.size(); p += 7) {
            view->setSelStart(p);
            view->setSelLength(1);
            screen.LabCOLORE_Click(paletteIndexOf(sol.at(p)) == 0 ? 1 : 0);
        }
        view->viewport()->repaint();
    };
    const Stats screenCorrection = measure(runs, colourOnScreen, [&] {
        screen.Cmdcorrezione_Click();
        view->viewport()->repaint();
    });
    print("CORREGGI on the screen, red marks drawn", screenCorrection);
    std::printf("  ratio correction / bare loop: %.0f\n", screenCorrection.median / std::max(bare.median, 1e-6));
    const Stats screenLoad = measure(runs, [&] {
        screen.Combo1_Click(first.title);
        view->viewport()->repaint();
    });
    print("story chosen, loaded, fitted and drawn", screenLoad);
    const Stats screenHint = measure(runs, [&] { screen.Combo1_Click(first.title); }, [&] {
        screen.CmdAiuto_Click();
        screen.helpView()->viewport()->repaint();
    });
    print("Aiutami!, hint loaded and drawn", screenHint);
    std::printf("story drawn at %.1f points\n", screen.storyPoints());
    (void)sink;
    return 0;
}
