#include "world/Navigation.h"

#include "core/Platform.h"
#include "world/Evasion.h"
#include "world/PlanPath.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

/**
 * One line of the navigation's trace (kiv.nav): a word and the codes that go
 * with it, "wheels 3 2". The lines are shorter than a string's inline
 * buffer, so a trace that nobody listens to allocates nothing.
 */
void tracer(std::string_view mot, std::initializer_list<int> codes = {})
{
    if (!platform().traceEnabled(TraceChannel::Navigation)) {
        return;
    }
    char ligne[40];
    char* const bout = ligne + sizeof ligne;
    char* fin = ligne + mot.copy(ligne, 12);
    for (int code : codes) {
        if (bout - fin < 12) {
            break; // room for a space and any int
        }
        *fin++ = ' ';
        fin = std::to_chars(fin, bout, code).ptr;
    }
    platform().trace(TraceChannel::Navigation, std::string(ligne, fin));
}

/** Beeps through the platform; the call returns when the tone is over. */
void bip(int frequence, int duree)
{
    platform().beep(frequence, duree);
}

/** The heading code `huitiemes` eighths of a turn from `cap` (codes 1 .. 8, clockwise). */
int capTourne(int cap, int huitiemes)
{
    return ((cap - 1 + huitiemes) % 8 + 8) % 8 + 1;
}

/** Throws ArretDemande when the world threads are asked to stop. */
void verifierArret()
{
    if (worldThreadsStopping()) {
        throw ArretDemande{};
    }
}

/**
 * The navigation thread's own copies of the shared state, and its flags.
 * The remembered destination starts as the first destination read, so that
 * the very first heading probe waits for the robot to move.
 */
class Navigateur {
public:
    /** Steers in `leMonde`: the parts moved into the world object are read there. */
    explicit Navigateur(Monde& leMonde)
        : m_monde(leMonde)
    {}

    void executer()
    {
        unsigned debutPrecedent = worldChangeCount() - 1;
        bool premierePasse = true;
        for (;;) {
            verifierArret();
            const unsigned debut = worldChangeCount();
            m_monde.drapeaux.passesNavigation.fetch_add(1, std::memory_order_relaxed);
            lireDestination();
            if (premierePasse) {
                m_destMemorisee = m_destCell;
                premierePasse = false;
            }
            m_prevCell = m_robotCell;
            m_prevX = m_x;
            m_prevY = m_y;
            lireRobot();

            if (m_monde.ordres.lire().arretOperateur) {
                tenirArret();
                waitWorldChange(debut);
                debutPrecedent = debut;
                continue;
            }
            if (m_robotCell == m_destCell || !m_destPlacee) {
                arreter();
                // Nothing to do until something changes.
                waitWorldChange(debut);
                debutPrecedent = debut;
                continue;
            }
            m_arretAffiche = false;

            if (m_monde.ordres.lire().cap == 0) {
                sonder();
            }

            if (m_roues == CodesRoues{}) {
                // Stopped wheels re-plan on every pass; when nothing at all has
                // changed since the previous pass began, that pass's outcome
                // stands, so wait for a change instead of repeating it.
                if (worldChangeCount() == debutPrecedent) {
                    waitWorldChange(debutPrecedent);
                    verifierArret();
                }
                lireRobot();
            } else {
                attendreChangement(false);
            }

            planifierRoute();
            if (m_monde.ordres.lire().cap != 0 && !m_bouge) {
                UpdateHeading(m_prevX, m_prevY);
                AlignHeading();
            }
            m_bouge = false;
            sEloignerDuContact();
            m_roues = ChooseWheelCommands(m_monde.ordres.lire().cap, m_monde.drapeaux.premierPas);
            if (m_monde.drapeaux.premierPas == 0) {
                tracer("no path");
            } else {
                tracer("wheels", {m_roues.gauche, m_roues.droite});
            }
            SetWheels(m_roues.gauche, m_roues.droite);
            signalerAffichage();
            m_destMemorisee = m_destCell;
            debutPrecedent = debut;
        }
    }

private:
    /**
     * PlanPath from the robot's cell to the destination's; where it finds no
     * route and the robot stands in a margin it can drive out of, the escape
     * takes the route's place (Evasion.h) until a pass finds a route again.
     */
    void planifierRoute()
    {
        PlanPath(m_robotCell.x, m_robotCell.y, m_destCell.x, m_destCell.y);
        if (m_monde.drapeaux.premierPas == 0) {
            m_roues = {}; // no route: PlanPath stopped the wheels
            if (degager()) {
                PlanPath(m_robotCell.x, m_robotCell.y, m_destCell.x, m_destCell.y);
            }
        }
        if (m_monde.drapeaux.premierPas == 0 && chercherEvasion(m_robotCell, m_destCell)) {
            tracer("escape", {m_monde.drapeaux.premierPas.load()});
        }
    }

