#include "launcher/contentsync.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
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
    QMessageBox::warning(nullptr, QStringLiteral("Morvello"), text);
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace morvello;

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
    const QString dataHome = chooseDataHome(QProcessEnvironment::systemEnvironment());
    QString workDir = dataHome;
    if (dataHome.isEmpty()) {
        problems << QStringLiteral("Non si sa dove tenere i dati: mancano le variabili HOME e MORVELLO_DIR.");
    } else if (!QDir().mkpath(dataHome)) {
        problems << QStringLiteral("Impossibile creare la cartella \"%1\" dove tenere i dati.").arg(dataHome);
    } else {
        problems << syncShippedContent(layout.shippedContent, dataHome).errors;
    }
    if (dataHome.isEmpty() || !QFileInfo(dataHome).isDir()) {
        // The program still starts, from the shipped content, and says on
        // its own that it cannot keep the results there.
        workDir = QFileInfo(layout.shippedContent).absolutePath();
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
