#pragma once

#include "core/EcritureSure.h"
#include "core/FichierLecture.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>

/**
 * The text files of the trainer are exchanged with the robot's other tools,
 * which expect CR LF line ends and Windows-1252 bytes. The program's own
 * strings are UTF-8 and its writers end lines with '\n'; this buffer does
 * the translation on the way to the file:
 *  - '\n' becomes "\r\n";
 *  - a well-formed UTF-8 sequence becomes its Windows-1252 byte, or '?' when
 *    that character set has none for it;
 *  - a byte that does not start or continue a well-formed sequence is passed
 *    through unchanged (it is most likely already Windows-1252).
 */
class TamponWindows : public std::streambuf {
public:
    /** Writes through `destination`, which must outlive this buffer. */
    explicit TamponWindows(std::streambuf* destination);

    /** Writes out an unfinished UTF-8 sequence as it stands. False when that write failed. */
    bool vider();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool ecrireOctet(unsigned char octet);
    bool ecrireBrut();
    bool traiter(unsigned char octet);

    std::streambuf* m_destination;
    unsigned char m_sequence[4] = {};
    int m_longueur = 0; ///< bytes of the pending sequence held in m_sequence
    int m_attendus = 0; ///< total length of the pending sequence
};

/** The Windows-1252 byte of a Unicode code point, or '?' when there is none. */
unsigned char versWindows1252(char32_t point);

/**
 * The Unicode code point of a Windows-1252 byte; 0 for the five bytes that
 * character set leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
 */
char32_t depuisWindows1252(unsigned char octet);

/**
 * A text file written with the translation above, replacing the file at
 * `chemin` safely (EcritureSure): the bytes reach the file only when
 * fermer() succeeds; a failed write or an error thrown half-way leaves the
 * previous file as it was. Numbers are formatted in the classic locale,
 * whatever the user's locale, so the same network writes the same bytes
 * everywhere.
 */
class FichierTexteSortie : public std::ostream {
public:
    explicit FichierTexteSortie(const std::string& chemin);
    /** Drops what was written unless fermer() put it in place. */
    ~FichierTexteSortie() override;

    bool is_open() const { return m_ecriture.ouverte(); }

    /** Flushes and puts the file in place. True when every byte reached it. */
    bool fermer();

    /** Why the file could not be written, in the system's words; empty while all is well. */
    std::string raison() const;

private:
    EcritureSure m_ecriture;
    TamponSur m_fichier;
    TamponWindows m_tampon;
};

/**
 * A text file opened for reading in the classic locale. Files from either
 * platform are read: the extractors treat CR as white space, and
 * `lireLigne` drops the CR of a CR LF line end. A UTF-8 byte-order mark
 * at the start of the file is skipped. It is opened as every file named by
 * the user is (FichierLecture): never blocking, and only a regular file, so
 * a FIFO, a folder or a device reads as a file that cannot be opened.
 */
class FichierTexteEntree : public FichierLecture {
public:
    explicit FichierTexteEntree(const std::string& chemin);
};

/** Longest line of a text file that is kept; the rest of a longer line is read and dropped. */
inline constexpr std::size_t LongueurLigneTexteMax = 4096;

/**
 * One line without its end, LF or CR LF, cut to LongueurLigneTexteMax
 * characters. False, with `ligne` empty, when no line was left.
 */
bool lireLigne(std::istream& is, std::string& ligne);
