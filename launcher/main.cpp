// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/commandline.h"
#include "launcher/contentsync.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QMessageBox>
#include <QProcessEnvironment>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// Also on standard error, for a technician starting it from a terminal. The
// box needs a display, so the application object is made only when there is
// something to say.
void tell(int &argc, char **argv, const QString &text)
{
    std::fprintf(stderr, "morvello: %s\n", text.toLocal8Bit().constData());
    QApplication app(argc, argv);
    app.setFont(QFont(QStringLiteral("Liberation Sans"), 10)); // as the program's own boxes
    QMessageBox::warning(nullptr, QStringLiteral("Morvello"), text);
}

morvello::CommandLineHelp launcherHelp()
{
    morvello::CommandLineHelp help;
    help.program = QStringLiteral("morvello");
    help.summary = QStringLiteral("Morvello: esercizi di analisi dei testi italiani per la scuola media.");
    help.details = QStringLiteral(
        "Prepara la cartella dei dati dell'utente e avvia il programma. Alla prima\n"
        "partenza vi copia i contenuti degli esercizi; alle successive copia quelli nuovi\n"
        "e aggiorna quelli che nessuno ha cambiato. L'archivio dei risultati\n"
        "(permorvello/testi1.mdb) e i file cambiati da un insegnante non vengono mai\n"
        "sovrascritti.\n"
        "\n"
        "Variabili d'ambiente:\n"
        "  MORVELLO_DIR      la cartella dei dati (relativa alla cartella personale se\n"
        "                    non è un percorso assoluto); una cartella di questo\n"
        "                    computer, mai una cartella di rete condivisa da più\n"
        "                    computer\n"
        "  XDG_DATA_HOME     senza MORVELLO_DIR i dati stanno in $XDG_DATA_HOME/morvello,\n"
        "                    di solito ~/.local/share/morvello\n"
        "  MORVELLO_DRIVE_A  una cartella che fa le veci del disco rimovibile per\n"
        "                    l'esportazione dei risultati\n"
        "\n"
        "Tasti: F1 apre la guida per l'insegnante; nella schermata dei risultati\n"
        "Ctrl+P, o Maiusc+clic su \"Stampa i risultati\", apre la finestra di stampa.");
    return help;
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace morvello;

    // Answered here, before any folder is made or copied: asking for help
    // changes nothing. Every other option goes on to the program, which
    // knows Qt's own.
    if (argc > 1) {
        const CommandLine line = readCommandLine(argumentList(argc, argv), launcherHelp(), 0, UnknownOptions::Ignore);
        if (!line.run)
            return line.exitCode;
    }

    // Our own location, through the link the kernel keeps, so that an
    // unpacked tree works wherever it lies.
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const InstallLayout layout = installLayoutFor(QFileInfo(self).absolutePath());
    if (!QFileInfo(layout.program).isExecutable()) {
        tell(argc, argv, QStringLiteral("Manca il programma Morvello \"%1\": occorre reinstallare il pacchetto.")
                             .arg(layout.program));
        return 1;
    }

    QStringList problems;
    QString workDir;
    for (const QString &home : dataHomes(QProcessEnvironment::systemEnvironment())) {
        if (QDir().mkpath(home) && QFileInfo(home).isWritable()) {
            workDir = home;
            break;
        }
        problems << QStringLiteral("Impossibile usare la cartella \"%1\" per tenere i dati.").arg(home);
    }
    if (workDir.isEmpty()) {
        // Nowhere to keep results. The program still starts, finds no data
        // folder in "/" and says so; nothing is written under /usr.
        problems << QStringLiteral("Non c'è una cartella dove tenere i risultati: "
                                   "controllare le variabili HOME e MORVELLO_DIR.");
        workDir = QStringLiteral("/");
    } else {
        problems << syncShippedContent(layout.shippedContent, workDir).errors;
    }
    if (!problems.isEmpty()) {
        problems << QString() << QStringLiteral("Morvello parte comunque, dalla cartella \"%1\".").arg(workDir);
        tell(argc, argv, problems.join(QLatin1Char('\n')));
    }

    if (::chdir(QFile::encodeName(workDir).constData()) != 0) {
        tell(argc, argv, QStringLiteral("Impossibile entrare nella cartella \"%1\": %2.")
                             .arg(workDir, QString::fromLocal8Bit(std::strerror(errno))));
        return 1;
    }
    const QByteArray program = QFile::encodeName(layout.program);
    std::vector<char *> args;
    args.push_back(const_cast<char *>(program.constData()));
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    ::execv(program.constData(), args.data());
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    tell(argc, argv, QStringLiteral("Impossibile avviare il programma \"%1\": %2.").arg(layout.program, reason));
    return 1;
}
