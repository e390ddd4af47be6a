#include "console/ReglageFiltre.h"

#include "core/qt/LireReglage.h"

#include "world/PositionFiltree.h"

void appliquerReglageFiltre()
{
    const bool actif = lireReglageOui(reglages::Filtre);
    monde().suivi.actif = actif ? 1 : 0;
}
