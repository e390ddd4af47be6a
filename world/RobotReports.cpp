#include "world/RobotReports.h"

#include "world/GridEdits.h"
#include "world/Navigation.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

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
    if (monde().suivi.actif != 0) {
        bool change = false;
        Point aEffacer{-1, -1};
        // Kept whole (not truncated) for the filter, which refuses a value
        // that is not a number.
        const auto borne = [](double s) {
            return std::isfinite(s) ? std::clamp(s, 0.0, 499.0) : s;
        };
        change = filtrerPosition(borne(sortie1), borne(sortie0), aEffacer);
        if (aEffacer.x >= 0) {
            // The robot stands in a cell a contact marked: the mark was wrong.
            ClearObstacle(aEffacer.y + 1, aEffacer.x + 1);
        }
        if (change) {
            notifyWorldChange();
        }
        return change;
    }
    const int x = CoordonneeDeSortie(sortie1);
    const int y = CoordonneeDeSortie(sortie0);
    const bool change = monde().robot.modifier([x, y](PoseRobot& pose, filtre::FiltrePosition&) {
        const double dx = pose.x - x;
        const double dy = pose.y - y;
        // Within one cell's radius the estimate is taken as noise.
        if (dx * dx + dy * dy <= 625.0) {
            return false;
        }
        pose = PoseRobot::en(x, y);
        return true;
    });
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
    struct Reponse {
        int gauche = 0;
        int droite = 0;
        int virage = 0;
        bool tourEnAttente = false;
        int cap = 0;
    };
    // The reply is taken, and the turn order cleared, in one write: a turn
    // goes out exactly once, with the heading it changes.
    const Reponse r = monde().ordres.modifier([](OrdresRobot& o) {
        Reponse rep;
        if (!o.arretOperateur) {
            // Held by the operator, the reply is neutral and a turn order
            // waits for the resume, so that the heading the navigation
            // assumed stays true.
            rep.gauche = o.roueGauche;
            rep.droite = o.roueDroite;
            rep.virage = o.virage;
            rep.tourEnAttente = o.virageEnAttente;
            o.virageEnAttente = false;
            o.virage = 0;
        }
        // The heading the robot has before this reply's turn.
        rep.cap = rep.virage != 0 ? o.capAvantVirage : o.cap;
        return rep;
    });
    // Sent with no lock held.
    envoyer(r.gauche, r.droite, r.virage);
    if (monde().suivi.actif != 0) {
        noterCommandeFiltre(r.gauche, r.droite, r.virage, bit0 != 0 || bit1 != 0, r.cap);
    }
    // A turn request waits for its transmission; with none, nobody waits
    // for a status byte, and no thread needs waking at each frame.
    if (r.tourEnAttente) {
        notifyWorldChange();
    }
}
