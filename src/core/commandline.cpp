// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <QCommandLineParser>

namespace morvello {

namespace {

void write(FILE *to, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

const QCommandLineOption &helpOption()
{
    static const QCommandLineOption o({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                                      QStringLiteral("mostra questo aiuto ed esce"));
    return o;
}

const QCommandLineOption &versionOption()
{
    static const QCommandLineOption o({QStringLiteral("v"), QStringLiteral("version")},
                                      QStringLiteral("mostra la versione ed esce"));
    return o;
}

} // namespace

QString morvelloVersion()
{
    return QStringLiteral(MORVELLO_VERSION);
}

QStringList argumentList(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

QString helpText(const CommandLineHelp &help)
{
    QString text = QStringLiteral("Uso: %1 [OPZIONI]%2\n%3\n\nOpzioni:\n")
                       .arg(help.program, help.arguments.isEmpty() ? QString() : QLatin1Char(' ') + help.arguments,
                            help.summary);
    text += QStringLiteral("  -h, --help     mostra questo aiuto ed esce\n");
    text += QStringLiteral("  -v, --version  mostra la versione ed esce\n");
    if (!help.argumentLines.isEmpty()) {
        text += QStringLiteral("\nArgomenti:\n");
        for (const QString &line : help.argumentLines)
            text += QStringLiteral("  ") + line + QLatin1Char('\n');
    }
    if (!help.details.isEmpty())
        text += QLatin1Char('\n') + help.details + QLatin1Char('\n');
    text += QStringLiteral("\nManuale: man %1\n").arg(help.program);
    return text;
}

QString versionText(const QString &program)
{
    return QStringLiteral("%1 (Morvello) %2\n"
                          "Copyright (C) 2026 gli sviluppatori di Morvello.\n"
                          "Licenza GPLv3+: GNU GPL versione 3 o successiva <https://www.gnu.org/licenses/gpl.html>.\n"
                          "Questo è software libero: lo si può modificare e ridistribuire.\n"
                          "Non c'è ALCUNA GARANZIA, nei limiti permessi dalla legge.\n")
        .arg(program, morvelloVersion());
}

CommandLine readCommandLine(const QStringList &arguments, const CommandLineHelp &help, int maxPositional,
                            UnknownOptions unknown, FILE *out, FILE *err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption());
    parser.addOption(versionOption());
    // parse() goes on past an unknown option, so --help is seen wherever it is.
    const bool clean = parser.parse(arguments.isEmpty() ? QStringList{help.program} : arguments);

    CommandLine result;
    if (parser.isSet(helpOption())) {
        write(out, helpText(help));
        result.run = false;
        return result;
    }
    if (parser.isSet(versionOption())) {
        write(out, versionText(help.program));
        result.run = false;
        return result;
    }
    if (unknown == UnknownOptions::Ignore)
        return result;

    const auto mistake = [&](const QString &what) {
        write(err, QStringLiteral("%1: %2\nPer l'elenco delle opzioni: %1 --help\n").arg(help.program, what));
        result.run = false;
        result.exitCode = 2;
        return result;
    };
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        return mistake(QStringLiteral("opzione sconosciuta: %1%2")
                           .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name));
    }
    if (!clean) // a value given to an option that takes none, and the like
        return mistake(QStringLiteral("riga di comando non valida (%1)").arg(parser.errorText()));
    result.positional = parser.positionalArguments();
    if (result.positional.size() > maxPositional)
        return mistake(maxPositional == 0
                           ? QStringLiteral("non accetta argomenti, ma ha ricevuto \"%1\"").arg(result.positional.constFirst())
                           : QStringLiteral("troppi argomenti (al massimo %1)").arg(maxPositional));
    return result;
}

} // namespace morvello
