#include "chiedinome.h"

#include "platform/services.h"
#include "platform/session.h"
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

void ChiediNome(Session &session, const Services &services)
{
    if (!services.dialogs)
        return;
    const std::optional<QString> answer = services.dialogs->input(promptNome(), kMaxNameLength);
    session.nomeStudente = nomeDaRisposta(answer.value_or(QString()), !answer.has_value());
}

} // namespace morvello
