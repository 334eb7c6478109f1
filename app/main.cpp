#include "results/openresults.h"
#include "sequences/sequencescreens.h"
#include "shell/morvelloapp.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    morvello::setupApplication(app);

    // The data folder lies below the working directory, as it always has.
    morvello::MorvelloApp morvello(QDir::currentPath());
    morvello::registerResultsScreens(morvello.navigator());
    morvello::registerSequenceScreens(morvello.navigator());
    if (!morvello.start())
        return 1;
    if (morvello.ended())
        return 0;
    return app.exec();
}
