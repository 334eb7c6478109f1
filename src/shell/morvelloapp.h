// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "apphost.h"

#include "core/clock.h"
#include "storage/database.h"
#include "core/dialogs.h"
#include "core/services.h"
#include "core/ticker.h"

#include <QString>
#include <memory>

class QApplication;

namespace morvello {

// Italian dialogs from Qt itself, the old fonts mapped onto packaged
// metric-compatible ones.
void setupApplication(QApplication &app);

// The windows' icon, from the menu entry's pictures; start() sets it.
void setWindowIcon();

// Writes past the process's file-size limit fail (as on a full disk) instead
// of ending the program; start() does it.
void ignoreFileSizeSignal();

// Owns everything the run shares: the real services, the results database
// and the host with its screens.
class MorvelloApp
{
public:
    // baseDir: the folder that holds the data folder "permorvello".
    explicit MorvelloApp(const QString &baseDir, std::unique_ptr<Dialogs> dialogs = nullptr,
                         std::unique_ptr<RemovableDrive> drive = nullptr);
    ~MorvelloApp();

    AppHost &host() { return *m_host; }
    Navigator &navigator() { return m_host->navigator(); }
    Session &session() { return m_host->session(); }

    // Prepares the data folder, opens the results database and shows the
    // menu (which asks for the name). On failure the pupil is told why and
    // false is returned: the program cannot work without its archive.
    bool start();

    // True once something asked the program to end.
    bool ended() const { return m_ended; }

private:
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<RemovableDrive> m_drive;
    std::unique_ptr<PrinterSource> m_printer;
    // Made at once, but it reaches the engine only when a passage is first read.
    std::unique_ptr<Speech> m_speech;
    SystemClock m_clock;
    SeededRandom m_random;
    TimerTickSource m_ticks;
    Services m_services;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<AppHost> m_host;
    bool m_ended = false;
};

} // namespace morvello
