// kiv-train: trains the robot's neural network from a training file, writes
// its weights, and evaluates a trained network on three inputs, without the
// console's windows.
#include "core/Erreur.h"
#include "core/ErreurFichier.h"
#include "core/terminal/TerminalPlatform.h"
#include "neural/Aleatoire.h"
#include "trainer/ErreurEnsemble.h"
#include "trainer/Preparation.h"
#include "trainer/ReseauNeurones.h"
#include "trainer/TexteWindows.h"
#include "world/RobotReports.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace {

constexpr const char* kUsage =
    "Utilisation :\n"
    "  kiv-train --params P.prm --data D.dat --out W.wgh [--iterations N] [--seed N] [--dump F]\n"
    "  kiv-train --weights W.wgh --data D.dat --out W2.wgh [--iterations N] [--seed N] [--dump F]\n"
    "  kiv-train --weights W.wgh --data D.dat --out W2.wgh --params P.prm [--seed N] [--dump F]\n"
    "  kiv-train --weights W.wgh --eval E1 E2 E3\n"
    "  kiv-train --weights W.wgh --test D.dat\n"
    "  kiv-train --help | --version\n"
    "\n"
    "  --params F       paramètres du réseau (les quinze lignes clé=valeur du\n"
    "                   dialogue du réseau) ; sans lui, les valeurs par défaut\n"
    "  --data F         fichier d'entraînement : entraîne le réseau\n"
    "  --out F          fichier où écrire les poids après l'entraînement\n"
    "  --weights F      réseau déjà entraîné ; avec --data, l'entraînement\n"
    "                   repart de ses poids ; sans --params, c'est un affinage :\n"
    "                   le réseau garde ses couches et sa mise à l'échelle, toutes\n"
    "                   les passes sont faites (ErreurMax n'arrête pas), les autres\n"
    "                   paramètres ont leur valeur par défaut, et un affinage\n"
    "                   annulé (Ctrl+C) n'écrit rien\n"
    "  --iterations N   nombre de passes, de 1 à 10000000 : remplace IterMax des\n"
    "                   paramètres ; 2000 par défaut pour un affinage\n"
    "  --eval E1 E2 E3  affiche les sorties du réseau pour ces trois entrées\n"
    "  --test F         erreur du réseau sur un ensemble de positions (fichier\n"
    "                   d'entraînement : sorties y puis x en cm) : nombre de\n"
    "                   points, erreur RMS, médiane et pire, en cm, les sorties\n"
    "                   lues comme la console les lit (0 à 499, tronquées)\n"
    "  --seed N         graine du générateur, de 1 à 2147483646, pour refaire\n"
    "                   exactement le même entraînement\n"
    "  --dump F         fichier des données mises à l'échelle (test.ext dans le\n"
    "                   répertoire courant par défaut)\n"
    "  --help           affiche cette aide\n"
    "  --version        affiche la version\n"
    "\n"
    "Ctrl+C pendant l'entraînement demande s'il faut l'arrêter (les poids\n"
    "appris jusque-là sont alors écrits, sauf pour un affinage) ; un second\n"
    "Ctrl+C termine le programme.\n";

/** A command line that cannot be carried out as written. */
class ErreurUsage : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

/** A failure reported to the user as "kiv-train: message". */
class Echec : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    bool aide = false;
    bool version = false;
    std::optional<std::string> parametres;
    std::optional<std::string> donnees;
    std::optional<std::string> sortie;
    std::optional<std::string> poids;
    std::optional<std::string> dump;
    std::optional<std::string> test;
    std::optional<int> graine;
    std::optional<int> iterations;
    std::optional<std::array<double, 3>> entrees;
};

/** The passes of a refinement (weights and data without parameters) when not given. */
constexpr int PassesAffinage = 2000;
/** The most passes a command line may ask for. */
constexpr int PassesMax = 10000000;

double lireNombre(std::string_view texte)
{
    double valeur = 0.0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size() ||
        !std::isfinite(valeur)) {
        throw ErreurUsage("--eval attend trois nombres, « " + std::string(texte) +
                          " » n'en est pas un");
    }
    return valeur;
}

int lireGraine(std::string_view texte)
{
    // The generator works modulo 2147483647: 2147483647 itself would be a
    // zero state, and zero or less means "seed from the clock".
    long long valeur = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size() ||
        valeur < 1 || valeur > 2147483646) {
        throw ErreurUsage("--seed attend un entier de 1 à 2147483646, pas « " + std::string(texte) +
                          " »");
    }
    return static_cast<int>(valeur);
}

int lireIterations(std::string_view texte)
{
    long long valeur = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size() ||
        valeur < 1 || valeur > PassesMax) {
        throw ErreurUsage("--iterations attend un entier de 1 à " + std::to_string(PassesMax) +
                          ", pas « " + std::string(texte) + " »");
    }
    return static_cast<int>(valeur);
}

