#include "openresults.h"

#include "frisultati.h"

#include "platform/appcontext.h"
#include "platform/navigator.h"

#include <QPushButton>

namespace morvello {

static FRisultati *resultsScreen(AppContext &ctx)
{
    if (!ctx.navigator)
        return nullptr;
    return qobject_cast<FRisultati *>(ctx.navigator->load(ScreenName::Risultati));
}

void openResultsFromActivity(AppContext &ctx, const QString &callerScreen)
{
    ctx.formChiamante = callerScreen;
    FRisultati *r = resultsScreen(ctx);
    if (!r)
        return;
    r->cmdAggiorna()->click();
    ctx.navigator->show(ScreenName::Risultati);
    if (callerScreen != ScreenName::Risultati)
        ctx.navigator->hide(callerScreen);
}

void openResultsFromMenu(AppContext &ctx)
{
    FRisultati *r = resultsScreen(ctx);
    if (!r)
        return;
    ctx.navigator->show(ScreenName::Risultati);
    r->cmdAggiorna()->click();
    ctx.formChiamante = ScreenName::Menu;
}

void registerResultsScreens(Navigator &nav)
{
    nav.registerScreen(ScreenName::Risultati, [](AppContext &ctx) -> Screen * { return new FRisultati(ctx); });
}

} // namespace morvello
