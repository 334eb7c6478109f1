// Timing of the RTF reader on the large file of the repository's corpus
// (tests/data/rtf/large-colours-libreoffice.rtf), in process and as whole
// processes beside two other readers.
//
//   bench_rtf [RUNS [FILE]]   RUNS in-process reads (default 50) of FILE
//                             (default: the corpus's large file)
//
// The other readers (unrtf, pandoc) are only a yardstick; when missing they
// are skipped. The goal for the in-process read is a median of 6 ms or less.

#include "text/richtextview.h"
#include "text/rtfreader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>

#include "benchstats.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

using namespace morvello;
using namespace morvello::bench;

namespace {

// A whole process, output thrown away; nothing when the program is missing
// or fails.
std::optional<Stats> measureProcess(const QString &program, const QStringList &args, int runs)
{
    const QString exe = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
    if (exe.isEmpty() || !QFileInfo::exists(exe))
        return std::nullopt;
    bool failed = false;
    const Stats s = measure(
        runs,
        [&] {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.setStandardErrorFile(QProcess::nullDevice());
            p.start(exe, args);
            if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
                failed = true;
        },
        1);
    if (failed)
        return std::nullopt;
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 50;

    const QString dir = QStringLiteral(MORVELLO_SOURCE_DIR "/tests/data/rtf/");
    const QString large = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir + QStringLiteral("large-colours-libreoffice.rtf");
    const QString small = dir + QStringLiteral("it-libreoffice.rtf");
    QFile f(large);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_rtf: il file %s non si può leggere\n", qPrintable(large));
        return 1;
    }
    const QByteArray data = f.readAll();

    {
        QTextDocument doc;
        const RtfResult r = readRtf(data, &doc);
        if (!r.ok) {
            std::fprintf(stderr, "bench_rtf: %s\n", qPrintable(r.error));
            return 1;
        }
        int runs = 0;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                ++runs;
        std::printf("%s: %lld bytes, %d characters, %d paragraphs, %d runs\n\n",
                    qPrintable(QFileInfo(large).fileName()), qlonglong(data.size()), doc.characterCount() - 1,
                    doc.blockCount(), runs);
    }

    std::printf("In process\n");
    const Stats inMemory = measure(runs, [&] {
        QTextDocument doc;
        readRtf(data, &doc);
    });
    print("readRtf, bytes in memory -> new document", inMemory);
    const Stats fromFile = measure(runs, [&] {
        QTextDocument doc;
        readRtfFile(large, &doc);
    });
    print("readRtfFile, file -> new document", fromFile);

    RichTextView view;
    view.resize(473, 529); // the story view's size in pixels
    const Stats hiddenView = measure(runs, [&] { view.loadFile(large); });
    print("RichTextView::loadFile, hidden view", hiddenView);
    view.show();
    const Stats shownView = measure(std::max(5, runs / 5), [&] {
        view.loadFile(large);
        (void)view.document()->size(); // lays the whole document out
    });
    print("RichTextView::loadFile + full layout, shown", shownView);
    view.hide();

    // The story screen's correction: one character at a time in two views.
    RichTextView pupil;
    RichTextView key;
    pupil.loadFile(large);
    key.loadFile(large);
    const int length = pupil.textLength();
    int differing = 0;
    const Stats loop = measure(
        3,
        [&] {
            differing = 0;
            for (int p = 1; p <= length; ++p) {
                pupil.setSelStart(p);
                pupil.setSelLength(1);
                key.setSelStart(p);
                key.setSelLength(1);
                if (pupil.selColor() != key.selColor())
                    ++differing;
            }
        },
        0);
    print(qPrintable(QStringLiteral("compare %1 characters in two views").arg(length)), loop);
    std::printf("%-46s %9.3f us per character\n", "", loop.median * 1000.0 / length);

    std::printf("\nWhole processes (1 warm-up, %d runs each)\n", 10);
    const QString rtfdump = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/rtfdump");
    struct Row {
        const char *name;
        QString program;
        QStringList args;
    };
    const std::vector<Row> rows = {
        {"rtfdump FILE", rtfdump, {large}},
        {"rtfdump --runs FILE", rtfdump, {QStringLiteral("--runs"), large}},
        {"unrtf --text FILE", QStringLiteral("unrtf"), {QStringLiteral("--text"), large}},
        {"pandoc -f rtf -t plain FILE", QStringLiteral("pandoc"),
         {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), QStringLiteral("plain"),
          QStringLiteral("--wrap=none"), large}},
        {"rtfdump SMALL (start-up)", rtfdump, {small}},
        {"unrtf --text SMALL (start-up)", QStringLiteral("unrtf"), {QStringLiteral("--text"), small}},
        {"pandoc SMALL (start-up)", QStringLiteral("pandoc"),
         {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), QStringLiteral("plain"),
          QStringLiteral("--wrap=none"), small}},
    };
    std::vector<std::optional<Stats>> results;
    for (const Row &row : rows) {
        const auto s = measureProcess(row.program, row.args, 10);
        results.push_back(s);
        if (s)
            print(row.name, *s);
        else
            std::printf("%-46s non disponibile\n", row.name);
    }

    std::printf("\nRatios of medians (large file)\n");
    const auto &dump = results[0];
    auto ratio = [](const char *what, const std::optional<Stats> &a, double b) {
        if (a)
            std::printf("%-46s %8.1f x\n", what, a->median / b);
    };
    ratio("unrtf process / in-process readRtf", results[2], inMemory.median);
    ratio("pandoc process / in-process readRtf", results[3], inMemory.median);
    if (dump) {
        ratio("rtfdump process / in-process readRtf", dump, inMemory.median);
        ratio("unrtf process / rtfdump process", results[2], dump->median);
        ratio("pandoc process / rtfdump process", results[3], dump->median);
    }
    std::printf("\nGoal: in-process read of the large file <= 6 ms median: %s (%.3f ms)\n",
                inMemory.median <= 6.0 ? "met" : "NOT met", inMemory.median);
    return 0;
}
