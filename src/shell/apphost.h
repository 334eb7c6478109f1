// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "activities.h"

#include "kit/activityhost.h"
#include "kit/navigator.h"
#include "core/services.h"
#include "core/session.h"

#include <functional>
#include <map>
#include <memory>

namespace morvello {

class Database;
class FRisultati;
class ResultsStore;
class ServerLink;
struct ServerConfig;

// The program around the screens: the session, the navigator with every
// screen, and the results store, answering what the screens ask through
// ActivityHost. The services are the caller's (real ones in the program,
// scripted ones in tests).
class AppHost : public ActivityHost
{
public:
    explicit AppHost(Services &services);
    ~AppHost() override;

    Session &session() { return m_session; }
    Services &services() { return m_services; }
    Navigator &navigator() { return *m_navigator; }
    ScreenEnv env() { return ScreenEnv{&m_session, &m_services, this}; }

    // The results file the store works on (owned by the caller); null for none.
    void setDatabase(Database *db);
    ResultsStore *store() const { return m_store.get(); }
    // A lab server in front of the file (see ServerLink): checked at once on
    // a worker thread and every minute by the services' timers; what it
    // refuses is told through the dialogs, once. Null without a store.
    ServerLink *connectServer(const ServerConfig &config);
    ServerLink *serverLink() const { return m_link.get(); }

    // What ending the program does (the application's quit; a flag in tests).
    void setEnd(std::function<void()> end) { m_end = std::move(end); }

    // Makes the menu, the results screen and the activities known to the
    // navigator; the menu is the fallback of every return.
    void registerScreens(const QVector<Activity> &rows = activities());
    // The results screen alone (tests that stand in for the other screens).
    void registerResultsScreen();
    const QVector<Activity> &activityRows() const { return m_rows; }

    // The menu's archive label: the results screen is shown, refreshed for
    // NomeStudente and told to return to the menu.
    void openArchiveFromMenu();
    FRisultati *resultsScreen();

    // The pupil's choice of the high-legibility look: read from the archive
    // when the name is given, kept there when the pupil changes it. A choice
    // the archive could not keep holds for the run, and the pupil is told.
    void readPupilChoices();
    void setLegibleText(bool on);

    // ActivityHost
    void showMenu() override;
    void openArchive(const QString &caller) override;
    void showCaller(const QString &formChiamante) override;
    void quit() override;
    void endProgram() override;
    void askName() override;
    DbError save(const QVector<GroupValues> &groups, const SaveOrigin &origin = {}) override;
    DbError appendStudentRow(const QString &argomento, double right, double second) override;
    Screen *showScreen(const QString &name) override;
    void hideScreen(const QString &name) override;
    void unloadScreen(const QString &name) override;
    void loadScreen(const QString &name) override;
    QObject *sharedModel(const QString &key, const std::function<QObject *()> &make) override;

private:
    Session m_session;
    Services &m_services;
    std::map<QString, std::unique_ptr<QObject>> m_models;
    std::unique_ptr<Navigator> m_navigator;
    std::unique_ptr<ResultsStore> m_store;
    std::unique_ptr<ServerLink> m_link; // after the store: it goes first
    std::function<void()> m_end;
    QVector<Activity> m_rows;
};

} // namespace morvello
