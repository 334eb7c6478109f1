#include "activities.h"

#include "screennames.h"

#include "kit/navigator.h"
#include "sequences/sequencescreens.h"

#include "narrative/narrativescreens.h"
#include "poetry/poetryscreens.h"

namespace morvello {

const QVector<Activity> &activities()
{
    static const QVector<Activity> rows = {
        {ScreenName::Sequenze, QStringLiteral("Labtipo"), MenuAfterOpening::Stays, &sequencescreens::createSequenze},
        {ScreenName::Espositivo, QStringLiteral("LabFunzioni"), MenuAfterOpening::Stays,
         &sequencescreens::createEspositivo},
        {ScreenName::TrovaSeq, QStringLiteral("Labsequenze"), MenuAfterOpening::Hides,
         &narrativescreens::createTrovaSeq},
        {ScreenName::Genette, QStringLiteral("Labgenette"), MenuAfterOpening::Hides,
         &narrativescreens::createGenette},
        {ScreenName::Poesia1, QStringLiteral("LabBASI"), MenuAfterOpening::Stays, &poetryscreens::createPoesia1},
        // Opened only by the poem screen, whose questions it holds.
        {ScreenName::Poesia2, QString(), MenuAfterOpening::Stays, &poetryscreens::createPoesia2},
        {ScreenName::Metafore, QStringLiteral("LabFigure"), MenuAfterOpening::Stays, &poetryscreens::createMetafore},
    };
    return rows;
}

const Activity *activityForMenuLabel(const QVector<Activity> &rows, const QString &label)
{
    if (label.isEmpty())
        return nullptr;
    for (const Activity &a : rows)
        if (a.menuLabel == label)
            return &a;
    return nullptr;
}

void registerActivities(Navigator &nav, const ScreenEnv &env, const QVector<Activity> &rows)
{
    for (const Activity &a : rows) {
        if (!a.create)
            continue;
        auto create = a.create;
        nav.registerScreen(a.screen, [create, env]() { return create(env); });
    }
}

} // namespace morvello
