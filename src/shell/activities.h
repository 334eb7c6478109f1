// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/resultgroups.h"
#include "kit/activityhost.h"

#include <QRect>
#include <QString>
#include <QVector>
#include <functional>

namespace morvello {

class ContentCheckRegistry;
class Navigator;
class Screen;

// What the menu does with itself when it opens an activity.
enum class MenuAfterOpening { Stays, Hides };

// The menu's columns of activities, each under its heading.
enum class MenuSection { Narrativi, Espositivi, Poetici };

// One activity of the program, and everything the rest of the program needs
// to know of it: the screen as FormChiamante knows it; the menu label that
// opens it (its objectName; empty for a screen opened only by another, such
// as the second poetry screen), that label's caption, section and place on
// the menu, and what the menu then does; how to build the screen; the checks
// of its content files for morvello-check; the result groups it saves into.
// The menu, the navigator and morvello-check read nothing else.
struct Activity
{
    QString screen;
    QString menuLabel;
    MenuAfterOpening menu = MenuAfterOpening::Stays;
    std::function<Screen *(const ScreenEnv &)> create;
    QString menuCaption;
    MenuSection section = MenuSection::Narrativi;
    QRect menuTwips;
    void (*addChecks)(ContentCheckRegistry &) = nullptr;
    QVector<FieldGroup> groups;
};

// The activities of the program, one row each, in the menu's order.
const QVector<Activity> &activities();

// The row opened by a menu label; null when none.
const Activity *activityForMenuLabel(const QVector<Activity> &rows, const QString &label);

// Makes every row's screen known to the navigator, built with `env`.
void registerActivities(Navigator &nav, const ScreenEnv &env, const QVector<Activity> &rows = activities());

// Every content check of the program: the pictures every activity shares,
// then each row's own.
void addContentChecks(ContentCheckRegistry &registry, const QVector<Activity> &rows = activities());

} // namespace morvello
