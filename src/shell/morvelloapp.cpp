#include "morvelloapp.h"

#include "chiedinome.h"
#include "fmenu.h"
#include "results/datafolder.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

namespace morvello {

void setupApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("Morvello"));
    app.setApplicationDisplayName(QStringLiteral("Morvello"));
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
}

MorvelloApp::MorvelloApp(const QString &baseDir, std::unique_ptr<Dialogs> dialogs)
    : m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>()),
      m_random(quint32(QDateTime::currentMSecsSinceEpoch() & 0xffffffffu))
{
    m_ctx.baseDir = baseDir;
    m_ctx.dialogs = m_dialogs.get();
    m_ctx.clock = &m_clock;
    m_ctx.random = &m_random;
    m_navigator = std::make_unique<Navigator>(m_ctx);
    m_ctx.navigator = m_navigator.get();
    m_ctx.askName = [](AppContext &c) { ChiediNome(c); };
    m_ctx.quit = [this] {
        m_ended = true;
        for (const QString &name : m_navigator->loadedScreens())
            m_navigator->hide(name);
        // Queued, so that the handler that asked finishes first and an end
        // asked before the event loop runs is not lost.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    };
    m_navigator->registerScreen(ScreenName::Menu, [](AppContext &c) { return new FMenu(c); });
}

MorvelloApp::~MorvelloApp()
{
    m_navigator.reset();
    m_ctx.dbTesti = nullptr;
    if (m_db)
        m_db->close();
}

bool MorvelloApp::start()
{
    DbError err = prepareDataFolder(m_ctx.baseDir);
    if (!err.isError())
        m_db = openResultsDatabase(m_ctx.baseDir, &err);
    if (!m_db) {
        m_dialogs->message(err.message + QStringLiteral("\n\nIl programma non può continuare e viene chiuso."));
        return false;
    }
    m_ctx.dbTesti = m_db.get();
    m_navigator->show(ScreenName::Menu);
    return true;
}

} // namespace morvello
