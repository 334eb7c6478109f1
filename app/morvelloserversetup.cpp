// SPDX-License-Identifier: GPL-3.0-or-later
// morvello-server-setup: prepares a school's PostgreSQL server for the lab's
// computers. Run by the technician as one of the server's superusers.
#include "core/commandline.h"
#include "storage/serverconfig.h"
#include "storage/serversetup.h"

#include <QCoreApplication>

#include <cstdio>

using namespace morvello;

int main(int argc, char *argv[])
{
    CommandLineHelp help;
    help.program = QStringLiteral("morvello-server-setup");
    help.arguments = QStringLiteral("[ARCHIVIO [ALUNNI [DOCENTE]]]");
    help.summary = QStringLiteral("Prepara il server PostgreSQL della scuola per i risultati di Morvello.");
    help.argumentLines = {
        QStringLiteral("ARCHIVIO  il nome dell'archivio sul server (morvello)"),
        QStringLiteral("ALUNNI    il ruolo dei computer degli alunni (morvello_alunni)"),
        QStringLiteral("DOCENTE   il ruolo del docente, che legge tutto (morvello_docente)"),
    };
    help.details = QStringLiteral(
        "Si collega al server come indicano PGHOST, PGPORT e PGUSER (di solito:\n"
        "sudo -u postgres morvello-server-setup). Crea l'archivio, le sue tabelle e i due\n"
        "ruoli se mancano; ripetuto, riassegna soltanto i diritti. I computer degli alunni\n"
        "leggono, aggiungono e aggiornano i risultati, e nient'altro. Le password si\n"
        "assegnano con ALTER ROLE e stanno nel file ~/.pgpass di ogni computer.");
    const CommandLine line = readCommandLine(argumentList(argc, argv), help, 3);
    if (!line.run)
        return line.exitCode;
    QCoreApplication app(argc, argv);

    ServerSetup setup;
    const QStringList args = line.positional;
    if (args.size() > 0)
        setup.database = args.at(0);
    if (args.size() > 1)
        setup.pupilsRole = args.at(1);
    if (args.size() > 2)
        setup.teacherRole = args.at(2);
    // Host, port and the superuser's name come from libpq's own variables;
    // the first connection goes to the maintenance database.
    ServerConfig admin;
    admin.database = qEnvironmentVariable("PGDATABASE", QStringLiteral("postgres"));
    admin.port = qEnvironmentVariableIntValue("PGPORT") > 0 ? qEnvironmentVariableIntValue("PGPORT") : 5432;
    admin.host = qEnvironmentVariable("PGHOST");
    admin.role = qEnvironmentVariable("PGUSER");

    QStringList report;
    const DbError error = setUpServer(admin, setup, &report);
    for (const QString &l : std::as_const(report))
        std::printf("%s\n", qPrintable(l));
    if (error.isError()) {
        std::fprintf(stderr, "morvello-server-setup: %s\n", qPrintable(error.message));
        return 1;
    }
    std::printf("Il server è pronto. Nel file morvello.conf di ogni computer, sezione [server]:\n"
                "host, database=%s, role=%s, sslmode=verify-full.\n",
                qPrintable(setup.database), qPrintable(setup.pupilsRole));
    return 0;
}
