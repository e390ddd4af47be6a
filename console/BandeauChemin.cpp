#include "console/BandeauChemin.h"

#include "console/CellulesNavigation.h"
#include "world/PositionFiltree.h"
#include "world/WorldState.h"
#include "world/view/MapView.h"

#include <utility>

BandeauChemin::BandeauChemin(std::function<CMapView*()> carte, std::function<EtatMarche()> marche,
                             QObject* parent)
    : QObject(parent)
    , m_carte(std::move(carte))
    , m_marche(std::move(marche))
{}

void BandeauChemin::actualiser()
{
    RaisonSansChemin raison = RaisonSansChemin::Aucune;
    bool evasion = false;
    // The navigation only plans once a destination has been placed.
    const DestinationRobot destination = monde().destination.lire();
    if (destination.placee) {
        evasion = monde().route.consulter([](const RoutePlanifiee& r) { return r.evasion; });
        if (!evasion) {
            const CellulesNavigation c = lireCellulesNavigation();
            raison = raisonSansChemin(c.robot, c.destination);
        }
    }
    m_raison = raison;
    m_evasion = evasion;
    if (const BilanDegagements bilan = monde().suivi.degagements.lire();
        bilan.nombre != m_degagementsVus) {
        m_degagementsVus = bilan.nombre;
        m_degagees = bilan.marques;
        m_butDegage = destination.marque;
        if (m_journal && bilan.nombre > 0) {
            m_journal("dégagement : " + std::to_string(m_degagees) +
                      " marque(s) de contact douteuse(s) retirée(s)");
        }
    }
    if (CMapView* carte = m_carte ? m_carte() : nullptr) {
        carte->poserBandeau(texte());
    }
}

QString BandeauChemin::texte() const
{
    if (m_marche && m_marche() == EtatMarche::SansDestination) {
        return QString::fromUtf8(TexteGoSansDestination);
    }
    if (m_evasion) {
        return QString::fromUtf8(TexteEvasion);
    }
    // Told while the robot is on its way to the destination it was made for.
    const DestinationRobot destination = monde().destination.lire();
    if (m_degagees > 0 && m_raison == RaisonSansChemin::Aucune && destination.placee &&
        destination.marque == m_butDegage && !(m_marche && m_marche() == EtatMarche::Arrive)) {
        return QString::fromUtf8(TexteDegagement).arg(m_degagees);
    }
    return QString::fromUtf8(texteRaisonSansChemin(m_raison));
}
