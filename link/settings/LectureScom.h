#pragma once

#include "link/settings/PortSettings.h"

#include <istream>
#include <optional>
#include <string>

/** Longest line of the settings file that is read; the rest of a longer line is dropped. */
inline constexpr std::size_t LongueurLigneScom = 99;
/** Only the start of the settings file is read: eight short lines fit many times over. */
inline constexpr std::size_t TailleMaxScom = std::size_t{64} * 1024;

/**
 * The first TailleMaxScom bytes of the settings file at `chemin` into
 * `contenu`. False, with `contenu` empty, when it cannot be opened or is no
 * regular file (a folder, a FIFO that would block, a device that never ends,
 * a link to one of those): such a file is no settings file.
 */
bool chargerFichierScom(const std::string& chemin, std::string& contenu);

/**
 * Reads one line of the settings file into `ligne`, without its line end
 * (LF or CR LF). Only the first LongueurLigneScom characters are kept: the
 * rest of a longer line is read and dropped, so that it never passes for a
 * line of its own (the tail of a long comment could otherwise read as a
 * section header). Any byte, NUL included, is an ordinary character. Returns
 * false, with `ligne` unchanged, when nothing was left to read.
 */
bool lireLigneScom(std::istream& entree, std::string& ligne);

/** What one pass over the settings file found. */
struct SectionsScom {
    /** An "[OPTIONS]" line was seen. */
    bool options = false;
    /** The value of the line after the last "[OPTIONS]" that had one. */
    std::optional<int> port;
    /** The value of the line after the last "[Port#1]" that had one. */
    std::optional<int> baud;
};

/**
 * The pass both readers make over the file: a line "[OPTIONS]" (exactly)
 * gives the port from the next line; then, if the line in hand is "[Port#1]"
 * (exactly, and that may be the line just read after "[OPTIONS]"), the next
 * line gives the baud rate. With `ignorerPremiereLigne` the first line is
 * read and not examined, as the link's reader does.
 */
SectionsScom lireSectionsScom(std::istream& entree, bool ignorerPremiereLigne);

/** The settings the port dialog starts from: the combo box position and the baud rate. */
struct ReglagesCommDlg {
    int indexPort = 1; ///< "COM2" when the file does not say
    int baud = 0;      ///< 0: no rate read (the dialog checks 9600)
};

/**
 * The port dialog's own reading: every line is examined, the first one
 * included; the index is the port read minus 1. Without an "[OPTIONS]" line
 * (or without the file) the index is 1 and the baud rate 0. Never reports
 * anything: a missing file simply gives those defaults.
 */
ReglagesCommDlg lireReglagesCommDlg(std::istream& entree);
ReglagesCommDlg lireReglagesCommDlg(const std::string& chemin = FichierScom);
