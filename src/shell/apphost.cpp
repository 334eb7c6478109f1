// SPDX-License-Identifier: GPL-3.0-or-later
#include "apphost.h"

#include "storage/preferences.h"

#include "chiedinome.h"
#include "fmenu.h"
#include "screennames.h"

#include "results/frisultati.h"
#include "storage/datafolder.h"
#include "storage/resultsstore.h"
#include "storage/serverlink.h"

#include <QPushButton>
#include <QShortcut>

namespace morvello {

AppHost::AppHost(Services &services) : m_services(services), m_navigator(std::make_unique<Navigator>())
{
    m_navigator->setFallback(ScreenName::Menu);
    // F1 opens the teacher's guide from every screen, as soon as it exists.
    QObject::connect(m_navigator.get(), &Navigator::screenLoaded, m_navigator.get(), [this](const QString &name) {
        if (Screen *s = m_navigator->screen(name))
            new QShortcut(QKeySequence::HelpContents, s, s, [this] { m_services.showGuide(); });
    });
}

AppHost::~AppHost()
{
    // Screens first: they may still reach the store while they go.
    m_navigator.reset();
    m_models.clear();
    m_link.reset();
    m_store.reset();
}

void AppHost::setDatabase(Database *db)
{
    m_link.reset();
    m_store = db ? std::make_unique<ResultsStore>(*db) : nullptr;
    if (m_store)
        m_store->setComputerId(computerId(m_services.baseDir));
}

ServerLink *AppHost::connectServer(const ServerConfig &config)
{
    if (!m_store || !config.isSet())
        return nullptr;
    m_link = std::make_unique<ServerLink>(config, *m_store);
    m_store->setLink(m_link.get());
    m_link->setTell([this](const QString &text) { m_services.tell(text); });
    m_link->start(m_services.ticks);
    return m_link.get();
}

void AppHost::registerScreens(const QVector<Activity> &rows)
{
    m_rows = rows;
    m_navigator->registerScreen(ScreenName::Menu, [this]() { return new FMenu(*this, m_rows); });
    registerResultsScreen();
    registerActivities(*m_navigator, env(), rows);
}

void AppHost::registerResultsScreen()
{
    m_navigator->registerScreen(ScreenName::Risultati, [this]() { return new FRisultati(env(), m_store.get()); });
}

FRisultati *AppHost::resultsScreen()
{
    return qobject_cast<FRisultati *>(m_navigator->load(ScreenName::Risultati));
}

void AppHost::showMenu()
{
    m_navigator->show(ScreenName::Menu);
}

void AppHost::openArchive(const QString &caller)
{
    m_session.formChiamante = caller;
    FRisultati *r = resultsScreen();
    if (!r)
        return;
    r->cmdAggiorna()->click();
    m_navigator->show(ScreenName::Risultati);
    if (caller != ScreenName::Risultati)
        m_navigator->hide(caller);
}

void AppHost::openArchiveFromMenu()
{
    FRisultati *r = resultsScreen();
    if (!r)
        return;
    m_navigator->show(ScreenName::Risultati);
    r->cmdAggiorna()->click();
    m_session.formChiamante = ScreenName::Menu;
}

void AppHost::showCaller(const QString &formChiamante)
{
    m_navigator->showCaller(formChiamante);
}

void AppHost::quit()
{
    // The exits of the screens close the results file before the end.
    if (m_store)
        m_store->close();
    endProgram();
}

void AppHost::endProgram()
{
    if (m_end)
        m_end();
}

void AppHost::askName()
{
    ChiediNome(m_session, m_services);
    readPupilChoices();
}

void AppHost::readPupilChoices()
{
    m_session.testoLeggibile = false;
    if (m_session.nomeStudente.isEmpty() || !m_store || !m_store->isOpen())
        return;
    DbError error;
    m_session.testoLeggibile = PupilPreferences(m_store->database()).legibleText(m_session.nomeStudente, &error);
    if (error.isError())
        qWarning("%s", qPrintable(error.message));
}

void AppHost::setLegibleText(bool on)
{
    m_session.testoLeggibile = on;
    if (m_session.nomeStudente.isEmpty())
        return;
    const DbError error = m_store && m_store->isOpen()
                              ? PupilPreferences(m_store->database()).setLegibleText(m_session.nomeStudente, on)
                              : DbError::make(DbErrorCode::NotOpen, ResultsStore::notOpenMessage());
    if (error.isError())
        m_services.tell(QStringLiteral("La scelta del testo più leggibile vale per ora, ma non è stata salvata "
                                       "nell'archivio.\n\n%1").arg(error.message));
}

DbError AppHost::save(const QVector<GroupValues> &groups, const SaveOrigin &origin)
{
    if (m_session.nomeStudente.isEmpty())
        return DbError{};
    if (!m_store)
        return DbError::make(DbErrorCode::NotOpen, ResultsStore::notOpenMessage());
    return m_store->save(m_session.nomeStudente, groups, m_services.now(), origin);
}

DbError AppHost::appendStudentRow(const QString &argomento, double right, double second)
{
    if (m_session.nomeStudente.isEmpty())
        return DbError{};
    if (!m_store)
        return DbError::make(DbErrorCode::NotOpen, ResultsStore::notOpenMessage());
    return m_store->appendStudentRow(m_session.nomeStudente, argomento, right, second);
}

Screen *AppHost::showScreen(const QString &name)
{
    return m_navigator->show(name);
}

void AppHost::hideScreen(const QString &name)
{
    m_navigator->hide(name);
}

void AppHost::unloadScreen(const QString &name)
{
    m_navigator->unload(name);
}

void AppHost::loadScreen(const QString &name)
{
    m_navigator->load(name);
}

QObject *AppHost::sharedModel(const QString &key, const std::function<QObject *()> &make)
{
    auto it = m_models.find(key);
    if (it == m_models.end())
        it = m_models.emplace(key, std::unique_ptr<QObject>(make())).first;
    return it->second.get();
}

} // namespace morvello
