// SPDX-License-Identifier: GPL-3.0-or-later
// Timing of the poetry screens: what a pupil waits for when picking a poem
// (the RTF read, the indent, the board shown again) and when answering a
// question (judging, both screens' counters, the save on a real file), and
// the checker's pass over the nine poems.
//
//   bench_poesia [RUNS]     RUNS of each (default 60)

#include "text/contentcheck.h"
#include "poetry/fpoesia1.h"
#include "poetry/fpoesia2.h"
#include "poetry/poesiachecks.h"
#include "poetry/poetryscreens.h"
#include "shell/activities.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>

#include "benchstats.h"

using namespace morvello;
using namespace morvello::bench;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 60;

    test::TestContext tc;
    const QDir source(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"));
    for (const poesia::Poem &p : poesia::poems()) {
        const QString file = p.file.section(QLatin1Char('\\'), -1);
        QFile::copy(source.filePath(file), tc.dataDir() + QLatin1Char('/') + file);
    }
    for (const char *picture : {"giusto.jpg", "sbagliato.jpg"})
        QFile::copy(source.filePath(QLatin1String(picture)), tc.dataDir() + QLatin1Char('/') + QLatin1String(picture));
    tc.session.nomeStudente = QStringLiteral("ROSSI ANNA");
    tc.host->registerResultsScreen();
    registerActivities(*tc.navigator, tc.env());
    tc.navigator->setShowWindows(false);

    auto *intro = qobject_cast<FPoesia1 *>(tc.navigator->show(poetryscreens::Poesia1));
    if (!intro)
        return 1;
    intro->resize(1280, 1024);
    int next = 0;
    print("pick a poem (read, indent, board)", measure(runs, [&] {
              next = next % poesia::PoemCount + 1;
              intro->chooser()->setCurrentIndex(next - 1);
              emit intro->chooser()->activated(next - 1);
          }));

    auto *questions = tc.navigator->screenAs<FPoesia2>(poetryscreens::Poesia2);
    int option = 0;
    print("answer a question and save it", measure(
                                               runs,
                                               [&] { intro->cmdapprof_Click(); },
                                               [&] {
                                                   option = option % 5 + 1;
                                                   questions->Label_Click(poesia::Question::Rime, option);
                                               }));

    print("check a poem and save it", measure(
                                          runs,
                                          [&] {
                                              intro->Combo1_Click(poesia::poem(3).entry());
                                              for (int i = 0; i < 6; ++i)
                                                  intro->Label1_DragDrop(i, nullptr, poesia::poem(3).solutions.at(i));
                                          },
                                          [&] { intro->cmdrisult_Click(); }));

    print("check the nine poems (morvello-check)", measure(runs, [&] {
              ContentCheckRegistry registry;
              addPoemChecks(registry);
              CheckReport report(tc.base());
              registry.run(report);
          }));
    return 0;
}
