#pragma once

#include "link/RobotLink.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;
namespace journal {
class Enregistreur;
}

/** The settings-store key of the log folder's cap, in megabytes (200 when missing or invalid). */
inline constexpr const char* CleTailleJournaux = "Journal/TailleMaxMo";

/** The settings-store key of the replay speed chosen last (an index of vitessesRejeu()). */
inline constexpr const char* CleVitesseRejeu = "Journal/VitesseRejeu";

/**
 * The folder the session logs go to, named after the product:
 * "kiv-zul/journaux" in the user's data folder (~/.local/share on Linux).
 */
QString dossierJournaux();

/** A replay speed the File menu offers: its text and its factor of real time. */
struct VitesseRejeu {
    const char* texte;
    double facteur;
};
/** 1, 2, 5, 10 and 1000 times real time. */
const std::vector<VitesseRejeu>& vitessesRejeu();

/**
 * Shows the log folder in the desktop's file manager, made private first
 * when missing; the operator is told when it cannot be made or shown.
 */
void ouvrirDossierJournaux();

/**
 * The recording of this program session into the log folder, capped as
 * the settings store says. The file appears with the first opening of the
 * robot's port.
 */
std::shared_ptr<journal::Enregistreur> creerJournalSession();

/** Makes replay links of `fichier` at `vitesse` times real time. */
RobotLinkFactory fabriqueRejeu(const std::string& fichier, double vitesse);

/**
 * Adds "Rejouer un journal..." and "Ouvrir le dossier des journaux" to the
 * File menu, before its last group: the first asks for a log (the dialog
 * starts in the log folder), then for the speed, and plays it in the
 * frame's view.
 */
void ajouterMenuRejeu(CMainFrame& frame);
