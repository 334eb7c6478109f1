#pragma once
#include "platform/appcontext.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/navigator.h"

#include <QString>
#include <memory>

class QApplication;

namespace morvello {

// Italian dialogs from Qt itself, the old fonts mapped onto packaged
// metric-compatible ones.
void setupApplication(QApplication &app);

// Owns everything the run shares: the results database, the dialogs, the
// clock and random source, the navigator with its screens, and the context
// handed to every screen.
class MorvelloApp
{
public:
    // baseDir: the folder that holds the data folder "permorvello".
    explicit MorvelloApp(const QString &baseDir, std::unique_ptr<Dialogs> dialogs = nullptr);
    ~MorvelloApp();

    AppContext &context() { return m_ctx; }
    Navigator &navigator() { return *m_navigator; }

    // Prepares the data folder, opens the results database and shows the
    // menu (which asks for the name). On failure the pupil is told why and
    // false is returned: the program cannot work without its archive.
    bool start();

    // True once something asked the program to end.
    bool ended() const { return m_ended; }

private:
    AppContext m_ctx;
    std::unique_ptr<Dialogs> m_dialogs;
    SystemClock m_clock;
    SeededRandom m_random;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Navigator> m_navigator;
    bool m_ended = false;
};

} // namespace morvello
