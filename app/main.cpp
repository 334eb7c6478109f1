// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/commandline.h"
#include "core/services.h"
#include "shell/morvelloapp.h"

#include <QApplication>
#include <QDir>

namespace {

morvello::CommandLineHelp programHelp()
{
    morvello::CommandLineHelp help;
    help.program = QStringLiteral("morvello");
    help.summary = QStringLiteral("Morvello: esercizi di analisi dei testi italiani per la scuola media.");
    help.details = QStringLiteral(
        "Il programma parte dalla cartella corrente, che contiene la cartella dei dati\n"
        "\"permorvello\": l'archivio dei risultati testi1.mdb e i contenuti degli esercizi.\n"
        "Installato dal pacchetto si avvia con il comando \"morvello\", che prepara la\n"
        "cartella dei dati dell'utente (~/.local/share/morvello).\n"
        "\n"
        "Variabili d'ambiente:\n"
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
    // --help and --version are answered before any window exists, so they
    // work without a display; Qt's own options are still in the list here.
    if (argc > 1) {
        const morvello::CommandLine early = morvello::readCommandLine(
            morvello::argumentList(argc, argv), programHelp(), 0, morvello::UnknownOptions::Ignore);
        if (!early.run)
            return early.exitCode;
    }
    QApplication app(argc, argv);
    if (argc > 1) { // what the application object did not take is a mistake
        const morvello::CommandLine line = morvello::readCommandLine(app.arguments(), programHelp(), 0);
        if (!line.run)
            return line.exitCode;
    }
    morvello::setupApplication(app);

    // Where no removable medium is mounted, a folder may play the floppy
    // drive "A:" for a trial of the export.
    std::unique_ptr<morvello::RemovableDrive> drive;
    if (qEnvironmentVariableIsSet("MORVELLO_DRIVE_A"))
        drive = std::make_unique<morvello::FolderDrive>(qEnvironmentVariable("MORVELLO_DRIVE_A"));

    // The data folder lies below the working directory, as it always has.
    morvello::MorvelloApp morvello(QDir::currentPath(), nullptr, std::move(drive));
    if (!morvello.start())
        return 1;
    if (morvello.ended())
        return 0;
    return app.exec();
}
