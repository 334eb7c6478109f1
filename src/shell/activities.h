#pragma once
#include "kit/activityhost.h"

#include <QString>
#include <QVector>
#include <functional>

namespace morvello {

class Navigator;
class Screen;

// What the menu does with itself when it opens an activity.
enum class MenuAfterOpening { Stays, Hides };

// One activity of the program: the screen as FormChiamante knows it, the menu
// label that opens it (empty for a screen opened only by another, such as the
// second poetry screen), what the menu then does, and how to build it.
struct Activity
{
    QString screen;
    QString menuLabel;
    MenuAfterOpening menu = MenuAfterOpening::Stays;
    std::function<Screen *(const ScreenEnv &)> create;
};

// The activities of this build, one row each. An activity whose library is
// not part of the build has no row: its menu label does nothing.
const QVector<Activity> &activities();

// The row opened by a menu label; null when none.
const Activity *activityForMenuLabel(const QVector<Activity> &rows, const QString &label);

// Makes every row's screen known to the navigator, built with `env`.
void registerActivities(Navigator &nav, const ScreenEnv &env, const QVector<Activity> &rows = activities());

} // namespace morvello
