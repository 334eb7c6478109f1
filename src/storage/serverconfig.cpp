// SPDX-License-Identifier: GPL-3.0-or-later
#include "serverconfig.h"

#include <QSettings>
#include <QStringList>

namespace morvello {

QString ServerConfig::shownName() const
{
    const QString what = database.isEmpty() ? service : database;
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')))
        return what;
    return QStringLiteral("%1 su %2").arg(what, host);
}

QString ServerConfig::connectOptions() const
{
    QStringList options{QStringLiteral("connect_timeout=2"), QStringLiteral("tcp_user_timeout=2000"),
                        QStringLiteral("application_name=morvello"),
                        // The server's notices are for its own log, not the pupil's terminal.
                        QStringLiteral("options='-c client_min_messages=warning'")};
    // Values are single words for libpq; anything else is dropped rather
    // than let it add options of its own.
    auto word = [](const QString &v) {
        for (const QChar c : v)
            if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.')))
                return false;
        return !v.isEmpty();
    };
    if (word(sslmode))
        options << QStringLiteral("sslmode=") + sslmode;
    if (word(service))
        options << QStringLiteral("service=") + service;
    return options.join(QLatin1Char(';'));
}

ServerConfig ServerConfig::fromSettings(QSettings &settings)
{
    ServerConfig c;
    settings.beginGroup(QStringLiteral("server"));
    c.host = settings.value(QStringLiteral("host")).toString().trimmed();
    bool ok = false;
    const int port = settings.value(QStringLiteral("port"), 5432).toInt(&ok);
    c.port = ok && port > 0 && port < 65536 ? port : 5432;
    c.database = settings.value(QStringLiteral("database")).toString().trimmed();
    c.role = settings.value(QStringLiteral("role")).toString().trimmed();
    c.sslmode = settings.value(QStringLiteral("sslmode")).toString().trimmed();
    c.service = settings.value(QStringLiteral("service")).toString().trimmed();
    settings.endGroup();
    return c;
}

ServerConfig ServerConfig::load()
{
    // The user's file first, then the system-wide one: QSettings' own order
    // (morvello.conf in $XDG_CONFIG_HOME/morvello/, then /etc/xdg/morvello/).
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("morvello"),
                       QStringLiteral("morvello"));
    return fromSettings(settings);
}

} // namespace morvello