    /**
     * No route, with the filter on: the contact marks that no second contact
     * confirmed, near the robot or the goal, may be phantoms of an estimate
     * that lagged; they are cleared, at most DegagementsParMission times for
     * one destination, and the route is planned again. True when some were.
     */
    bool degager()
    {
        if (m_monde.suivi.actif == 0 || m_degagements >= DegagementsParMission) {
            return false;
        }
        const int n = degagerMarquesContact(m_robotCell, m_destCell, RayonDegagement);
        if (n == 0) {
            return false;
        }
        ++m_degagements;
        m_monde.suivi.degagements.modifier([n](BilanDegagements& b) {
            ++b.nombre;
            b.marques = n;
        });
        tracer("recovery", {n});
        return true;
    }

    void lireDestination()
    {
        const DestinationRobot destination = m_monde.destination.lire();
        m_destPlacee = destination.placee;
        if (!(destination.cellule == m_destCell)) {
            m_degagements = 0; // a new mission
        }
        m_destCell = destination.cellule;
    }

    void lireRobot()
    {
        const PoseRobot pose = m_monde.robot.pose();
        m_robotCell = pose.cellule;
        m_x = pose.x;
        m_y = pose.y;
    }

    /** At the destination or without one: wheels stopped, shown once. */
    void arreter()
    {
        tracer("stop");
        SetWheels(0, 0);
        if (!m_arretAffiche) {
            signalerAffichage();
            m_arretAffiche = true;
        }
    }

    /**
     * The operator holds the robot: wheels stopped (SetWheels keeps them at
     * 0 anyway), and the codes last chosen forgotten, so that the first pass
     * after the resume chooses afresh instead of waiting for a cell change
     * that stopped wheels would never bring.
     */
    void tenirArret()
    {
        if (!m_arretAffiche) {
            tracer("hold");
        }
        SetWheels(0, 0);
        m_roues = {};
        if (!m_arretAffiche) {
            signalerAffichage();
            m_arretAffiche = true;
        }
    }

    /**
     * Waits until the robot enters another cell, the destination moves, the
     * grid changes or the operator holds the robot. When `noterMouvement`, a
     * cell change sets the moved flag.
     */
    void attendreChangement(bool noterMouvement)
    {
        for (;;) {
            verifierArret();
            const unsigned vu = worldChangeCount();
            lireRobot();
            const bool autreCellule = !(m_robotCell == m_prevCell);
            if (autreCellule && noterMouvement) {
                m_bouge = true;
            }
            lireDestination();
            if (autreCellule || !(m_destCell == m_destMemorisee) || m_monde.grille.modifiee == 1 ||
                m_monde.drapeaux.contactRepete != 0 || m_monde.ordres.lire().arretOperateur) {
                return;
            }
            waitWorldChange(vu);
        }
    }

    /**
     * A contact that marked nothing (m_monde.drapeaux.contactRepete) while the route's first
     * step lies one code from the heading, away from the contact's side (or
     * on either side of a contact straight ahead): the robot grinds along a
     * marked wall, and its veer frees it only by a few degrees between two
     * contacts. A quarter turn towards the route leaves it heading as far
     * past the route on the free side, and the veer brings it back.
     */
    void sEloignerDuContact()
    {
        const int cote = m_monde.drapeaux.contactRepete.exchange(0);
        const int cap = m_monde.ordres.lire().cap;
        if (cote == 0 || cap == 0 || m_monde.drapeaux.premierPas == 0) {
            return;
        }
        // The first step from the heading, in eighths of a turn: -4 .. 3.
        const int ecart = ((m_monde.drapeaux.premierPas - cap) % 8 + 12) % 8 - 4;
        int sens = 0;
        if (ecart == -1 && cote != 2) {
            sens = -1;
        } else if (ecart == 1 && cote != 1) {
            sens = 1;
        }
        if (sens == 0) {
            return;
        }
        tracer("away", {cote});
        bip(200, 200);
        RequestTurn(90 * sens, capTourne(cap, 2 * sens));
    }

    /** Where a probe's leg starts: the heading is measured from there. */
    void noterDepartSonde()
    {
        const PoseRobot pose = m_monde.robot.pose();
        m_prevCell = pose.cellule;
        m_prevX = pose.x;
        m_prevY = pose.y;
    }

    /** Heading unknown: drive straight until the robot changes cell. */
    void sonder()
    {
        planifierRoute();
        if (m_monde.drapeaux.premierPas == 0) {
            return;
        }
        noterDepartSonde();
        tracer("probe");
        m_monde.drapeaux.contactRepete = 0; // a contact from before the probe says nothing of it
        SetWheels(2, 2);
        signalerAffichage();
        for (;;) {
            attendreChangement(true);
            if (m_bouge || m_monde.drapeaux.contactRepete.exchange(0) == 0) {
                break;
            }
            // Driven into something before leaving its cell: with no heading
            // nothing can be marked, and the robot would press on for good.
            // It turns round and probes the other way.
            tracer("probe turn");
            bip(100, 100);
            bip(100, 100);
            RequestTurn(180);
            // The heading is measured on the new leg alone.
            noterDepartSonde();
            SetWheels(2, 2);
            signalerAffichage();
        }
        m_monde.drapeaux.contactRepete = 0;
        SetWheels(0, 0);
        signalerAffichage();
        m_roues = {};
        planifierRoute();
        if (m_bouge) {
            UpdateHeading(m_prevX, m_prevY);
            AlignHeading();
        }
        m_prevX = m_x;
        m_prevY = m_y;
        m_prevCell = m_robotCell;
        m_destMemorisee = m_destCell;
    }

