#pragma once

/** Messages of the network trainer. */
namespace msg {
/** Outputs scaled with a margin (Epsilon) need MaxOutput to differ from MinOutput. */
inline constexpr const char* PlageSortieInvalide = "Plage de sortie invalide!";
/** The output fields must be numbers: a scaling of them is written and trained on. */
inline constexpr const char* MinOutputInvalide = "MinOutput invalide!";
inline constexpr const char* MaxOutputInvalide = "MaxOutput invalide!";
inline constexpr const char* EpsilonInvalide = "Epsilon invalide!";
/** A training file of no example teaches nothing and would leave an unusable network. */
inline constexpr const char* EnsembleVide = "Ensemble d'entrainement vide!";
} // namespace msg

namespace texte {
/** Shown with the path in place of %s when the training file cannot be opened. */
inline constexpr const char* ErreurOuvertureEntrainement =
    "Erreur d'ouverture du fichier d'entrainement (%s)";
/** Shown with the path in place of %s when a file of the trainer cannot be written. */
inline constexpr const char* ErreurEcriture = "Erreur d'écriture du fichier (%s)";
/** Shown with the path in place of %s when a weights file named by the user cannot be opened. */
inline constexpr const char* ErreurOuverturePoids = "Erreur d'ouverture du fichier de poids (%s)";
} // namespace texte
