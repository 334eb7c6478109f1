#pragma once
#include <QString>

namespace morvello {

struct AppContext;
class Navigator;

// An activity's archive command: FormChiamante = the caller's screen name,
// the results screen is loaded if needed, refreshed for NomeStudente (its
// CMDAGGIORNA pressed in code), shown, and the caller hidden.
void openResultsFromActivity(AppContext &ctx, const QString &callerScreen);

// The menu's archive label: the results screen is shown, refreshed and told
// to return to the menu; the menu stays visible beneath it.
void openResultsFromMenu(AppContext &ctx);

// Makes the results screen known to the navigator as "FRisultati".
void registerResultsScreens(Navigator &nav);

} // namespace morvello
