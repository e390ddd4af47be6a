#pragma once

#include "trainer/ParametresReseau.h"

#include <istream>
#include <ostream>
#include <string_view>

/**
 * The parameter file: fifteen "key=value" lines in the fixed order of
 * ParametresReseau (Gain, Momentum, Epsilon, ..., DonnéesTest3). Doubles are
 * written in the stream's default format (six significant digits).
 */
void ecrireParametres(std::ostream& os, const ParametresReseau& p);

/**
 * Reads the file by position: line i sets field i whatever its key says. The
 * value is what follows the first '=' (the whole line when there is none);
 * a missing line counts as empty; numbers are converted like atof and atoi.
 */
ParametresReseau lireParametres(std::istream& is);

/**
 * atof without the locale: leading white space skipped, the longest valid
 * prefix converted with '.' as the decimal point, 0 when there is none.
 */
double texteVersDouble(std::string_view texte);

/** atoi without the locale; a value out of range saturates at INT_MIN or INT_MAX. */
int texteVersEntier(std::string_view texte);
