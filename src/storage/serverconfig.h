// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QSettings;

namespace morvello {

// Where a school's lab server is, as its technician wrote it in the
// [server] section of morvello.conf ($XDG_CONFIG_HOME/morvello/ first, then
// /etc/xdg/morvello/). A password is never read from here: libpq finds it
// in ~/.pgpass (mode 0600) or in the service file named by `service`.
struct ServerConfig
{
    QString host;     // a name, an address, or a folder holding the socket
    int port = 5432;
    QString database;
    QString role;
    QString sslmode;  // libpq's own words: disable, require, verify-full ...
    QString service;  // a section of pg_service.conf, instead of the above

    // No server named: the file archive alone, as without any configuration.
    bool isSet() const { return !database.isEmpty() || !service.isEmpty(); }
    // How messages name the server ("morvello su lab-server").
    QString shownName() const;
    // libpq's connection options Qt passes on; a connection that cannot be
    // made in 2 s is given up, and so is one whose sent data go unanswered
    // for as long.
    QString connectOptions() const;

    static ServerConfig fromSettings(QSettings &settings);
    // The program's own: morvello.conf in the standard places.
    static ServerConfig load();
};

} // namespace morvello
