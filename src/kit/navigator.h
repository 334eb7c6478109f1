#pragma once
#include "screen.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace morvello {

// Owns the screens by name. A screen is built and its Form_Load run the first
// time it is shown (or loaded); hiding keeps it with all its state; unloading
// destroys it, so the next show starts from scratch.
class Navigator : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<Screen *()>;

    explicit Navigator(QObject *parent = nullptr);
    ~Navigator() override;

    void registerScreen(const QString &name, Factory factory);
    bool isRegistered(const QString &name) const { return m_factories.contains(name); }

    // The screen shown when a return names no screen (the main menu).
    void setFallback(const QString &name) { m_fallback = name; }
    QString fallback() const { return m_fallback; }

    Screen *load(const QString &name);
    Screen *screen(const QString &name) const;
    bool isLoaded(const QString &name) const { return screen(name) != nullptr; }
    template <class T>
    T *screenAs(const QString &name) const { return qobject_cast<T *>(screen(name)); }

    // Loads if needed, then shows full-size on top. Null when no such screen
    // is registered.
    Screen *show(const QString &name);
    void hide(const QString &name);
    // Hides and destroys the screen (deferred, so a screen may unload itself
    // from its own handler).
    void unload(const QString &name);
    void unloadAll();

    // The results screen's return: shows the screen named by FormChiamante,
    // or the fallback screen when that names no screen.
    Screen *showCaller(const QString &formChiamante);

    QStringList loadedScreens() const;

    // Whether show() puts windows on the display; tests that only drive the
    // logic may turn it off.
    void setShowWindows(bool on) { m_showWindows = on; }

signals:
    void screenLoaded(const QString &name);
    void screenUnloaded(const QString &name);

private:
    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<Screen>> m_screens;
    QString m_fallback;
    bool m_showWindows = true;
};

} // namespace morvello
