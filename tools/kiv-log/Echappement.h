#pragma once

#include <string>
#include <string_view>

/**
 * A text of the log (an event, a reason) fit for a terminal: control
 * characters (C0, DEL, C1), bytes that are no UTF-8 and the backslash are
 * written as \xNN escapes, so that a log can never drive the terminal.
 */
std::string echapper(std::string_view texte);
