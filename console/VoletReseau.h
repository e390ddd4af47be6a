#pragma once

#include "console/VoletTexte.h"

class ReseauNeurones;

/**
 * Status-bar pane naming the network that turns the robot's timings into
 * its position: the weights file it was read from ("Réseau : beacons.wgh",
 * the full path as tooltip), "Réseau : entraîné" for one trained in the
 * trainer window since, or "aucun réseau".
 */
class VoletReseau : public VoletTexte {
    Q_OBJECT

public:
    static constexpr const char* AucunReseau = "aucun réseau";

    VoletReseau(const ReseauNeurones& reseau, QWidget* parent = nullptr);

    /** Shows the network as it stands now. */
    void actualiser();

private:
    const ReseauNeurones& m_reseau;
};
