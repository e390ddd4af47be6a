// kiv-robot: a virtual robot at the other end of the console's serial line.
// It sends a sensor frame every period from its true position on the field,
// obeys the command byte that answers each frame, and finds the obstacles of
// its scenario with its bumper.
#include "core/FichierLecture.h"
#include "robot/CommandesRobot.h"
#include "robot/EntreeCommandes.h"
#include "robot/FichierTrace.h"
#include "robot/Liaison.h"
#include "robot/RobotVirtuel.h"
#include "robot/Scenario.h"
#include "robot/Session.h"
#include "world/FichierGeometrie.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr const char* kUsage =
    "Utilisation :\n"
    "  kiv-robot [--device CHEMIN | --link CHEMIN] [--fast] [--trace F.csv]\n"
    "            [--geometry F.geo] SCENARIO\n"
    "  kiv-robot --help | --version\n"
    "\n"
    "Un robot virtuel au bout de la liaison série de la console : il envoie une\n"
    "trame de capteurs à chaque période (quatre horodatages de balises, l'octet\n"
    "d'état des pare-chocs, l'octet de batterie), attend l'octet de commande qui\n"
    "répond à chaque octet d'état et l'applique (virage sur place, puis les roues).\n"
    "\n"
    "  SCENARIO         fichier du scénario : position de départ, obstacles cachés\n"
    "                   et peints, batterie, bruit, période, graine (voir\n"
    "                   data/robot/README.md)\n"
    "  --device CHEMIN  ouvre ce périphérique série (par exemple un bout d'un câble\n"
    "                   null-modem) au lieu de créer un pseudo-terminal\n"
    "  --link CHEMIN    crée un lien symbolique CHEMIN vers le pseudo-terminal créé\n"
    "  --fast           sans attente entre les trames : la suivante part dès que la\n"
    "                   réponse est là (tests, bancs d'essai)\n"
    "  --trace F.csv    écrit une ligne par trame, au fil de la course : temps,\n"
    "                   position vraie, octets reçus et envoyés ; un fichier\n"
    "                   ordinaire ou un lien de ce nom est remplacé, un dossier,\n"
    "                   un périphérique ou un tube est refusé\n"
    "  --geometry F.geo les balises du terrain, l'intervalle entre leurs tirs,\n"
    "                   l'horloge du compteur et la vitesse du son (voir\n"
    "                   data/geometrie/README.md) ; sans elle, les quatre coins,\n"
    "                   150 ms, 2 MHz et 34300 cm/s\n"
    "  --help           affiche cette aide\n"
    "  --version        affiche la version\n"
    "\n"
    "Sans --device, le programme crée un pseudo-terminal et affiche son nom sur la\n"
    "première ligne (\"device /dev/pts/N\") : la console l'ouvre comme COM1 avec\n"
    "  KIV_COM1=/dev/pts/N build/release/console/kiv --weights data/beacons.wgh\n"
    "Il s'arrête sur Ctrl+C, SIGTERM, ou quand l'autre bout ferme la ligne, et\n"
    "affiche alors son bilan (trames, réponses, manquantes, inattendues).\n"
    "\n"
    "Pendant la course, il lit des commandes sur son entrée standard, une par\n"
    "ligne, et répond par une ligne (« fait : ... » ou « refusé : ... ») :\n"
    "  aller X Y CAP    le pose en (X, Y) cm, cap en degrés dans le sens horaire\n"
    "                   depuis l'axe x (0 à droite, 90 en bas), roues arrêtées ;\n"
    "                   refusé hors du terrain, contre un bord ou dans un obstacle\n"
    "  position         où il se trouve\n"
    "  aide             les commandes\n"
    "La fin de l'entrée standard (</dev/null) ne change rien à la course.\n";

std::atomic<bool> g_arret{false};

extern "C" void surSignal(int)
{
    g_arret = true;
}

struct Options {
    bool aide = false;
    bool version = false;
    bool rapide = false;
    std::string peripherique;
    std::string lien;
    std::string trace;
    std::string geometrie;
    std::string scenario;
};

/** Reads the arguments; returns what is wrong with them, or "". */
std::string analyser(int argc, char** argv, Options& o)
{
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        auto valeur = [&](std::string& cible) {
            if (k + 1 >= argc) {
                return false;
            }
            cible = argv[++k];
            return true;
        };
        if (a == "--help" || a == "-h") {
            o.aide = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--fast") {
            o.rapide = true;
        } else if (a == "--device" || a == "--link" || a == "--trace" || a == "--geometry") {
            std::string& cible = a == "--device"  ? o.peripherique
                                 : a == "--link"  ? o.lien
                                 : a == "--trace" ? o.trace
                                                  : o.geometrie;
            if (!valeur(cible) || cible.empty()) {
                return a + " attend un chemin";
            }
        } else if (!a.empty() && a[0] == '-') {
            return "option inconnue : " + a;
        } else if (o.scenario.empty()) {
            o.scenario = a;
        } else {
            return "un seul fichier de scénario";
        }
    }
    if (o.aide || o.version) {
        return {};
    }
    if (o.scenario.empty()) {
        return "il manque le fichier de scénario";
    }
    if (!o.peripherique.empty() && !o.lien.empty()) {
        return "--device et --link s'excluent";
    }
    return {};
}

