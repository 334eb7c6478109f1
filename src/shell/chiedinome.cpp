#include "chiedinome.h"

#include "platform/appcontext.h"
#include "platform/pupilname.h"

namespace morvello {

QString nomeDaRisposta(const QString &answer, bool cancelled)
{
    // The guest test looks at the answer as typed: spaces alone are an
    // answer, and they give an empty name.
    if (cancelled || answer.isEmpty())
        return nomeOspite();
    return normalisedPupilName(answer);
}

void ChiediNome(AppContext &ctx)
{
    if (!ctx.dialogs)
        return;
    const std::optional<QString> answer = ctx.dialogs->input(promptNome(), kMaxNameLength);
    ctx.nomeStudente = nomeDaRisposta(answer.value_or(QString()), !answer.has_value());
}

} // namespace morvello
