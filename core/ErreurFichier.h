#pragma once

#include <istream>
#include <stdexcept>
#include <string>

/**
 * An error met while reading a file, with where it was
 * met. The message stays the reader's own ("Format invalide!"); what() adds
 * a second line naming the file and, when it is known, the line:
 * "Fichier : poids.wgh, ligne 12".
 */
class ErreurFichier : public std::runtime_error {
public:
    /** `ligne` counts from 1; 0 when the error has no place in the file. */
    ErreurFichier(const std::string& message, std::string chemin, int ligne);

    const std::string& message() const { return m_message; }
    const std::string& chemin() const { return m_chemin; }
    int ligne() const { return m_ligne; }

private:
    std::string m_message;
    std::string m_chemin;
    int m_ligne;
};

/**
 * The error as the command-line tools print it, as compilers place their
 * messages: "poids.wgh:12: Format invalide!" (the line left out when it is
 * not known).
 */
std::string texteOutil(const ErreurFichier& e);

/** A file that cannot be opened, told by the caller's own text (the path in it). */
class ErreurOuverture : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/**
 * The line (from 1) at which reading stopped in a seekable stream, to be
 * asked after a failed read; 0 when the stream cannot tell. An error met
 * at the end of the input is placed on the last line.
 */
int ligneCourante(std::istream& is);

/**
 * Runs `lecture` on the stream of the file `chemin`: an error it throws
 * (an Erreur of the readers, a refused allocation) comes out as an
 * ErreurFichier placing it in the file.
 */
template <class Lecture>
void lireFichier(std::istream& is, const std::string& chemin, Lecture&& lecture)
{
    try {
        lecture(is);
    } catch (const std::exception& e) {
        throw ErreurFichier(e.what(), chemin, ligneCourante(is));
    }
}
