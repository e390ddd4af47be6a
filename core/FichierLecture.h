#pragma once

#include <ext/stdio_filebuf.h>

#include <istream>
#include <memory>
#include <string>

/**
 * Opening a file that someone named (on a command line, in a dialog, in a
 * log's continuation) for reading, the one way every reader of the system
 * does it:
 *  - the opening never blocks: a FIFO that nobody writes to, a terminal or
 *    a modem line would otherwise hold the caller in open() for good;
 *  - only a regular file is read (a symbolic link is followed to one): a
 *    folder, a FIFO, a device or a socket is refused before any byte is
 *    read, so that neither /dev/zero nor a pipe can feed a reader forever;
 *  - with `suivreLien` false, a symbolic link itself is refused (files the
 *    program names itself, which it never makes as links).
 * A refusal is an error like a missing file: the reader says it in its own
 * words, with lecture::raison() for the reason.
 */
namespace lecture {

/** Why a file was refused, beside the system's error numbers (which are positive). */
inline constexpr int ErreurDossier = -1;
inline constexpr int ErreurTube = -2;
inline constexpr int ErreurPeripherique = -3;
inline constexpr int ErreurAutre = -4; ///< a socket, or anything else that is no file
inline constexpr int ErreurLien = -5;  ///< a symbolic link where none is followed

/**
 * Opens `chemin` for reading as above. Returns the descriptor (close on
 * exec, in blocking mode again), or -1 with `erreur` set: the system's
 * error number, or one of the refusals above.
 */
int ouvrir(const std::string& chemin, int& erreur, bool suivreLien = true);

/**
 * What `chemin` is, looked at without opening it (a link followed): 0 for a
 * regular file or nothing there, else the refusal above. For a file that
 * another reader opens (Qt's settings store), to refuse it first.
 */
int examiner(const std::string& chemin);

/**
 * The reason for `erreur` in words: the system's for its error numbers
 * (strerror, in the user's language where the program set its locale),
 * "c'est un dossier", "c'est un tube (FIFO)", "c'est un périphérique",
 * "ce n'est pas un fichier ordinaire", "c'est un lien symbolique".
 */
std::string raison(int erreur);

} // namespace lecture

/**
 * A file opened with lecture::ouvrir, read as a binary stream (seekable, like
 * an std::ifstream opened in binary mode). Where an std::ifstream would
 * block or read a device, this one is simply not open: is_open() is false,
 * the stream's failbit is set and erreur() says why.
 */
class FichierLecture : public std::istream {
public:
    /** A stream that is not open (ouvrir() opens it later). */
    FichierLecture();
    explicit FichierLecture(const std::string& chemin, bool suivreLien = true);
    ~FichierLecture() override;
    FichierLecture(const FichierLecture&) = delete;
    FichierLecture& operator=(const FichierLecture&) = delete;

    /**
     * Closes the file read so far and opens `chemin`, its state cleared;
     * false (and failbit) when it cannot be opened.
     */
    bool ouvrir(const std::string& chemin, bool suivreLien = true);

    /** Closes the file (failbit set); nothing more is read. */
    void fermer();

    bool is_open() const { return m_tampon != nullptr; }
    /** The file is there but was refused: no regular file, or a link not followed. */
    bool refuse() const { return m_erreur < 0; }
    /** The error of the last opening (0 when it succeeded): see lecture::ouvrir. */
    int erreur() const { return m_erreur; }
    /** The reason of the last failed opening in words; empty when it succeeded. */
    std::string raison() const { return m_erreur == 0 ? std::string() : lecture::raison(m_erreur); }

private:
    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> m_tampon;
    int m_erreur = 0;
};
