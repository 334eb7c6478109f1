#include "chiedinome.h"

#include "core/services.h"
#include "core/session.h"
#include "core/pupilname.h"

namespace morvello {

QString nomeDaRisposta(const QString &answer, bool cancelled)
{
    // An answer with nothing visible in it (spaces, tabs, invisible
    // characters) is no answer: with an empty name nothing would be saved.
    const QString name = cancelled ? QString() : normalisedPupilName(answer);
    return name.isEmpty() ? nomeOspite() : name;
}

void ChiediNome(Session &session, const Services &services)
{
    if (!services.dialogs)
        return;
    const std::optional<QString> answer = services.dialogs->input(promptNome(), kMaxNameLength);
    session.nomeStudente = nomeDaRisposta(answer.value_or(QString()), !answer.has_value());
}

} // namespace morvello
