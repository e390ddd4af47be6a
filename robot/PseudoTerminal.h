#pragma once

#include <string>

namespace robotsim {

/**
 * A pseudo-terminal pair: the controlling end (`maitre`, non-blocking,
 * close-on-exec), which plays the robot's end of the line, and the device
 * end (`nom`) that the console opens as a serial port.
 */
struct PairePty {
    int maitre = -1;
    /** The device end, when kept open (-1 otherwise). */
    int esclave = -1;
    std::string nom;
};

/**
 * Opens a pair with its device end in raw mode (set with TCSANOW: nothing
 * already queued is thrown away). With `garderEsclave` the device end stays
 * open, so that the controlling end never fails with EIO before the console
 * opens its side; without, it is closed, and the console's opening and
 * closing of it show on the controlling end as the hang-up flag going and
 * coming. False, with the reason in `erreur`, on failure.
 */
bool ouvrirPty(PairePty& paire, bool garderEsclave, std::string& erreur);

/** Closes what the pair holds open. */
void fermerPty(PairePty& paire);

/** A terminal in raw mode: 8 data bits, no parity, CLOCAL, reads that never wait (VMIN = VTIME =
 * 0). */
bool mettreEnBrut(int fd);

} // namespace robotsim
