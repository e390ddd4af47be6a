#pragma once

#include "link/protocol/AnalyseurTrame.h"
#include "link/recorder/LecteurJournal.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

/** What an export went through. */
struct BilanExport {
    /** Rows written: whole frames. */
    std::uint64_t trames = 0;
    /** How the log ended: Fin, Tronque (a session cut short) or Corrompu. */
    journal::Lecture fin = journal::Lecture::Fin;
    /** Why the log could not be read or ended early; empty after a clean end. */
    std::string erreur;
    /** False when the header was not that of a log: nothing was written. */
    bool lisible = false;
};

/** The CSV's header line (without its line end). */
extern const char* const EnteteCsv;

/**
 * Writes one CSV row per whole sensor frame of the log `entree`: the time
 * of its first byte (s since the session start), the four timestamps, the
 * three intervals (s), the estimated position x, y (cm, as the console
 * places the robot; empty without an estimate), the two bumper bits, the
 * battery level and the command byte sent in reply (empty when none was).
 * Frames are counted from each opening of the port, as the console does.
 */
BilanExport exporterCsv(std::istream& entree, std::ostream& sortie,
                        const protocole::Estimateur& estimateur);
