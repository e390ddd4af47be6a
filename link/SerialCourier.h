#pragma once

#include "link/SerialShared.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class RobotLinkOwner;

/**
 * The serial engine's receiver on the owner's thread. It hands what the
 * monitor queued to the owner, in order and one notification at a time,
 * and shows the reports the monitor could not show itself. It only knows
 * the shared state, never the engine: an engine destroyed from inside a
 * hand-over leaves the courier to finish its call safely.
 *
 * A hand-over runs at most TrancheUs in one turn of the owner's event loop
 * (at least one notification): the rest is handed over at the next turn,
 * after the other events waiting (the window's painting, Quit, a signal),
 * so a line faster than the owner never holds its thread. It takes the
 * queue a few thousand bytes at a time; the queue itself is bounded
 * (FileRemise), and the bytes it dropped are told to the owner
 * (surDebordement) in their place in the line's order.
 */
class CourrierLien : public QObject {
public:
    /** The longest one turn of the owner's event loop hands over, us. */
    static constexpr std::int64_t TrancheUs = 5000;
    /** Received bytes, and entries, taken from the queue at a time. */
    static constexpr std::size_t MorceauOctets = 4096;
    static constexpr std::size_t MorceauEntrees = 1024;

    explicit CourrierLien(std::shared_ptr<PartageLien> etat);

    /** True while the courier is inside a call to the owner or a message box. */
    bool occupe() const { return m_profondeur > 0; }

protected:
    bool event(QEvent* e) override;

private:
    /** How a hand-over of the lot ended. */
    enum class Suite {
        Fini,    ///< the lot is handed over
        Tranche, ///< the turn's time is spent; the rest of the lot waits for the next
        Arret,   ///< the link stopped (suspended, replaced, destroyed); the lot is put away
    };

    void livrer();
    /** Hands the lot to the owner until it is done, the link stops or `finTranche` passes. */
    Suite livrerLot(const std::shared_ptr<PartageLien>& etat, std::int64_t finTranche);
    /** Hands the lot's next entry (or its next byte) to `owner`. */
    void remettreArrivee(RobotLinkOwner& owner, int port, const std::string& raison);
    void montrerRapports();

    std::shared_ptr<PartageLien> m_etat;
    int m_profondeur = 0;
    /** A hand-over is under way: a nested event loop leaves the rest to it. */
    bool m_enLivraison = false;
    /** The part of the queue being handed over, taken from its head. */
    LotRemise m_lot;
    /** The time given to the last byte handed over (bytes are never dated back before it). */
    std::int64_t m_dernierOctet = 0;
    /** The opening the lot belongs to. */
    std::uint64_t m_generation = 0;
};
