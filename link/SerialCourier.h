#pragma once

#include "link/SerialShared.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

/**
 * The serial engine's receiver on the owner's thread. It hands what the
 * monitor queued to the owner, in order and one notification at a time,
 * and shows the reports the monitor could not show itself. It only knows
 * the shared state, never the engine: an engine destroyed from inside a
 * hand-over leaves the courier to finish its call safely.
 */
class CourrierLien : public QObject {
public:
    explicit CourrierLien(std::shared_ptr<PartageLien> etat);

    /** True while the courier is inside a call to the owner or a message box. */
    bool occupe() const { return m_profondeur > 0; }

protected:
    bool event(QEvent* e) override;

private:
    void livrer();
    /**
     * Hands the batch to the owner from m_prochaine on. False when the link
     * stopped (suspended, replaced, destroyed) during a call: what is left
     * is not handed over now.
     */
    bool livrerLot(const std::shared_ptr<PartageLien>& etat);
    /** Under the state's mutex: puts what is left of the batch back at the queues' head. */
    void remettreEnTete(PartageLien& etat);
    void montrerRapports();

    std::shared_ptr<PartageLien> m_etat;
    int m_profondeur = 0;
    /** A hand-over is under way: a nested event loop leaves the rest to it. */
    bool m_enLivraison = false;
    // The batch being handed over (swapped with the shared queues).
    std::vector<ArriveeLien> m_arrivees;
    std::string m_recus;
    std::string m_reponses;
    std::size_t m_prochaine = 0;
    std::size_t m_prochainOctet = 0;
    std::size_t m_prochaineReponse = 0;
    /** The time given to the last byte handed over (bytes are never dated back before it). */
    std::int64_t m_dernierOctet = 0;
    /** The opening the batch belongs to. */
    std::uint64_t m_generation = 0;
};
