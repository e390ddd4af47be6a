#pragma once

#include "core/CatalogueReglages.h"

#include <optional>

/**
 * The numeric settings of the settings store (QSettings), each read within
 * its documented range: a value that is not a number, not finite, not
 * whole where it must be, or out of range counts as missing and its
 * default holds, and it is told once per key and run (reglages::
 * avertirReglage, core/ReglageNumerique.h). A missing key is no fault.
 */

/** The number of `cle` (Genre::Nombre) within its range, else its default (0 when it has none). */
double lireReglage(const reglages::CleReglage& cle);

/** The number of `cle` within its range; nothing when it is missing or refused. */
std::optional<double> lireReglagePresent(const reglages::CleReglage& cle);

/** The choice of `cle` (Genre::Oui); its default when it is missing. */
bool lireReglageOui(const reglages::CleReglage& cle);
