#pragma once

#include <string>
#include <vector>

namespace robotsim {

/** A line read by EntreeCommandes. */
struct CommandeTapee {
    std::string texte;
    /** Longer than LongueurCommandeMax: its text is dropped. */
    bool tropLongue = false;
};

/**
 * The lines an operator types to a running robot, read from a descriptor
 * (its standard input) without ever waiting: each call takes what is there
 * and returns the lines it completed. The end of the input (a file read to
 * its end, /dev/null, a pipe closed) or an error ends the reading for good
 * and changes nothing else. A terminal is read only while the robot is in
 * its foreground: in the background a read would stop the process.
 */
class EntreeCommandes {
public:
    explicit EntreeCommandes(int fd);

    /** Appends the lines completed since the last call; false once the input has ended. */
    bool lire(std::vector<CommandeTapee>& lignes);

    bool ouverte() const { return m_ouverte; }

private:
    void ajouter(const char* octets, std::size_t n, std::vector<CommandeTapee>& lignes);

    int m_fd;
    bool m_ouverte = true;
    std::string m_ligne;
    bool m_tropLongue = false;
};

} // namespace robotsim
