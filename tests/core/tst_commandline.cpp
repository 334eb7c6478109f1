// SPDX-License-Identifier: GPL-3.0-or-later
// --help and --version of every program of the package, run as processes:
// Italian text, exit code 0, nothing made or changed, and no display needed.
#include "core/commandline.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

namespace {

struct Ran {
    int exitCode = -1;
    QString out, err;
};

// Runs a program in an empty folder with an empty home and no display.
Ran run(const QString &program, const QStringList &args, const QString &folder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), folder);
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/.local/share"));
    env.remove(QStringLiteral("MORVELLO_DIR"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // A program that opened a window here would fail: there is no display.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(program, args);
    Ran r;
    if (!p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void helpAndVersion_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("option");
        const QList<QPair<QString, QString>> programs{{MORVELLO_PROGRAM, "morvello"},
                                                      {MORVELLO_CHECK, "morvello-check"},
                                                      {MORVELLO_LAUNCHER, "morvello"}};
        const QStringList kinds{"program", "checker", "launcher"};
        for (int i = 0; i < programs.size(); ++i)
            for (const char *option : {"--help", "-h", "-?", "--version", "-v"})
                QTest::addRow("%s %s", qPrintable(kinds[i]), option)
                    << programs[i].first << programs[i].second << QString::fromLatin1(option);
    }
    void helpAndVersion()
    {
        QFETCH(QString, program);
        QFETCH(QString, name);
        QFETCH(QString, option);
        QTemporaryDir home;
        const Ran r = run(program, {option}, home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(r.err, QString());
        if (option.startsWith(QLatin1String("--v")) || option == QLatin1String("-v")) {
            QVERIFY2(r.out.startsWith(QStringLiteral("%1 (Morvello) %2\n").arg(name, MORVELLO_PROJECT_VERSION)),
                     qPrintable(r.out));
            QVERIFY(r.out.contains(QLatin1String("GPL versione 3 o successiva")));
        } else {
            QVERIFY2(r.out.startsWith(QStringLiteral("Uso: %1 [OPZIONI]").arg(name)), qPrintable(r.out));
            QVERIFY(r.out.contains(QLatin1String("mostra questo aiuto ed esce")));
            QVERIFY(r.out.contains(QLatin1String("mostra la versione ed esce")));
            QVERIFY(r.out.contains(QStringLiteral("man %1").arg(name)));
            // Lines that a terminal of 80 columns shows whole.
            for (const QString &line : r.out.split(QLatin1Char('\n')))
                QVERIFY2(line.size() <= 80, qPrintable(line));
        }
        // Asking changes nothing: no data folder, no archive, no settings.
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // Mistakes are said in Italian on standard error, with exit code 2.
    void mistakes_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("checker: unknown option") << QString(MORVELLO_CHECK) << QStringList{"--colori"}
                                                 << "morvello-check: opzione sconosciuta: --colori";
        QTest::newRow("checker: two folders") << QString(MORVELLO_CHECK) << QStringList{"a", "b"}
                                              << "morvello-check: troppi argomenti (al massimo 1)";
        QTest::newRow("checker: a folder that is not there") << QString(MORVELLO_CHECK) << QStringList{"nessuna"}
                                                             << "La cartella";
        QTest::newRow("program: unknown option") << QString(MORVELLO_PROGRAM) << QStringList{"--colori"}
                                                 << "morvello: opzione sconosciuta: --colori";
        QTest::newRow("program: an argument") << QString(MORVELLO_PROGRAM) << QStringList{"pippo"}
                                              << "morvello: non accetta argomenti, ma ha ricevuto \"pippo\"";
    }
    void mistakes()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        QTemporaryDir home;
        // The program needs its application object to know Qt's own
        // options; offscreen it has one.
        if (program == QLatin1String(MORVELLO_PROGRAM))
            args << QStringLiteral("-platform") << QStringLiteral("offscreen");
        const Ran r = run(program, args, home.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }

    // --help wins wherever it stands, even after a mistake.
    void helpAfterAnUnknownOption()
    {
        char *buffer = nullptr;
        size_t size = 0;
        FILE *out = open_memstream(&buffer, &size);
        CommandLineHelp help;
        help.program = QStringLiteral("prova");
        help.summary = QStringLiteral("Una prova.");
        const CommandLine line = readCommandLine({"prova", "--colori", "--help"}, help, 0, UnknownOptions::Refuse, out);
        std::fclose(out);
        const QString text = QString::fromUtf8(buffer, qsizetype(size));
        std::free(buffer);
        QVERIFY(!line.run);
        QCOMPARE(line.exitCode, 0);
        QVERIFY(text.startsWith(QLatin1String("Uso: prova [OPZIONI]\nUna prova.\n")));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
