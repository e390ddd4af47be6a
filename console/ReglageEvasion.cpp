#include "console/ReglageEvasion.h"

#include "world/WorldState.h"

#include <QSettings>

void appliquerReglageEvasion()
{
    const bool permise = QSettings().value(QString::fromLatin1(CleEvasion), true).toBool();
    g_evasionPermise = permise ? 1 : 0;
}
