#pragma once

#include "link/trame/ChaineTrames.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace protocole {

/**
 * The frame chain run by the link's own thread as the bytes are read: the
 * command byte that answers a status byte leaves without waiting for the
 * user-interface thread. What each byte became waits, in order, for the
 * display, which takes the outcome of each byte the link hands it by the
 * byte's number in the opening (prendre).
 *
 * What waits is bounded: beyond `capacite` outcomes the oldest goes (the
 * display, too far behind, then shows those bytes without their outcome).
 * The link drops bytes it cannot hand over the same way, oldest first, and
 * tells how many: the display counts them in its byte numbers, and the
 * outcomes of the bytes it never saw are skipped. So the two stay paired
 * whoever drops what.
 *
 * recevoir and noterEmission are called on the link's thread only; prendre
 * on the display's. One per opening of the line: the bytes of an earlier
 * opening never meet the outcomes of this one.
 */
class ChaineEnLigne {
public:
    /**
     * The outcomes kept by default: the link's cap on bytes waiting for the
     * display (256 KiB) and a margin for the bytes being read and handed over.
     */
    static constexpr std::size_t CapaciteParDefaut = std::size_t{320} * 1024;

    ChaineEnLigne(ChaineTrames::Branchements branchements, Instant seuilSilence,
                  std::size_t capacite = CapaciteParDefaut);

    /**
     * Link's thread: one byte read at `arrivee` (the next number of the
     * opening, from 0); the command byte, if any, is appended to `reponse`.
     */
    void recevoir(int octet, Instant arrivee, std::string& reponse);
    /** Link's thread: bytes left the line at `instant`. */
    void noterEmission(Instant instant);

    /**
     * Display's thread: the outcome of byte number `numero` of the opening;
     * those of the bytes before it not taken yet go. An empty one (nothing
     * done) when it went already.
     */
    Etape prendre(std::uint64_t numero);

    /** Outcomes that went before the display took them (it was too far behind). */
    std::uint64_t perdues() const;

private:
    ChaineTrames m_chaine;
    /**
     * The outcomes waiting, oldest first, in a ring that grows (by doubling)
     * up to the capacity and then keeps its room: nothing is allocated once
     * it has grown. Both threads reach it under the lock.
     */
    mutable std::mutex m_verrou;
    std::vector<Etape> m_anneau;
    std::size_t m_capacite;
    /** The ring's oldest outcome, how many wait, and the oldest's byte number. */
    std::size_t m_tete = 0;
    std::size_t m_nombre = 0;
    std::uint64_t m_premier = 0;
    std::uint64_t m_perdues = 0;
};

} // namespace protocole
