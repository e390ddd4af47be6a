#pragma once

#include "link/recorder/FormatJournal.h"
#include "world/FichierTerrain.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMainFrame;
class FenetreRejeu;
namespace journal {
class Enregistreur;
}

/**
 * The folder the session logs go to, named after the product:
 * "kiv-zul/journaux" in the user's data folder (~/.local/share on Linux).
 */
QString dossierJournaux();

/** A replay speed a replay window offers: its text and its factor of real time. */
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
 * robot's port; each of its files starts with the field as it stands.
 */
std::shared_ptr<journal::Enregistreur> creerJournalSession();

/** A field as the session log records it (kind 8). */
journal::EtatTerrain etatTerrain(const Terrain& terrain);

/**
 * Opens a replay window of `fichier` over `frame`, playing at `vitesse`
 * times real time (empty: the speed chosen last in a replay window), the
 * robot placed by the network loaded in the frame's view now. A file that
 * is no log is told in a box ("Rejouer un journal"); null then. The live
 * console, its field, its link and its navigation are left as they are.
 */
FenetreRejeu* ouvrirRejeu(CMainFrame& frame, const std::string& fichier,
                          std::optional<double> vitesse = std::nullopt);

/**
 * Adds "Rejouer un journal..." and "Ouvrir le dossier des journaux" to the
 * File menu, before its last group: the first asks for a log (the dialog
 * starts in the log folder) and opens a replay window of it.
 */
void ajouterMenuRejeu(CMainFrame& frame);
