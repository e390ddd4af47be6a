#pragma once

#include "link/SerialShared.h"

#include <QObject>

#include <memory>

/**
 * The serial engine's receiver on the owner's thread. It hands the pending
 * notification to the owner (the monitor waits meanwhile) and shows the
 * reports the monitor could not show itself. It only knows the shared state,
 * never the engine: an engine destroyed from inside a hand-over leaves the
 * courier to finish its call safely.
 */
class CourrierLien : public QObject {
public:
    explicit CourrierLien(std::shared_ptr<EtatLien> etat);

    /** True while the courier is inside a call to the owner or a message box. */
    bool occupe() const { return m_profondeur > 0; }

protected:
    bool event(QEvent* e) override;

private:
    void remettre();
    void montrerRapports();

    std::shared_ptr<EtatLien> m_etat;
    int m_profondeur = 0;
};
