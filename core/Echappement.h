#pragma once

#include <string>
#include <string_view>

/**
 * A text from outside (a log's event, a file's word, a file name) fit for a
 * terminal or a one-line comment: control characters (C0, DEL, C1), bytes
 * that are no UTF-8 and the backslash are written as \xNN escapes, so that
 * such a text can never drive the terminal nor break a line in two.
 */
std::string echapper(std::string_view texte);
