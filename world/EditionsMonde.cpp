#include "world/EditionsMonde.h"

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
