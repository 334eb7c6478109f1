// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/register.h"
#include "registerview/registerwindow.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(MORVELLO_VERSION));
    morvello::setupRegisterApplication();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Registro del docente di Morvello: raccoglie in un registro per classe i risultati "
                       "esportati dai computer della classe, li mostra in tabelle e grafici, li stampa e li salva in CSV."));
    // Our own help option: Qt's has no Italian text for it.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Mostra questo aiuto ed esce."));
    parser.addOption(help);
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("registro"),
                                 QStringLiteral("Il file del registro da aprire (facoltativo)."),
                                 QStringLiteral("[registro]"));
    parser.process(app);
    if (parser.isSet(help))
        parser.showHelp(0);

    morvello::RegisterWindow window;
    window.resize(1280, 800);
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openFile(parser.positionalArguments().constFirst());
    return app.exec();
}
