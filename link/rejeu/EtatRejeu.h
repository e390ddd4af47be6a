#pragma once

#include "link/protocol/AnalyseurTrame.h"
#include "link/recorder/LecteurJournal.h"
#include "world/Planificateur.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct Instantane;

/** The last N bytes of a stream, kept in place (a replayed state is copied whole into snapshots).
 */
template <std::size_t N>
struct DerniersOctets {
    std::array<std::uint8_t, N> octets{};
    /** Bytes added since the start, of which the last min(total, N) are kept. */
    std::uint64_t total = 0;

    void ajouter(std::uint8_t octet) { octets[static_cast<std::size_t>(total++ % N)] = octet; }
    std::size_t taille() const { return total < N ? static_cast<std::size_t>(total) : N; }
    /** The k-th kept byte, oldest first (k < taille()). */
    std::uint8_t operator[](std::size_t k) const
    {
        return octets[static_cast<std::size_t>((total - taille() + k) % N)];
    }
    bool operator==(const DerniersOctets&) const = default;
};

/**
 * What a replayed session shows at one moment, built from the log's records
 * alone: the field as it was recorded (the whole field of the last kind-8
 * record, with the destinations and map edits made since), the robot where
 * the network placed it from each recorded frame (or, for a session of the
 * position filter, where the recorded filter put it, with the raw estimate
 * beside it), the last command byte
 * sent and its wheel codes, the battery, the link and navigation events.
 * No navigation and no bumper logic run on it: a bumper contact changes the
 * field only through the mark the live console recorded. Plain value: a
 * snapshot is a copy.
 */
struct EtatRejeu {
    /** The empty field of a new document (ringed by its margin), robot at (25, 25). */
    EtatRejeu();

    /** The grid with its border, [row][column] as the world holds it. */
    GrilleMonde grille{};
    Point robot{25, 25};
    /**
     * The raw estimate of the last frame, when the session recorded where its
     * filter put the robot (then `robot` is the filtered position); (-1, -1)
     * otherwise.
     */
    Point brut{-1, -1};
    /** Position records (kind 10) were met: frames no longer place the robot themselves. */
    bool positionsEnregistrees = false;
    bool destinationPlacee = false;
    Point destination{-25, -25};
    bool banditVisible = false;
    Point bandit{0, 0};
    bool quadrillage = false;
    /** A whole field was recorded (kind 8): the field shown is the one the operator had. */
    bool terrainEnregistre = false;

    /** The last command byte sent to the robot (-1: none yet) and its wheel codes. */
    int commande = -1;
    int roueGauche = 0;
    int roueDroite = 0;
    /** The last battery byte received (-1: none yet), 0 .. 255. */
    int batterie = -1;
    /** The bumper bits of the last status byte. */
    int bit0 = 0;
    int bit1 = 0;

    /**
     * The last link event ("ouvert COM1 9600 bauds 8N1", "perdu : ...",
     * "rétabli", "fermé"; a continuation's "suite" and "reprise", the counts
     * "resynchro" and "débordement" aside) and
     * its time, us since the session's start.
     */
    std::string evenementLien;
    std::uint64_t tempsEvenementLien = 0;
    /** The last navigation event ("go robot ...", "arrêt") and its time. */
    std::string evenementNavigation;
    std::uint64_t tempsEvenementNavigation = 0;

    /** Whole frames received, frames the network gave a position for, frames cut by a silence, map
     * records applied. */
    std::uint64_t trames = 0;
    std::uint64_t estimations = 0;
    std::uint64_t resynchronisations = 0;
    std::uint64_t editions = 0;
    /** The last bytes received, the last command bytes sent; their totals. */
    DerniersOctets<40> recus;
    DerniersOctets<16> commandes;

    /** The frame parser on the recorded bytes and their times. */
    protocole::AnalyseurTrame analyseur;

    /** Applies one record; `estimateur` (may be empty) places the robot from each frame. */
    void appliquer(const journal::Enregistrement& e, const protocole::Estimateur& estimateur);
    /** Puts a whole recorded field in place: cells, robot, destination, bandit, grid lines. */
    void poserTerrain(const journal::EtatTerrain& terrain);

    /** Same state, the parser's position in its frame included. */
    friend bool operator==(const EtatRejeu& a, const EtatRejeu& b);
};

/**
 * The picture of `etat` that the map renderer draws (RenduCarte): the
 * field, the robot (heading unknown), the destination, the bandit, and the
 * route the planner finds on the replayed field from the robot's cell to the
 * destination, for the display only. `itineraire` is the search's room,
 * kept by the caller so that nothing is allocated.
 */
void instantaneRejeu(const EtatRejeu& etat, Instantane& image, Itineraire& itineraire);
