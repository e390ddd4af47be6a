#pragma once

/** Fixed messages of the neural-network engine's errors. */
namespace msg {
inline constexpr const char* MatriceIncompatible = "Matrice incompatible!";
/** The in-place subtraction has always reported its mismatch without the '!'; kept as is. */
inline constexpr const char* MatriceIncompatibleSoustraction = "Matrice incompatible";
inline constexpr const char* MatriceSinguliere = "Matrice singuliere!";
} // namespace msg
