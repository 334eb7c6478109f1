#include "navigator.h"

namespace morvello {

Navigator::Navigator(QObject *parent) : QObject(parent) {}

Navigator::~Navigator()
{
    for (auto &s : m_screens)
        delete s.data();
}

void Navigator::registerScreen(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

Screen *Navigator::screen(const QString &name) const
{
    auto it = m_screens.constFind(name);
    return it == m_screens.constEnd() ? nullptr : it->data();
}

Screen *Navigator::load(const QString &name)
{
    if (Screen *s = screen(name))
        return s;
    auto f = m_factories.constFind(name);
    if (f == m_factories.constEnd())
        return nullptr;
    Screen *s = (*f)();
    if (!s)
        return nullptr;
    m_screens.insert(name, s);
    s->formLoad();
    emit screenLoaded(name);
    return s;
}

Screen *Navigator::show(const QString &name)
{
    Screen *s = load(name);
    if (s && m_showWindows)
        s->showFullSize();
    return s;
}

void Navigator::hide(const QString &name)
{
    if (Screen *s = screen(name))
        s->hide();
}

void Navigator::unload(const QString &name)
{
    QPointer<Screen> s = m_screens.take(name);
    if (!s)
        return;
    s->hide();
    s->deleteLater();
    emit screenUnloaded(name);
}

void Navigator::unloadAll()
{
    const QStringList names = m_screens.keys();
    for (const QString &n : names)
        unload(n);
}

Screen *Navigator::showCaller(const QString &formChiamante)
{
    if (isRegistered(formChiamante))
        return show(formChiamante);
    return show(m_fallback);
}

QStringList Navigator::loadedScreens() const
{
    QStringList out;
    for (auto it = m_screens.cbegin(); it != m_screens.cend(); ++it)
        if (it.value())
            out << it.key();
    return out;
}

} // namespace morvello
