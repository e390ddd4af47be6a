#pragma once

#include "console/SuiviMarche.h"
#include "world/RaisonSansChemin.h"

#include <QObject>
#include <QString>

#include <functional>

class CMapView;

/** What the band says while the robot drives out of the margins that shut it in. */
inline constexpr const char* TexteEvasion =
    "Évasion : le robot sort des marges vers le passage libre le plus proche";
/** What the band says after "Go!!!" without a destination. */
inline constexpr const char* TexteGoSansDestination =
    "Pas de destination : placez-en une sur la carte avant « Go!!! »";

/**
 * The band across the top of the map that says, in French, why the robot
 * goes nowhere: no route to its destination (the destination lies in an
 * obstacle or its margin, the robot is enclosed, or nothing joins them),
 * the escape out of the margins that shut it in, or "Go!!!" pressed without
 * a destination. Empty otherwise. It looks again each time the map is shown
 * afresh, from the world as it stands, and when asked (a button).
 */
class BandeauChemin : public QObject {
    Q_OBJECT

public:
    /**
     * `carte` gives the map window (none before the view's set-up), `marche`
     * the run's state (the hint after "Go!!!" without a destination).
     */
    BandeauChemin(std::function<CMapView*()> carte, std::function<EtatMarche()> marche,
                  QObject* parent = nullptr);

    /** Looks at the world again and shows the reason, the escape, the hint, or nothing. */
    void actualiser();

    RaisonSansChemin raison() const { return m_raison; }
    bool evasion() const { return m_evasion; }
    /** What the band shows now. */
    QString texte() const;

private:
    std::function<CMapView*()> m_carte;
    std::function<EtatMarche()> m_marche;
    RaisonSansChemin m_raison = RaisonSansChemin::Aucune;
    bool m_evasion = false;
};
