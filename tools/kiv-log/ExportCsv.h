#pragma once

#include "link/recorder/LecteurSession.h"
#include "link/trame/ChaineTrames.h"

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
    /** Why the CSV file could not be written (exporterCsvFichier); empty when it was. */
    std::string raisonEcriture;
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
 * When `chemin` names the log's file, the files the session was continued
 * in are read after it.
 */
BilanExport exporterCsv(std::istream& entree, std::ostream& sortie,
                        const protocole::Estimateur& estimateur, const std::string& chemin = {});

/**
 * exporterCsv into the file `fichier`, which is replaced safely: an export
 * that fails (a log that is no log or is damaged, a write that fails) leaves
 * the previous file as it was; raisonEcriture tells a failed write.
 */
BilanExport exporterCsvFichier(std::istream& entree, const std::string& fichier,
                               const protocole::Estimateur& estimateur,
                               const std::string& chemin = {});
