// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"
#include "core/resultgroups.h"
#include "core/services.h"
#include "core/session.h"

#include <QObject>
#include <QString>
#include <QVector>
#include <functional>

namespace morvello {

class Screen;

// What a screen may ask of the program around it: the narrow way to the
// other screens and to the results file. The shell answers it; tests answer
// it with the same shell over a temporary folder.
class ActivityHost
{
public:
    virtual ~ActivityHost() = default;

    // Shows the main menu.
    virtual void showMenu() = 0;
    // The archive exit: FormChiamante = caller, the results screen refreshed
    // for NomeStudente and shown, the caller hidden.
    virtual void openArchive(const QString &caller) = 0;
    // Shows the screen named by FormChiamante again (the menu when it names
    // no screen).
    virtual void showCaller(const QString &formChiamante) = 0;
    // Closes the results file and ends the program.
    virtual void quit() = 0;
    // Ends the program without closing the results file first (the menu's exit).
    virtual void endProgram() = 0;
    // Runs the name entry.
    virtual void askName() = 0;

    // Saves the groups in the row of NomeStudente (found by name or created),
    // all in one durable transaction; an empty name saves nothing. `origin`
    // (screen and visit) goes into the history of attempts.
    virtual DbError save(const QVector<GroupValues> &groups, const SaveOrigin &origin = {}) = 0;
    // Appends a row to "studenti" for NomeStudente; an empty name writes nothing.
    virtual DbError appendStudentRow(const QString &argomento, double right, double second) = 0;

    // Screens by name: the exits, and a screen that opens another.
    virtual Screen *showScreen(const QString &name) = 0;
    virtual void hideScreen(const QString &name) = 0;
    virtual void unloadScreen(const QString &name) = 0;
    // Loads a screen hidden, if it is not loaded already.
    virtual void loadScreen(const QString &name) = 0;

    // A model that several screens share: made by `make` at the first request
    // under `key` and kept by the host to the end of the run, so that a screen
    // unloaded and loaded again finds the same one.
    virtual QObject *sharedModel(const QString &key, const std::function<QObject *()> &make) = 0;
};

// The shared model of type T under T::key().
template <class T>
T &sharedModel(ActivityHost &host)
{
    return *static_cast<T *>(host.sharedModel(T::key(), [] { return new T; }));
}

// What a screen is built with: the session it reads and sets, the services,
// and the host. All three outlive every screen.
struct ScreenEnv
{
    Session *session = nullptr;
    Services *services = nullptr;
    ActivityHost *host = nullptr;
};

} // namespace morvello
