#pragma once

#include "link/trame/ChaineTrames.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace protocole {

/**
 * The frame chain run by the link's own thread as the bytes are read: the
 * command byte that answers a status byte leaves without waiting for the
 * user-interface thread. What each byte became waits, in order, for the
 * display, which takes one for every byte the link hands it (prendre).
 *
 * recevoir and noterEmission are called on the link's thread only; prendre
 * on the display's. One per opening of the line: the bytes of an earlier
 * opening never meet the outcomes of this one.
 */
class ChaineEnLigne {
public:
    /** `branchements.repondre` is not used: the answer goes back to the link. */
    ChaineEnLigne(ChaineTrames::Branchements branchements, Instant seuilSilence);

    /** Link's thread: one byte read at `arrivee`; the command byte, if any, is appended to
     * `reponse`. */
    void recevoir(int octet, Instant arrivee, std::string& reponse);
    /** Link's thread: bytes left the line at `instant`. */
    void noterEmission(Instant instant);

    /**
     * Display's thread: the outcome of the oldest byte not yet taken; an
     * empty one (nothing done) when there is none.
     */
    Etape prendre();

private:
    ChaineTrames m_chaine;
    /** The answer of the byte being read (during recevoir only). */
    std::string* m_reponse = nullptr;
    /**
     * Two lists that keep their room: the link's thread appends to the
     * first (under the lock), the display reads the second and swaps them
     * when it has read it all. Nothing is allocated once they have grown.
     */
    std::mutex m_verrou;
    std::vector<Etape> m_arrivees;
    std::vector<Etape> m_lues;
    std::size_t m_prochaine = 0;
};

} // namespace protocole
