// SPDX-License-Identifier: GPL-3.0-or-later
#include "activities.h"

#include "screennames.h"

#include "kit/navigator.h"
#include "sequences/sequencescreens.h"

#include "narrative/genettechecks.h"
#include "narrative/narrativescreens.h"
#include "narrative/storychecks.h"
#include "poetry/metaforechecks.h"
#include "poetry/poesiachecks.h"
#include "poetry/poetryscreens.h"
#include "text/contentcheck.h"

namespace morvello {

const QVector<Activity> &activities()
{
    static const QVector<Activity> rows = {
        {ScreenName::TrovaSeq, QStringLiteral("Labsequenze"), MenuAfterOpening::Hides, &narrativescreens::createTrovaSeq,
         QStringLiteral("Individuare sequenze..."), MenuSection::Narrativi, QRect(9240, 1800, 2295, 375),
         &addStoryChecks, {FieldGroup::Sequenze, FieldGroup::Aiuti}},
        {ScreenName::Sequenze, QStringLiteral("Labtipo"), MenuAfterOpening::Stays, &sequencescreens::createSequenze,
         QStringLiteral("Individuare il tipo di sequenze"), MenuSection::Narrativi, QRect(9240, 2400, 2655, 375),
         nullptr, {FieldGroup::TipoSequenze}},
        {ScreenName::Genette, QStringLiteral("Labgenette"), MenuAfterOpening::Hides, &narrativescreens::createGenette,
         QStringLiteral("Individuare le strutture narrative (Génette)"), MenuSection::Narrativi,
         QRect(9240, 2880, 2655, 375), &addGenetteChecks, {FieldGroup::Genette}},
        {ScreenName::Espositivo, QStringLiteral("LabFunzioni"), MenuAfterOpening::Stays,
         &sequencescreens::createEspositivo, QStringLiteral("Le funzioni comunicatice"), MenuSection::Espositivi,
         QRect(9360, 4320, 2415, 375), nullptr, {FieldGroup::Espositivi}},
        {ScreenName::Poesia1, QStringLiteral("LabBASI"), MenuAfterOpening::Stays, &poetryscreens::createPoesia1,
         QStringLiteral("Per cominciare"), MenuSection::Poetici, QRect(9240, 5640, 2535, 375), &addPoemChecks,
         {FieldGroup::Poesia}},
        // Opened only by the poem screen, whose questions it holds.
        {ScreenName::Poesia2, QString(), MenuAfterOpening::Stays, &poetryscreens::createPoesia2, QString(),
         MenuSection::Poetici, QRect(), nullptr, {FieldGroup::Poesia}},
        {ScreenName::Metafore, QStringLiteral("LabFigure"), MenuAfterOpening::Stays, &poetryscreens::createMetafore,
         QStringLiteral("Le figure retoriche"), MenuSection::Poetici, QRect(9240, 6240, 2535, 375),
         &addFigureChecks, {FieldGroup::Figure, FieldGroup::Definizioni}},
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

void addContentChecks(ContentCheckRegistry &registry, const QVector<Activity> &rows)
{
    addPictureChecks(registry);
    for (const Activity &a : rows)
        if (a.addChecks)
            a.addChecks(registry);
}

} // namespace morvello
