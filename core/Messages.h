#pragma once

/** Fixed messages of the core containers' errors. */
namespace msg {
inline constexpr const char* IndiceInvalide = "Indice invalide!";
inline constexpr const char* DimensionInvalide = "Dimension invalide!";
inline constexpr const char* ErreurAllocation = "Erreur d'allocation de memoire!";
inline constexpr const char* FormatInvalide = "Format invalide!";
inline constexpr const char* PasElementCourant = "Pas d'element courant!";
inline constexpr const char* PasElementMinimum = "Pas d'element minimum!";
} // namespace msg
