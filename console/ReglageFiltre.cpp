#include "console/ReglageFiltre.h"

#include "core/qt/LireReglage.h"

#include "world/PositionFiltree.h"

void appliquerReglageFiltre()
{
    const bool actif = lireReglageOui(reglages::Filtre);
    g_filtreActif = actif ? 1 : 0;
}
