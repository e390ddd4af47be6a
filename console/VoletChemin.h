#pragma once

#include "world/RaisonSansChemin.h"

#include "console/VoletTexte.h"

/** What the route pane says while the robot drives out of the margins that shut it in. */
inline constexpr const char* TexteEvasion =
    "Évasion : le robot sort des marges vers le passage libre le plus proche";

/**
 * Status-bar pane that says, in French, why the robot has no route to its
 * destination: the destination lies in an obstacle or its margin, the
 * robot is enclosed, or nothing joins them; or that the robot, shut in by
 * margins, follows an escape out of them. Empty while a route exists or no
 * destination is placed. It looks again each time the map is shown afresh,
 * from the world as it stands.
 */
class VoletChemin : public VoletTexte {
    Q_OBJECT

public:
    explicit VoletChemin(QWidget* parent = nullptr);

    /** Looks at the world again and shows the reason, the escape, or nothing. */
    void actualiser();

    RaisonSansChemin raison() const { return m_raison; }
    bool evasion() const { return m_evasion; }

private:
    RaisonSansChemin m_raison = RaisonSansChemin::Aucune;
    bool m_evasion = false;
};
