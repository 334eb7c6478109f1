// SPDX-License-Identifier: GPL-3.0-or-later
#include "morvelloapp.h"

#include "screennames.h"

#include "core/commandline.h"

#include "storage/datafolder.h"
#include "storage/serverconfig.h"
#include "results/printout.h"
#include "storage/removabledrive.h"
#include "kit/qtdialogs.h"
#include "speech/enginespeech.h"

#include "kit/accessibility.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <csignal>

namespace morvello {

void setupApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("Morvello"));
    app.setApplicationDisplayName(QStringLiteral("Morvello"));
    app.setApplicationVersion(morvelloVersion());
    // The desktop matches the windows to the menu entry by this name.
    app.setDesktopFileName(QStringLiteral("org.morvello.morvello"));
    app.setQuitOnLastWindowClosed(false);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    static QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    // The screens name the fonts of their design; these are the packaged
    // fonts with the same metrics.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont base(QStringLiteral("Liberation Sans"));
    base.setPointSizeF(10);
    app.setFont(base);
    a11y::install();
}

MorvelloApp::MorvelloApp(const QString &baseDir, std::unique_ptr<Dialogs> dialogs,
                         std::unique_ptr<RemovableDrive> drive)
    : m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>()),
      m_drive(drive ? std::move(drive) : std::make_unique<SystemRemovableDrive>()),
      m_printer(std::make_unique<SystemPrinter>()),
      m_speech(std::make_unique<EngineSpeech>()),
      m_random(quint32(QDateTime::currentMSecsSinceEpoch() & 0xffffffffu))
{
    m_services.baseDir = baseDir;
    m_services.dialogs = m_dialogs.get();
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.ticks = &m_ticks;
    m_services.drive = m_drive.get();
    m_services.printer = m_printer.get();
    m_services.speech = m_speech.get();
    m_host = std::make_unique<AppHost>(m_services);
    m_host->setEnd([this] {
        m_ended = true;
        for (const QString &name : m_host->navigator().loadedScreens())
            m_host->navigator().hide(name);
        // Queued, so that the handler that asked finishes first and an end
        // asked before the event loop runs is not lost.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    });
    m_host->registerScreens();
}

MorvelloApp::~MorvelloApp()
{
    m_host.reset();
    if (m_db)
        m_db->close();
}

void setWindowIcon()
{
    // The sizes a window manager shows. Each is decoded when it is added, so
    // the screens get them after the name entry, which can do without.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icona/morvello-%1.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool MorvelloApp::start()
{
    // A write past a file-size limit then fails like a write onto a full
    // disk, and the pupil is told, instead of the program vanishing.
    ignoreFileSizeSignal();
    DbError err = prepareDataFolder(m_services.baseDir);
    if (!err.isError())
        m_db = openResultsDatabase(m_services.baseDir, &err);
    if (!m_db) {
        m_dialogs->message(err.message + QStringLiteral("\n\nIl programma non può continuare e viene chiuso."));
        return false;
    }
    // What was found and mended on the way (a log set aside, names that
    // could not be joined) is said once; the program goes on.
    for (const QString &notice : m_db->notices())
        m_dialogs->message(notice);
    m_host->setDatabase(m_db.get());
    // A school's lab server, when its technician named one: the file above
    // stays, for whenever the server does not answer.
    const ServerConfig server = ServerConfig::load();
    if (server.isSet())
        m_host->connectServer(server);
    // The menu's load would ask the name before showing itself; asked here,
    // before the menu is built, the name entry is on screen without waiting
    // for the menu's fonts, most of the start-up. The menu then finds the
    // name and builds while nothing else is on screen.
    if (m_host->session().nomeStudente.isEmpty())
        m_host->askName();
    setWindowIcon();
    m_host->showMenu();
    return true;
}

} // namespace morvello