    /** Recoveries for one destination, and how far from the robot or goal they clear. */
    static constexpr int DegagementsParMission = 3;
    static constexpr int RayonDegagement = 3;

    Monde& m_monde;
    int m_degagements = 0;
    Point m_robotCell{0, 0};
    Point m_prevCell{0, 0};
    Point m_destCell{0, 0};
    Point m_destMemorisee{0, 0};
    /** A destination was placed (with m_destCell, as last read). */
    bool m_destPlacee = false;
    double m_x = 0.0;
    double m_y = 0.0;
    /** Where the robot stood at the previous pass: the heading is measured from there. */
    double m_prevX = 0.0;
    double m_prevY = 0.0;
    /** The wheel codes last chosen; stopped ones make every pass plan again. */
    CodesRoues m_roues;
    bool m_bouge = false;
    bool m_arretAffiche = false;
};

} // namespace

void NavigationThread()
{
    try {
        Navigateur(monde()).executer();
    } catch (const ArretDemande&) {
    }
}

void UpdateHeading(double prevX, double prevY)
{
    const PoseRobot pose = monde().robot.pose();
    const double dx = pose.x - prevX;
    const double dy = pose.y - prevY;
    double angle = std::atan2(dy, dx) * 180.0 / 3.14159;
    if (dy < 0) {
        angle = angle + 360.0;
    }
    if (dx == 0.0 && dy == 0.0) {
        return;
    }
    struct Secteur {
        double de;
        double a;
        int code;
    };
    static constexpr Secteur secteurs[] = {
        {67.5, 112.5, 5},  {22.5, 67.5, 4},   {292.5, 337.5, 2}, {247.5, 292.5, 1},
        {202.5, 247.5, 8}, {157.5, 202.5, 7}, {112.5, 157.5, 6},
    };
    if (angle < 22.5 || angle > 337.5) {
        fixerCap(3);
        return;
    }
    for (const Secteur& s : secteurs) {
        if (s.de < angle && angle < s.a) {
            fixerCap(s.code);
            return;
        }
    }
}

void AlignHeading()
{
    const int cap = capRobot();
    const int d = monde().drapeaux.premierPas - cap;
    // The heading after each turn is brought back into 1 .. 8 before it is
    // published (capTourne): -2 is 6, 0 is 8, 10 is 2 and so on.
    if (d == 4 || d == -4) {
        bip(100, 100);
        bip(100, 100);
        RequestTurn(180, capTourne(cap, 4));
    } else if (d == 2 || d == -6) {
        bip(200, 200);
        RequestTurn(90, capTourne(cap, 2));
    } else if (d == -2 || d == 6) {
        bip(200, 200);
        RequestTurn(-90, capTourne(cap, -2));
    } else if (d == 3 || d == -5) {
        bip(200, 200);
        RequestTurn(135, capTourne(cap, 3));
    } else if (d == -3 || d == 5) {
        bip(200, 200);
        RequestTurn(-135, capTourne(cap, -3));
    }
}

void RequestTurn(int angle)
{
    RequestTurn(angle, capRobot());
}

void RequestTurn(int angle, int capApres)
{
    int code = 0;
    switch (angle) {
    case 90:
        code = 1;
        break;
    case 135:
        code = 2;
        break;
    case 180:
        code = 3;
        break;
    case -135:
        code = 4;
        break;
    case -90:
        code = 5;
        break;
    default:
        break;
    }
    tracer("turn", {code});
    // The order is one write to the value the robot's answer reads and
    // clears in one write: a status byte handled in between would otherwise
    // send no turn and still clear the pending flag, and the turn would be
    // lost.
    monde().ordres.modifier([code, capApres](OrdresRobot& o) {
        o.roueGauche = 0;
        o.roueDroite = 0;
        o.capAvantVirage = o.cap;
        o.cap = capApres;
        o.virage = code;
        o.virageEnAttente = true;
    });
    for (;;) {
        verifierArret();
        const unsigned vu = worldChangeCount();
        if (!monde().ordres.lire().virageEnAttente) {
            return; // sent: whoever sent it cleared the code with the flag
        }
        if (monde().drapeaux.simulation == 1) {
            return; // no robot to receive it: the order stays in place
        }
        waitWorldChange(vu);
    }
}

CodesRoues ChooseWheelCommands(int cap, int premierPas)
{
    if (premierPas == 0) {
        return {};
    }
    int e = cap - premierPas;
    if (e == -7) {
        e = 1;
    } else if (e == 7) {
        e = -1;
    }
    if (e < 0) {
        return {3, 2};
    }
    if (e == 0) {
        return {3, 3};
    }
    return {2, 3};
}
