#include "world/EditionsMonde.h"

#include "world/Geometry.h"
#include "world/GridEdits.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

#include <mutex>

namespace {

std::mutex g_mutexObservateur;
ObservateurEditions g_observateur;
int g_cle = 0;

} // namespace

int observerEditions(ObservateurEditions observateur)
{
    std::lock_guard verrou(g_mutexObservateur);
    g_observateur = std::move(observateur);
    return ++g_cle;
}

void finObservationEditions(int cle)
{
    std::lock_guard verrou(g_mutexObservateur);
    if (cle == g_cle) {
        g_observateur = nullptr;
    }
}

void signalerEdition(const EditionMonde& edition)
{
    // Held while the observer runs: replacing it waits for the call to end.
    std::lock_guard verrou(g_mutexObservateur);
    if (g_observateur) {
        g_observateur(edition);
    }
}

void appliquerEdition(const EditionMonde& edition)
{
    if (edition.genre == GenreEditionMonde::Destination) {
        SetDestination(edition.x, edition.y);
        return;
    }
    if (edition.x < 0 || edition.x >= geo::Cells || edition.y < 0 || edition.y >= geo::Cells) {
        return;
    }
    const int r = edition.y + 1;
    const int c = edition.x + 1;
    // The navigation re-plans, as after the operator's own edits.
    g_mapChanged = 1;
    switch (edition.genre) {
    case GenreEditionMonde::Peinte:
        PlaceObstacle(r, c);
        break;
    case GenreEditionMonde::Effacee:
        EraseObstacle(edition.x * geo::CellSize + geo::CellSize / 2,
                      edition.y * geo::CellSize + geo::CellSize / 2);
        break;
    case GenreEditionMonde::Trouvee:
        MarkObstacle(r, c);
        break;
    case GenreEditionMonde::Retiree:
        ClearObstacle(r, c);
        break;
    case GenreEditionMonde::Destination:
        break;
    }
    g_mapChanged = 1;
    notifyWorldChange();
}
