// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

#include <cstdio>

namespace morvello {

// What a program says of itself for --help: the words after its name in the
// usage line, and the Italian paragraphs below the options.
struct CommandLineHelp {
    QString program;           // "morvello", "morvello-check"
    QString arguments;         // "[CARTELLA]", or empty
    QString summary;           // one line: what the program is
    QStringList argumentLines; // "CARTELLA  la cartella che …", one per argument
    QString details;           // the rest, already wrapped
};

// The outcome of reading a command line: either the program goes on with
// the positional arguments, or it ends now with `exitCode` (0 after --help
// or --version, 2 after a mistake, which has been written to standard error).
struct CommandLine {
    bool run = true;
    int exitCode = 0;
    QStringList positional;
};

// How strict the reading is: the program itself also receives Qt's own
// options (-platform, -style …), which only the application object knows, so
// before it exists only --help and --version are looked for.
enum class UnknownOptions { Refuse, Ignore };

// Reads --help/-h/-?, --version/-v and the positional arguments (at most
// maxPositional of them) with QCommandLineParser. Needs no application
// object, so --help works where there is no display. Writes the help and
// the version to `out`, mistakes to `err`.
CommandLine readCommandLine(const QStringList &arguments, const CommandLineHelp &help, int maxPositional,
                            UnknownOptions unknown = UnknownOptions::Refuse, FILE *out = stdout,
                            FILE *err = stderr);

// The arguments of main() as QCommandLineParser takes them.
QStringList argumentList(int argc, char **argv);

QString helpText(const CommandLineHelp &help);
QString versionText(const QString &program);
QString morvelloVersion();

} // namespace morvello
