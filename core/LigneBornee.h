#pragma once

#include <cstddef>
#include <istream>
#include <string>

/** What lireLigneBornee found. */
enum class LigneLue {
    Ligne,      ///< a line, in `ligne`
    Fin,        ///< nothing left: `ligne` as it was, the stream's fail bit set
    TropLongue, ///< a line longer than the bound, refused (AuDela::Refuser)
    Illisible,  ///< the input failed (a read error): the stream is marked bad
};

/** What becomes of a line longer than the bound. */
enum class AuDela {
    Refuser, ///< reading stops there: the rest of an endless line is never read
    Couper,  ///< the line's first characters are kept, the rest is read and dropped
};

/**
 * The one line reader of the text formats (fields, geometries, scenarios,
 * the link's settings file, the trainer's files): one line of at most `max`
 * characters, its end (LF, or CR LF) not counted and not kept; the last line
 * may lack its LF. Memory never grows past `max` + 1 characters, whatever
 * the input, and a file buffer that throws on a read error (a folder, a
 * failing device) makes Illisible, never an exception.
 *
 * A CR is kept where it is not the end of the line. With Couper, a line
 * longer than `max` is its first `max` characters.
 */
LigneLue lireLigneBornee(std::istream& texte, std::string& ligne, std::size_t max, AuDela auDela);
