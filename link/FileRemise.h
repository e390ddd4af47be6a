#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/**
 * One entry of what the monitor hands over, in the order it happened: a
 * line-event notification, bytes read together (`longueur` of them, next in
 * the received bytes), a write, the reflex's answer (`longueur` bytes, next
 * in the answers), or the loss of the device.
 */
struct ArriveeLien {
    enum class Genre : std::uint8_t { Notification, Octets, Ecriture, Reponse, Perte };
    Genre genre = Genre::Octets;
    /** Notification: its WM_SERIAL_ message. */
    unsigned message = 0;
    /** When it happened (instantLien); Octets: the time of the entry's last byte. */
    std::int64_t instant = 0;
    /** Octets, Reponse: how many. */
    std::uint32_t longueur = 0;
    /**
     * Octets: one byte's time on the wire at the line's rate (10 bits), us;
     * 0 when unknown. Bytes read together came one after the other: the
     * courier dates each by the bytes that followed it in the same read, so
     * a reader that was late to read is no silence of the line.
     */
    std::uint32_t pasUs = 0;
};

/**
 * The time of a byte read with `restants` others after it in one read at
 * `lecture` (us), `pasUs` being one byte's time on the wire: it was on the
 * wire at least the time of those others before the read. Never before
 * `precedent`, the time given to the byte before it.
 */
inline std::int64_t instantOctet(std::int64_t lecture, std::uint32_t restants, std::uint32_t pasUs,
                                 std::int64_t precedent)
{
    const std::int64_t date = lecture - static_cast<std::int64_t>(restants) * pasUs;
    return date > precedent ? date : precedent;
}

/**
 * What the hand-over works on at one time, on the owner's thread: a few
 * entries taken from the head of the queue with their bytes, and the bytes
 * the queue dropped just before them (told first). The cursors say how far
 * the hand-over has gone; an Octets entry loses a byte from its front as
 * each is handed over.
 */
struct LotRemise {
    std::vector<ArriveeLien> arrivees;
    std::string recus;
    std::string reponses;
    /** Received bytes dropped before the first entry, not told yet. */
    std::uint64_t debordes = 0;
    std::size_t prochaine = 0;
    std::size_t prochainOctet = 0;
    std::size_t prochaineReponse = 0;

    /** Nothing left to hand over. */
    bool fini() const { return debordes == 0 && prochaine == arrivees.size(); }
    void vider();
};

/**
 * What the monitor read and did, waiting for the owner's thread: the entries
 * in order, the received bytes and the reflex's answers they stand for.
 * Bounded: beyond `capacite()` received bytes (or half as many entries),
 * the oldest entries go, with their bytes and answers, and the received
 * bytes that went are counted until the next taking (`prendre`), which
 * hands the count over ahead of what is left. The newest bytes stay: they
 * hold the robot's latest state. A loss of the device is never dropped.
 *
 * Plain data with no lock of its own: the engine keeps it under the mutex
 * of its shared state. Room is kept from one use to the next; the heads
 * consumed are cut off now and then, not at each taking.
 */
class FileRemise {
public:
    /** The default cap on received bytes waiting (256 KiB). */
    static constexpr std::size_t CapaciteParDefaut = std::size_t{256} * 1024;

    explicit FileRemise(std::size_t capaciteOctets = CapaciteParDefaut)
    {
        reglerCapacite(capaciteOctets);
    }

    /** The cap on received bytes waiting (at least 1); entries are capped at half as many. */
    void reglerCapacite(std::size_t octets);
    std::size_t capacite() const { return m_capacite; }

    /** Appends an entry; Octets and Reponse entries take their bytes from `recus` / `reponses`. */
    void ajouter(const ArriveeLien& arrivee) { m_arrivees.push_back(arrivee); }
    /** Appends received bytes (those of the Octets entries appended). */
    void ajouterRecus(const std::string& octets) { m_recus.append(octets); }
    /** Appends the reflex's answers (those of the Reponse entries appended). */
    void ajouterReponses(const std::string& octets) { m_reponses.append(octets); }

    /**
     * Drops the oldest entries until what waits is within the caps; an Octets
     * entry may lose only its oldest bytes. Returns the received bytes dropped.
     */
    std::uint64_t borner();

    /**
     * Moves the oldest entries into `lot` (emptied first): about `octetsMax`
     * received bytes (an Octets entry is cut there), at most `entreesMax`
     * entries, with the count of bytes dropped since the last taking.
     */
    void prendre(LotRemise& lot, std::size_t octetsMax, std::size_t entreesMax);

    /** Puts back, ahead of what waits, what is left of `lot` (a hand-over stopped). */
    void remettreEnTete(LotRemise& lot);

    /** Forgets everything (a new opening, a shutdown). */
    void vider();

    /** Nothing to hand over: no entry, no drop untold. */
    bool vide() const { return m_debut == m_arrivees.size() && m_debordes == 0; }
    std::size_t entrees() const { return m_arrivees.size() - m_debut; }
    std::size_t octets() const { return m_recus.size() - m_debutRecus; }
    /** Received bytes dropped and not yet told. */
    std::uint64_t debordes() const { return m_debordes; }

private:
    /** Cuts off the consumed heads once they are the larger part. */
    void compacter();

    std::size_t m_capacite = CapaciteParDefaut;
    std::vector<ArriveeLien> m_arrivees;
    std::string m_recus;
    std::string m_reponses;
    /** The first entry, byte and answer still waiting. */
    std::size_t m_debut = 0;
    std::size_t m_debutRecus = 0;
    std::size_t m_debutReponses = 0;
    std::uint64_t m_debordes = 0;
};
