// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to the name entry on screen, measured side by side as whole
// processes against two bare Qt Widgets programs: one that shows an input
// dialog with the name entry's prompt (the floor: it pays for the font
// database and the first fonts, as Morvello does), and one that shows an
// empty window (which draws no text and so pays for neither). A fourth
// line times the whole way to the menu with the name given at once: the
// menu is built after the name entry, and that line shows what it costs.
//
//   bench_startup [runs] [pupils]   (offscreen by default; run under Xvfb with
//                                    QT_QPA_PLATFORM=xcb to time a real display)
// The archive holds 300 pupils unless told otherwise: the start-up checks the
// whole file (indexes against tables) before the name entry shows.
#include "doubles.h"
#include "kit/qtdialogs.h"
#include "storage/datafolder.h"
#include "storage/resultsstore.h"
#include "shell/chiedinome.h"
#include "shell/morvelloapp.h"
#include "shell/screennames.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

[[noreturn]] void reportAndLeave()
{
    std::printf("%ld\n", peakRssKb());
    std::fflush(stdout);
    std::_Exit(0);
}

// The real input box; once it is on screen the process reports and leaves.
class LeavingDialogs : public morvello::QtDialogs
{
public:
    std::optional<QString> input(const QString &prompt, int maxLength) override
    {
        QTimer::singleShot(0, [] {
            QWidget *box = QApplication::activeModalWidget();
            if (box && QTest::qWaitForWindowExposed(box))
                reportAndLeave();
            std::_Exit(3);
        });
        return QtDialogs::input(prompt, maxLength);
    }
};

int childBare(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.resize(400, 300);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 3;
    reportAndLeave();
}

// Nothing of Morvello but the prompt: Qt's own input dialog, Qt's fonts.
int childInput(int argc, char **argv)
{
    QApplication app(argc, argv);
    QInputDialog dlg;
    dlg.setLabelText(morvello::promptNome());
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg))
        return 3;
    reportAndLeave();
}

int childMorvello(int argc, char **argv, const QString &base)
{
    QApplication app(argc, argv);
    morvello::setupApplication(app);
    morvello::MorvelloApp m(base, std::make_unique<LeavingDialogs>());
    m.start();
    return 4; // the name entry never showed
}

// The whole start with the name given at once: to the menu on screen, so
// that what comes after the name entry is measured too.
int childMenu(int argc, char **argv, const QString &base)
{
    QApplication app(argc, argv);
    morvello::setupApplication(app);
    auto dialogs = std::make_unique<morvello::ScriptedDialogs>();
    dialogs->queueAnswer(QStringLiteral("rossi mario"));
    morvello::MorvelloApp m(base, std::move(dialogs));
    m.start();
    morvello::Screen *menu = m.navigator().screen(morvello::ScreenName::Menu);
    if (!menu || !QTest::qWaitForWindowExposed(menu))
        return 4;
    reportAndLeave();
}

struct Run {
    double ms;
    long rssKb;
};

Run runChild(const QString &mode, const QString &base)
{
    QProcess p;
    QStringList args{mode};
    if (!base.isEmpty())
        args << base;
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationFilePath(), args);
    p.waitForFinished(30000);
    const double ms = t.nsecsElapsed() / 1e6;
    if (p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed (%d): %s\n", qPrintable(mode), p.exitCode(), p.readAllStandardError().constData());
        return {ms, -1};
    }
    return {ms, p.readAllStandardOutput().trimmed().toLong()};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 2 && QByteArray(argv[1]) == "child-bare")
        return childBare(argc, argv);
    if (argc >= 2 && QByteArray(argv[1]) == "child-input")
        return childInput(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "child-menu")
        return childMenu(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 3 && QByteArray(argv[1]) == "child-morvello")
        return childMorvello(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int runs = argc >= 2 ? std::max(3, atoi(argv[1])) : 15;
    const int pupils = argc >= 3 ? std::max(0, atoi(argv[2])) : 300;
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("permorvello"));
    if (morvello::prepareDataFolder(dir.path()).isError())
        return 1;
    {
        auto db = morvello::openResultsDatabase(dir.path());
        if (!db)
            return 1;
        morvello::ResultsStore store(*db);
        db->beginTransaction();
        for (int i = 0; i < pupils; ++i)
            store.save(QStringLiteral("COGNOME%1 NOME%2").arg(i).arg(i % 97),
                       {morvello::GroupValues{morvello::FieldGroup::Genette, i % 9, 9, 50, {}}},
                       QDateTime::currentDateTime());
        db->commit();
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    const QByteArray loadBefore = load.open(QIODevice::ReadOnly) ? load.readAll().trimmed() : QByteArray("?");

    runChild(QStringLiteral("child-bare"), QString()); // warm the caches
    runChild(QStringLiteral("child-input"), QString());
    runChild(QStringLiteral("child-morvello"), dir.path());
    runChild(QStringLiteral("child-menu"), dir.path());

    // Interleaved, so that a change of load weighs on all three alike.
    std::vector<double> bare, input, morv, menu;
    long bareRss = 0, inputRss = 0, morvRss = 0, menuRss = 0;
    for (int i = 0; i < runs; ++i) {
        const Run b = runChild(QStringLiteral("child-bare"), QString());
        const Run d = runChild(QStringLiteral("child-input"), QString());
        const Run m = runChild(QStringLiteral("child-morvello"), dir.path());
        bare.push_back(b.ms);
        input.push_back(d.ms);
        morv.push_back(m.ms);
        bareRss = std::max(bareRss, b.rssKb);
        inputRss = std::max(inputRss, d.rssKb);
        morvRss = std::max(morvRss, m.rssKb);
        const Run w = runChild(QStringLiteral("child-menu"), dir.path());
        menu.push_back(w.ms);
        menuRss = std::max(menuRss, w.rssKb);
    }
    const double mb = median(bare), md = median(input), mm = median(morv);
    std::printf("platform: %s, %d runs each, archive of %d pupils, load average before: %s\n",
                qgetenv("QT_QPA_PLATFORM").constData(), runs, pupils, loadBefore.constData());
    std::printf("bare Qt window shown:        median %7.1f ms, peak RSS %6.1f MB\n", mb, bareRss / 1024.0);
    std::printf("bare Qt input dialog shown:  median %7.1f ms, peak RSS %6.1f MB\n", md, inputRss / 1024.0);
    std::printf("Morvello name entry shown:   median %7.1f ms, peak RSS %6.1f MB (goal <= 40 MB)\n", mm,
                morvRss / 1024.0);
    std::printf("the menu, name given at once:  median %7.1f ms, peak RSS %6.1f MB\n", median(menu),
                menuRss / 1024.0);
    std::printf("ratio to a bare window: %.2f\n", mm / mb);
    std::printf("ratio to an input dialog: %.2f (goal <= 1.15)\n", mm / md);
    return 0;
}