void installerSignaux()
{
    struct sigaction a {};
    a.sa_handler = surSignal;
    sigemptyset(&a.sa_mask);
    // No SA_RESTART: a signal cuts the robot's waits short.
    sigaction(SIGINT, &a, nullptr);
    sigaction(SIGTERM, &a, nullptr);
    sigaction(SIGHUP, &a, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A robot in the background that read its terminal would be stopped:
    // it reads it only in the foreground, and a read there fails instead.
    std::signal(SIGTTIN, SIG_IGN);
}

int executer(int argc, char** argv)
{
    Options o;
    if (const std::string e = analyser(argc, argv, o); !e.empty()) {
        std::cerr << "kiv-robot: " << e << "\n\n" << kUsage;
        return 2;
    }
    if (o.aide) {
        std::cout << kUsage;
        return 0;
    }
    if (o.version) {
        std::cout << "kiv-robot " KIV_VERSION "\n";
        return 0;
    }
    // Never blocking, and a regular file only: a FIFO would hold the robot
    // in open() for good, a folder or a device is no scenario.
    FichierLecture fichier(o.scenario);
    if (!fichier.is_open()) {
        std::cerr << "kiv-robot: " << o.scenario << ": " << fichier.raison() << '\n';
        return 1;
    }
    const LectureScenario lu = lireScenario(fichier);
    if (!lu.valide) {
        std::cerr << "kiv-robot: " << o.scenario << ", " << lu.erreur << '\n';
        return 1;
    }
    balises::Geometrie geometrie;
    if (!o.geometrie.empty()) {
        FichierLecture texte(o.geometrie);
        if (!texte.is_open()) {
            std::cerr << "kiv-robot: " << o.geometrie << ": " << texte.raison() << '\n';
            return 1;
        }
        const balises::LectureGeometrie g = balises::lireGeometrie(texte);
        if (!g.valide) {
            std::cerr << "kiv-robot: " << o.geometrie << ", " << g.erreur << '\n';
            return 1;
        }
        geometrie = g.geometrie;
    }
    // The trace is written line by line as the run goes: it can be followed
    // live, and a robot killed leaves what it wrote.
    std::unique_ptr<robotsim::FichierTrace> trace;
    if (!o.trace.empty()) {
        std::string raison;
        trace = robotsim::FichierTrace::creer(o.trace, raison);
        if (!trace) {
            std::cerr << "kiv-robot: " << o.trace << ": " << raison << '\n';
            return 1;
        }
    }

    installerSignaux();
    std::string erreur;
    const auto liaison = o.peripherique.empty() ? robotsim::Liaison::creerPty(o.lien, erreur)
                                                : robotsim::Liaison::ouvrir(o.peripherique, erreur);
    if (!liaison) {
        std::cerr << "kiv-robot: " << erreur << '\n';
        return 1;
    }
    std::cout << "device " << liaison->nom() << std::endl;

    robotsim::RobotVirtuel robot(lu.scenario, geometrie);
    robotsim::OptionsSession options;
    options.rapide = o.rapide;
    options.trace = trace ? &trace->flux() : nullptr;
    // The operator's commands: read between two frames, never waited for.
    robotsim::EntreeCommandes entree(STDIN_FILENO);
    std::vector<robotsim::CommandeTapee> lignes;
    options.avantTrame = [&](robotsim::RobotVirtuel& r) {
        lignes.clear();
        entree.lire(lignes);
        for (const robotsim::CommandeTapee& ligne : lignes) {
            const std::string reponse = ligne.tropLongue
                                            ? robotsim::refusLigneTropLongue()
                                            : robotsim::executerCommande(ligne.texte, r);
            if (!reponse.empty()) {
                std::cout << reponse << std::endl;
            }
        }
    };
    const robotsim::BilanSession bilan =
        robotsim::executerSession(robot, *liaison, options, g_arret);
    std::cout << bilan << std::endl;
    if (trace && !trace->bon()) {
        std::cerr << "kiv-robot: " << o.trace << ": " << trace->raison() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Whatever a file, the line or the machine throws ends the robot with a
    // message and status 1, never with an abort.
    try {
        return executer(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "kiv-robot: mémoire insuffisante\n";
    } catch (const std::exception& e) {
        std::cerr << "kiv-robot: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "kiv-robot: erreur inattendue\n";
    }
    return 1;
}
