#pragma once

#include "world/RaisonSansChemin.h"

#include "console/VoletTexte.h"

/**
 * Status-bar pane that says, in French, why the robot has no route to its
 * destination: the destination lies in an obstacle or its margin, the
 * robot is enclosed, or nothing joins them. Empty while a route exists or
 * no destination is placed. It looks again each time the map is shown
 * afresh, from the world as it stands.
 */
class VoletChemin : public VoletTexte {
    Q_OBJECT

public:
    explicit VoletChemin(QWidget* parent = nullptr);

    /** Looks at the world again and shows the reason, or nothing. */
    void actualiser();

    RaisonSansChemin raison() const { return m_raison; }

private:
    RaisonSansChemin m_raison = RaisonSansChemin::Aucune;
};
