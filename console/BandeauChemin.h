#pragma once

#include "console/SuiviMarche.h"
#include "world/RaisonSansChemin.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class CMapView;

/** What the band says while the robot drives out of the margins that shut it in. */
inline constexpr const char* TexteEvasion =
    "Évasion : le robot sort des marges vers le passage libre le plus proche";
/** What the band says after "Go!!!" without a destination. */
inline constexpr const char* TexteGoSansDestination =
    "Pas de destination : placez-en une sur la carte avant « Go!!! »";

/** What the band says after a recovery (%1: the count of marks cleared). */
inline constexpr const char* TexteDegagement =
    "Dégagement : %1 marque(s) de contact douteuse(s) retirée(s), nouvel itinéraire";

/**
 * The band across the top of the map that says, in French, why the robot
 * goes nowhere: no route to its destination (the destination lies in an
 * obstacle or its margin, the robot is enclosed, or nothing joins them),
 * the escape out of the margins that shut it in, "Go!!!" pressed without
 * a destination, or the recovery the navigation made for this destination
 * (contact marks cleared to find a route; logged once). Empty otherwise. It looks again each time
 * the map is shown afresh, from the world as it stands, and when asked (a button).
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

    /** Where a recovery is recorded (the session log's navigation events). */
    void journaliserAvec(std::function<void(const std::string&)> journal)
    {
        m_journal = std::move(journal);
    }

    /** Looks at the world again and shows the reason, the escape, the hint, or nothing. */
    void actualiser();

    RaisonSansChemin raison() const { return m_raison; }
    bool evasion() const { return m_evasion; }
    /** What the band shows now. */
    QString texte() const;

private:
    std::function<CMapView*()> m_carte;
    std::function<EtatMarche()> m_marche;
    std::function<void(const std::string&)> m_journal;
    RaisonSansChemin m_raison = RaisonSansChemin::Aucune;
    bool m_evasion = false;
    /** Recoveries seen so far; the last one's count, and the destination it was for. */
    int m_degagementsVus = 0;
    int m_degagees = 0;
    Point m_butDegage{-1, -1};
};
