#pragma once

#include <cstdint>
#include <optional>

/**
 * The numeric settings of the settings store (QSettings), each read within
 * its documented range: a value that is not a number, not finite, not
 * whole where it must be, or out of range counts as missing and its
 * default holds, and it is told once per key and run (reglages::
 * avertirReglage, core/ReglageNumerique.h). A missing key is no fault.
 */

/** The number of `cle` within [min, max], else `defaut`. */
double lireReglage(const char* cle, double min, double max, double defaut);

/** The whole number of `cle` within [min, max], else `defaut`. */
std::int64_t lireReglageEntier(const char* cle, std::int64_t min, std::int64_t max,
                               std::int64_t defaut);

/** The same for a key whose default is no number: nothing when it is missing or refused. */
std::optional<std::int64_t> lireReglageEntier(const char* cle, std::int64_t min, std::int64_t max);
