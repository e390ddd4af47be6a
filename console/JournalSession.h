#pragma once

#include "link/RobotLink.h"

#include <QString>
#include <memory>
#include <string>

class CMainFrame;
namespace journal {
class Enregistreur;
}

/** The settings-store key of the log folder's cap, in megabytes (200 when missing or invalid). */
inline constexpr const char* CleTailleJournaux = "Journal/TailleMaxMo";

/** The folder the session logs go to: the user's application data folder. */
QString dossierJournaux();

/**
 * The recording of this program session into the log folder, capped as
 * the settings store says. The file appears with the first opening of the
 * robot's port.
 */
std::shared_ptr<journal::Enregistreur> creerJournalSession();

/** Makes replay links of `fichier` at `vitesse` times real time. */
RobotLinkFactory fabriqueRejeu(const std::string& fichier, double vitesse);

/**
 * Adds "Rejouer un journal..." to the File menu, before its last group: it
 * asks for a log and plays it in the frame's view.
 */
void ajouterMenuRejeu(CMainFrame& frame);
