#include "console/ReglageFiltre.h"

#include "world/PositionFiltree.h"

#include <QSettings>

void appliquerReglageFiltre()
{
    const bool actif = QSettings().value(QString::fromLatin1(CleFiltre), true).toBool();
    g_filtreActif = actif ? 1 : 0;
}
