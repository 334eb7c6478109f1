#include "resultgroups.h"

namespace morvello {

namespace {

ResultGroup row(FieldGroup g, const char *count, const char *total, const char *percent, const char *date,
                const char *grid, const char *print, bool totalInt16 = false, const char *dateText = "")
{
    return ResultGroup{g,
                       {QString::fromUtf8(count), QString::fromUtf8(total), QString::fromUtf8(percent),
                        QString::fromUtf8(date)},
                       QString::fromUtf8(grid),
                       QString::fromUtf8(print),
                       {false, totalInt16, false, false},
                       QString::fromUtf8(dateText)};
}

} // namespace

const QVector<ResultGroup> &resultGroups()
{
    // The printout's labels differ from the grid's captions on purpose: they
    // are the ones teachers know from the paper.
    static const QVector<ResultGroup> groups = {
        row(FieldGroup::Espositivi, "espositivi", "espositivitot", "espositivo%", "espositividata",
            "Testi espositivi (tipo sequenze)", "Testi espositivi: tipo sequenze"),
        row(FieldGroup::Poesia, "poesia", "poesiatot", "poesia%", "poesiadata", "Poesia: introduzione",
            "Poesia: introduzione"),
        row(FieldGroup::Figure, "figuregiu", "figuresb", "figure%", "figuredata", "Figure retoriche: riconoscimento",
            "Figure retoriche: riconoscimento", true),
        row(FieldGroup::Definizioni, "definizionigiu", "definizionisb", "definizioni%", "definizionidata",
            "Figure retoriche: definizioni", "Figure retoriche: definizioni", true),
        row(FieldGroup::Sequenze, "sequenze", "sequenzetot", "sequenze%", "sequenzedata",
            "Testi narrativi (trovare sequenze)", "Testi narrativi: sequenze"),
        row(FieldGroup::Aiuti, "aiuti", "aiutitot", "aiuti%", "aiutidata", "Aiuti cercati nell'individuare seq.",
            "Aiuti cercati per sequenze ", true, "(...)"),
        row(FieldGroup::TipoSequenze, "tiposequenze", "tiposequenzetot", "tiposequenze%", "tiposequenzedata",
            "Testi narrativi (tipo sequenze)", "Testi narrativi: tipo sequenza"),
        row(FieldGroup::Genette, "genette", "genettetot", "genette%", "genettedata",
            "Testi narrativi (concetti Génette)", "Testi narrativi: concetti Génette"),
    };
    return groups;
}

const ResultGroup &resultGroup(FieldGroup group)
{
    for (const ResultGroup &g : resultGroups())
        if (g.group == group)
            return g;
    return resultGroups().first();
}

} // namespace morvello
