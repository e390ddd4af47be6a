#pragma once

#include "console/AlerteBatterie.h"

#include "console/VoletTexte.h"

class QProgressBar;

/**
 * The battery in volts and its warning. A label beside the form's battery
 * bar shows the level in volts ("—" until the robot first reports it); this
 * status-bar pane stays empty until the
 * level falls below the threshold, then says so in red, with one beep per
 * crossing. It follows the bar, whatever sets it (the robot, a replay).
 */
class VoletBatterie : public VoletTexte {
public:
    /** Watches `barre` and puts the volts label beside it. */
    VoletBatterie(QProgressBar* barre, int seuilPourcent, QWidget* parent = nullptr);

    /** One battery level, as the bar reports it. */
    void niveau(int valeur);
    /**
     * The robot reported its battery: from now on the volts follow the bar.
     * Until then the label says "—" (the bar's empty start is no level).
     */
    void signale();

    const AlerteBatterie& alerte() const { return m_alerte; }
    QLabel* voltsLabel() const { return m_volts; }

private:
    AlerteBatterie m_alerte;
    QProgressBar* m_barre = nullptr;
    QLabel* m_volts = nullptr;
    bool m_signale = false;
};
