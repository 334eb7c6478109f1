// SPDX-License-Identifier: GPL-3.0-or-later
#include "storycatalogue.h"

namespace morvello {

const StoryEntry *findStory(const QString &title)
{
    for (const StoryEntry &e : storyCatalogue()) {
        if (e.title == title)
            return &e;
    }
    return nullptr;
}

const QList<PaletteEntry> &storyPalette()
{
    static const QList<PaletteEntry> palette{
        {qRgb(255, 153, 204), QStringLiteral("Colore della PRIMA sequenza"), qRgb(255, 192, 192)},
        {qRgb(255, 255, 153), QStringLiteral("Colore della SECONDA sequenza"), qRgb(255, 255, 192)},
        {qRgb(255, 204, 153), QStringLiteral("Colore della TERZA sequenza"), qRgb(255, 224, 192)},
        {qRgb(153, 204, 255), QStringLiteral("Colore della QUARTA sequenza"), qRgb(192, 192, 255)},
        {qRgb(204, 255, 204), QStringLiteral("Colore della QUINTA sequenza"), qRgb(192, 255, 192)},
    };
    return palette;
}

int paletteIndexOf(QRgb colour)
{
    const QList<PaletteEntry> &p = storyPalette();
    for (int i = 0; i < p.size(); ++i) {
        if (p.at(i).square == colour)
            return i;
    }
    return -1;
}

} // namespace morvello
