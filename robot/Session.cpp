#include "robot/Session.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <time.h>
#include <vector>

namespace robotsim {

namespace {

/** Bytes as two hex digits each, separated by blanks. */
std::string hex(const std::uint8_t* octets, std::size_t n)
{
    std::string texte;
    char chiffres[4];
    for (std::size_t k = 0; k < n; ++k) {
        std::snprintf(chiffres, sizeof chiffres, "%s%02X", k == 0 ? "" : " ", octets[k]);
        texte += chiffres;
    }
    return texte;
}

void tracer(std::ostream& trace, long numero, const RobotVirtuel& robot,
            const std::array<std::uint8_t, 10>& trame, const std::vector<std::uint8_t>& recus)
{
    char ligne[160];
    const Pose& p = robot.pose();
    std::snprintf(ligne, sizeof ligne, "%ld,%.3f,%.2f,%.2f,%.1f,%u,%u,", numero, robot.temps(), p.x,
                  p.y, p.cap, trame[8], trame[9]);
    trace << ligne << hex(recus.data(), recus.size()) << ',' << robot.gauche() << ','
          << robot.droite() << ',' << hex(trame.data(), trame.size()) << std::endl;
}

/** Applies received bytes in order; counts those that are not commands. */
void appliquer(RobotVirtuel& robot, const std::vector<std::uint8_t>& octets, std::size_t depuis,
               BilanSession& bilan)
{
    for (std::size_t k = depuis; k < octets.size(); ++k) {
        if (!robot.commande(octets[k])) {
            ++bilan.invalides;
        }
    }
}

void ajouterMs(timespec& t, long ms)
{
    t.tv_nsec += (ms % 1000) * 1000000L;
    t.tv_sec += ms / 1000 + t.tv_nsec / 1000000000L;
    t.tv_nsec %= 1000000000L;
}

} // namespace

std::ostream& operator<<(std::ostream& flux, const BilanSession& b)
{
    char ligne[256];
    std::snprintf(ligne, sizeof ligne,
                  "trames %ld, réponses %ld, manquantes %ld, inattendues %ld, invalides %ld, "
                  "contacts %ld, position %.1f %.1f cap %.1f, batterie %.0f%s",
                  b.trames, b.reponses, b.manquantes, b.inattendues, b.invalides, b.contacts,
                  b.finale.x, b.finale.y, b.finale.cap, b.batterie,
                  b.partie ? ", l'autre bout a fermé la ligne" : "");
    return flux << ligne;
}

BilanSession executerSession(RobotVirtuel& robot, Liaison& liaison, const OptionsSession& options,
                             const std::atomic<bool>& arret)
{
    BilanSession bilan;
    if (options.trace != nullptr) {
        *options.trace << EnteteTrace << std::flush;
    }
    const long periodeMs = std::lround(robot.periode() * 1000.0);
    std::vector<std::uint8_t> recus;
    long octetsEnvoyes = 0;
    const bool connecte = liaison.attendreConnexion(arret);
    timespec echeance{};
    clock_gettime(CLOCK_MONOTONIC, &echeance);
    while (connecte && !arret) {
        // What came since the last reply: not an answer to any status byte.
        recus.clear();
        if (!liaison.lireDisponibles(recus)) {
            bilan.partie = true;
            break;
        }
        bilan.inattendues += static_cast<long>(recus.size());
        appliquer(robot, recus, 0, bilan);
        if (options.avantTrame) {
            options.avantTrame(robot);
        }

        const auto trame = robot.trame();
        // The timestamps and the status byte leave together; the battery
        // byte follows the console's reply.
        std::size_t envoyes = 0;
        if (options.avantEtat) {
            if (!liaison.ecrire(trame.data(), 8, arret)) {
                bilan.partie = !arret;
                break;
            }
            options.avantEtat(octetsEnvoyes + 8);
            envoyes = 8;
        }
        if (!liaison.ecrire(trame.data() + envoyes, 9 - envoyes, arret)) {
            bilan.partie = !arret;
            break;
        }
        octetsEnvoyes += 9;
        recus.clear();
        const auto r = liaison.lire(recus, options.delaiReponseMs, arret);
        if (r == Liaison::Resultat::Partie) {
            bilan.partie = true;
            break;
        }
        if (r == Liaison::Resultat::Arret) {
            break;
        }
        if (!liaison.ecrire(trame.data() + 9, 1, arret)) {
            bilan.partie = !arret;
            break;
        }
        ++octetsEnvoyes;
        // A frame counts once its reply is in or overdue.
        ++bilan.trames;
        if (r == Liaison::Resultat::Delai) {
            // A robot that hears nothing from its console stands still.
            ++bilan.manquantes;
            robot.arreterRoues();
        } else {
            ++bilan.reponses;
            bilan.inattendues += static_cast<long>(recus.size()) - 1;
            appliquer(robot, recus, 0, bilan);
        }
        if (options.trace != nullptr) {
            tracer(*options.trace, bilan.trames, robot, trame, recus);
        }
        robot.avancer();
        if (options.apresPeriode) {
            options.apresPeriode(robot);
        }
        if (!options.rapide) {
            // The next beacon cycle's end, at least half a period away: a
            // robot kept waiting skips the cycles it missed instead of
            // sending late frames back to back, so a silence always parts
            // two frames (the console finds frames again by it).
            ajouterMs(echeance, periodeMs);
            timespec plusTot{};
            clock_gettime(CLOCK_MONOTONIC, &plusTot);
            ajouterMs(plusTot, periodeMs / 2);
            while (echeance.tv_sec < plusTot.tv_sec ||
                   (echeance.tv_sec == plusTot.tv_sec && echeance.tv_nsec < plusTot.tv_nsec)) {
                ajouterMs(echeance, periodeMs);
            }
            // A signal cuts the sleep short; the loop then sees the stop flag.
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &echeance, nullptr);
        }
    }
    if (options.trace != nullptr) {
        options.trace->flush();
    }
    bilan.contacts = robot.contacts();
    bilan.finale = robot.pose();
    bilan.batterie = robot.batterie();
    return bilan;
}

} // namespace robotsim