Options lireOptions(int argc, char** argv)
{
    Options options;
    const auto valeur = [&](int& i, std::string_view option) -> std::string {
        if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
            throw ErreurUsage(std::string(option) + " attend une valeur");
        }
        return argv[++i];
    };
    const auto unique = [](auto& champ, std::string_view option) {
        if (champ) {
            throw ErreurUsage(std::string(option) + " est donnée deux fois");
        }
    };
    const auto fichier = [&](int& i, std::string_view option, std::optional<std::string>& champ) {
        unique(champ, option);
        champ = valeur(i, option);
    };

    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            options.aide = true;
        } else if (option == "--version") {
            options.version = true;
        } else if (option == "--params") {
            fichier(i, option, options.parametres);
        } else if (option == "--data") {
            fichier(i, option, options.donnees);
        } else if (option == "--out") {
            fichier(i, option, options.sortie);
        } else if (option == "--weights") {
            fichier(i, option, options.poids);
        } else if (option == "--dump") {
            fichier(i, option, options.dump);
        } else if (option == "--test") {
            fichier(i, option, options.test);
        } else if (option == "--seed") {
            unique(options.graine, option);
            options.graine = lireGraine(valeur(i, option));
        } else if (option == "--iterations") {
            unique(options.iterations, option);
            options.iterations = lireIterations(valeur(i, option));
        } else if (option == "--eval") {
            unique(options.entrees, option);
            if (i + 3 >= argc) {
                throw ErreurUsage("--eval attend trois nombres");
            }
            std::array<double, 3> e{};
            for (double& x : e) {
                x = lireNombre(argv[++i]);
            }
            options.entrees = e;
        } else {
            throw ErreurUsage("argument inconnu « " + std::string(option) + " »");
        }
    }
    if (options.aide || options.version) {
        return options;
    }

    if (options.donnees && !options.sortie) {
        throw ErreurUsage("--data demande --out pour écrire les poids");
    }
    if (!options.donnees) {
        for (const auto& [present, nom] :
             {std::pair{options.sortie.has_value(), "--out"},
              std::pair{options.parametres.has_value(), "--params"},
              std::pair{options.dump.has_value(), "--dump"},
              std::pair{options.iterations.has_value(), "--iterations"}}) {
            if (present) {
                throw ErreurUsage(std::string(nom) + " ne sert qu'avec --data");
            }
        }
        if (!options.entrees && !options.test) {
            throw ErreurUsage("rien à faire : donnez --data, --eval ou --test");
        }
        if (!options.poids) {
            throw ErreurUsage(std::string(options.entrees ? "--eval" : "--test") +
                              " demande un réseau : --weights, ou un entraînement avec --data");
        }
    }
    return options;
}

/** Writes the weights safely: a failure keeps the previous file and says why. */
void ecrirePoids(const ReseauNeurones& reseau, const std::string& chemin)
{
    std::string raison;
    if (!reseau.EcrirePoids(chemin, &raison)) {
        throw Echec("Erreur d'écriture du fichier de poids (" + chemin + ") : " + raison);
    }
}

void lirePoids(ReseauNeurones& reseau, const std::string& chemin)
{
    reseau.LirePoidsNommes(chemin);
}

/**
 * Weights and data without parameters: the network goes on from its
 * weights, with its own layers and scaling (the parameters' defaults for the
 * rest), and replaces --out only when the run went through.
 */
void affiner(ReseauNeurones& reseau, const Options& options)
{
    lirePoids(reseau, *options.poids);
    Table1D<Exemple> ensemble;
    {
        FichierTexteEntree fichier(*options.donnees);
        if (!fichier.is_open()) {
            throw Echec("Erreur d'ouverture du fichier d'entrainement (" + *options.donnees + ")");
        }
        lireFichier(fichier, *options.donnees,
                    [&](std::istream& is) { ensemble = lireEnsemble(is); });
    }
    const int passes = options.iterations.value_or(PassesAffinage);
    const BilanAffinage bilan = reseau.Affiner(ensemble, passes, options.dump.value_or("test.ext"));
    if (bilan.annule) {
        throw Echec("affinage annulé après " + std::to_string(bilan.passes) + " passes ; " +
                    *options.sortie + " n'est pas écrit");
    }
    if (!bilan.remplace) {
        throw Echec("Aucun réseau à affiner");
    }
    ecrirePoids(reseau, *options.sortie);
    std::cerr << "Réseau affiné sur " << ensemble.taille() << " exemples : " << bilan.passes
              << " passes ; poids écrits dans " << *options.sortie << '\n';
}

