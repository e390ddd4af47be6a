#include "console/ReglageEvasion.h"

#include "core/qt/LireReglage.h"

#include "world/WorldState.h"

void appliquerReglageEvasion()
{
    const bool permise = lireReglageOui(reglages::Evasion);
    monde().drapeaux.evasionPermise = permise ? 1 : 0;
}
