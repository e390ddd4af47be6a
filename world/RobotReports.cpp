#include "world/RobotReports.h"

#include "world/Navigation.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

int CoordonneeDeSortie(double sortie)
{
    // Written so that a NaN fails the first test.
    if (!(sortie >= 0.0)) {
        return 0;
    }
    return sortie > 499.0 ? 499 : static_cast<int>(sortie);
}

bool ReportRobotPosition(double sortie0, double sortie1)
{
    bool change = false;
    {
        VerrouMonde verrou(g_robotLock);
        const int x = CoordonneeDeSortie(sortie1);
        const int y = CoordonneeDeSortie(sortie0);
        const double dx = g_robotX - x;
        const double dy = g_robotY - y;
        // Within one cell's radius the estimate is taken as noise.
        if (dx * dx + dy * dy > 625.0) {
            PlaceRobotLocked(x, y);
            change = true;
        }
    }
    if (change) {
        notifyWorldChange();
    }
    return change;
}

void ReportRobotStatus(int bit0, int bit1, const EnvoiCommande& envoyer)
{
    if (bit0 || bit1) {
        HandleBumpers(bit0, bit1);
    }
    bool tourEnAttente = false;
    {
        VerrouMonde verrou(g_wheelLock);
        if (g_arretOperateur != 0) {
            // Held by the operator: neutral, and a turn order waits for the
            // resume, so that the heading the navigation assumed stays true.
            envoyer(0, 0, 0);
            return;
        }
        envoyer(g_wheelLeft, g_wheelRight, g_turnCode);
        tourEnAttente = g_turnPending.exchange(0) != 0;
        g_turnCode = 0;
    }
    // A turn request waits for its transmission; with none, nobody waits
    // for a status byte, and no thread needs waking at each frame.
    if (tourEnAttente) {
        notifyWorldChange();
    }
}
