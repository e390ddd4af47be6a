#pragma once

/** Fixed messages of the perceptron and its training. */
namespace msg {
inline constexpr const char* VecteurEntreeInvalide = "Vecteur d'entree invalide!";
inline constexpr const char* CouchePrecedenteInvalide = "Couche precedente invalide!";
inline constexpr const char* VecteurDesireInvalide = "Vecteur desire invalide!";
inline constexpr const char* DataInvalide = "Data invalide!";
inline constexpr const char* TauxApprentissageInvalide = "Taux d'apprentissage invalide!";
inline constexpr const char* IterMaxInvalide = "Nombre maximum d'iterations invalide!";
inline constexpr const char* ErreurMaxInvalide = "Erreur quadratique maximum invalide!";
inline constexpr const char* MomentumInvalide = "Momentum invalide";
inline constexpr const char* ToleranceInvalide = "Tolerance invalide!";
/** A layer without neurons leaves the learning step nothing to sum; it is refused. */
inline constexpr const char* CoucheSansNeurone = "Couche sans neurone!";
/** Training diverged: the network in use is kept as it was before the run. */
inline constexpr const char* PoidsNonFinis = "Entrainement divergent: poids non finis!";
} // namespace msg

/** Texts of the training progress box and its Cancel question. */
namespace texteEntrainement {
inline constexpr const char* ErreurQuadratique = "Erreur quadratique:\n";
inline constexpr const char* Passe = "Erreur quadratique:\nPasse #%d : %.4f";
inline constexpr const char* PasseEtTaux =
    "Erreur quadratique:\nPasse #%d : %.4f\nTaux de classement: %.4f";
inline constexpr const char* AnnulerOperation = "Voulez-vous vraiment annuler l'opération?";
} // namespace texteEntrainement