void entrainer(ReseauNeurones& reseau, const Options& options)
{
    if (options.poids && !options.parametres) {
        affiner(reseau, options);
        return;
    }
    if (options.parametres && !reseau.LireParametres(*options.parametres)) {
        throw Echec("Erreur d'ouverture du fichier de paramètres (" + *options.parametres + ")");
    }
    if (options.iterations) {
        reseau.parametres.IterMax = *options.iterations;
    }
    if (options.poids) {
        lirePoids(reseau, *options.poids);
        // Training goes on from the weights read: the network keeps its
        // layers, and the data must fit them.
        const Perceptron& perceptron = *reseau.perceptron();
        const ParametresReseau& p = reseau.parametres;
        if (p.NeuroneEntree != perceptron.nombreEntrees() ||
            p.NeuroneSortie != perceptron.nombreSorties()) {
            throw Echec("Les paramètres (" + std::to_string(p.NeuroneEntree) + " entrées, " +
                        std::to_string(p.NeuroneSortie) +
                        " sorties) ne correspondent pas au réseau de " + *options.poids + " (" +
                        std::to_string(perceptron.nombreEntrees()) + " entrées, " +
                        std::to_string(perceptron.nombreSorties()) + " sorties)");
        }
        reseau.conserverPerceptron();
    }
    const std::string dump = options.dump.value_or("test.ext");
    if (!reseau.EntrainerFichier(*options.donnees, dump)) {
        // The platform has shown why.
        throw Echec("Entraînement impossible");
    }
    ecrirePoids(reseau, *options.sortie);
    std::cerr << "Poids écrits dans " << *options.sortie << '\n';
}

void evaluer(ReseauNeurones& reseau, const std::array<double, 3>& e)
{
    Vecteur sorties;
    if (!reseau.Evaluer(e[0], e[1], e[2], sorties)) {
        throw Echec("Aucun réseau à évaluer");
    }
    if (sorties.taille() < 1) {
        throw Echec("Le réseau n'a pas de sortie");
    }
    std::string ligne = "Valeur de sortie: ";
    for (int i = 0; i < sorties.taille(); ++i) {
        char texte[64];
        std::snprintf(texte, sizeof texte, "%s%d-> %.3f", i ? ", " : "", i + 1, sorties[i]);
        ligne += texte;
    }
    ligne += '\n';
    if (std::fputs(ligne.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        throw Echec("Erreur d'écriture sur la sortie standard");
    }
}

void tester(ReseauNeurones& reseau, const std::string& chemin)
{
    Table1D<Exemple> ensemble;
    {
        FichierTexteEntree fichier(chemin);
        if (!fichier.is_open()) {
            throw Echec("Erreur d'ouverture du fichier d'entrainement (" + chemin + ")");
        }
        lireFichier(fichier, chemin, [&](std::istream& is) { ensemble = lireEnsemble(is); });
    }
    std::vector<ErreurExemple> resultats;
    try {
        // Positions as the console reads the outputs: cm from 0 to 499, truncated.
        if (!testerEnsemble(reseau, ensemble, CoordonneeDeSortie, resultats)) {
            throw Echec("Aucun réseau à tester");
        }
    } catch (const Erreur& e) {
        throw Echec(chemin + ": " + e.what());
    }
    const std::string ligne = texteStatistiques(statistiquesErreur(resultats), resultats) + '\n';
    if (std::fputs(ligne.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        throw Echec("Erreur d'écriture sur la sortie standard");
    }
}

int executer(int argc, char** argv)
{
    Options options;
    try {
        options = lireOptions(argc, argv);
    } catch (const ErreurUsage& e) {
        std::cerr << "kiv-train: " << e.what() << "\n\n" << kUsage;
        return 2;
    }
    if (options.aide) {
        std::fputs(kUsage, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (options.version) {
        std::fputs("kiv-train " KIV_VERSION "\n", stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    TerminalPlatform terminal;
    Platform* const avant = setPlatform(&terminal);
    struct Retrait {
        Platform* avant;
        ~Retrait() { setPlatform(avant); }
    } retrait{avant};

    if (options.graine) {
        aleatoire().initialiser(*options.graine);
    }
    // Declared after the platform: the network's progress box goes first.
    ReseauNeurones reseau;
    if (options.donnees) {
        entrainer(reseau, options);
    } else {
        lirePoids(reseau, *options.poids);
    }
    if (options.entrees) {
        evaluer(reseau, *options.entrees);
    }
    if (options.test) {
        tester(reseau, *options.test);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return executer(argc, argv);
    } catch (const Erreur& e) {
        std::cerr << "kiv-train: " << e.what() << '\n';
    } catch (const ErreurFichier& e) {
        std::cerr << "kiv-train: " << texteOutil(e) << '\n';
    } catch (const Echec& e) {
        std::cerr << "kiv-train: " << e.what() << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "kiv-train: mémoire insuffisante\n";
    } catch (const std::exception& e) {
        std::cerr << "kiv-train: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "kiv-train: erreur inattendue\n";
    }
    return 1;
}
