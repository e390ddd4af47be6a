#pragma once

/** Messages of the network trainer. */
namespace msg {
/** Outputs scaled with a margin (Epsilon) need MaxOutput to differ from MinOutput. */
inline constexpr const char* PlageSortieInvalide = "Plage de sortie invalide!";
} // namespace msg

namespace texte {
/** Shown with the path in place of %s when the training file cannot be opened. */
inline constexpr const char* ErreurOuvertureEntrainement =
    "Erreur d'ouverture du fichier d'entrainement (%s)";
} // namespace texte
