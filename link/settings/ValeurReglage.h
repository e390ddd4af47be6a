#pragma once

#include <string_view>

/**
 * The number of a settings line of the form key, '=', value.
 *
 * An '=' among the first six characters marks where the value starts (just
 * after it); without one there, the value starts at position 6, which skips
 * most of the key of the file's own lines ("Last Port = 1" is read from
 * "ort = 1"). From there to the end of the line a blank (space or tab) is
 * skipped, a digit d makes the value value * 10 + d, and any other character
 * counts as the digit 0: "Baud Rate = 9600 bps" gives 9600000.
 *
 * The value saturates at INT_MAX instead of overflowing, so a line of any
 * length gives a value in 0 .. INT_MAX; a value that large is simply out of
 * range for its setting, and the link refuses it.
 */
int valeurReglage(std::string_view ligne);
