#include "core/services.h"
#include "shell/morvelloapp.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
