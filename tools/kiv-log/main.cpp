// kiv-log: reads a session log of the console (the flight recorder) and
// exports its sensor frames as CSV, or summarises it.
#include "ExportCsv.h"
#include "ListeJournal.h"

#include "core/DossierDonnees.h"
#include "core/Echappement.h"
#include "core/Erreur.h"
#include "core/ErreurFichier.h"
#include "core/FichierLecture.h"
#include "core/terminal/TerminalPlatform.h"
#include "link/recorder/LecteurSession.h"
#include "trainer/ReseauNeurones.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Utilisation :\n"
    "  kiv-log JOURNAL --csv [--weights W.wgh] [--out F.csv]\n"
    "  kiv-log JOURNAL --dat F.dat\n"
    "  kiv-log JOURNAL\n"
    "  kiv-log --help | --version\n"
    "\n"
    "  --csv            écrit sur la sortie standard une ligne par trame du robot :\n"
    "                   temps, les quatre horodatages, les trois intervalles, la\n"
    "                   position estimée par le réseau, les pare-chocs, la batterie\n"
    "                   et l'octet de commande renvoyé\n"
    "  --weights F      réseau qui estime les positions (par défaut celui fourni,\n"
    "                   beacons.wgh)\n"
    "  --out F.csv      écrit le CSV dans F.csv au lieu de la sortie standard ; un\n"
    "                   export qui échoue laisse le fichier précédent intact\n"
    "  --dat F.dat      écrit dans F.dat la liste de la fenêtre de calibration à la\n"
    "                   fin de la session (les points gardés, moins ceux retirés),\n"
    "                   en fichier d'entraînement (entrées : les trois intervalles\n"
    "                   moyens ; sorties : y puis x en cm) ; un journal endommagé,\n"
    "                   sans point, ou qui ne tient pas toute la liste n'écrit rien\n"
    "  sans --csv       résume le journal : durée, octets, événements du lien et de\n"
    "                   la navigation\n"
    "\n"
    "Un journal coupé net (session interrompue) est lu jusqu'à son dernier\n"
    "enregistrement entier. Une session continuée dans d'autres fichiers (taille\n"
    "maximale du dossier) est lue jusqu'au bout, fichier après fichier. Les\n"
    "caractères de contrôle des textes du journal sont écrits \\xNN.\n";

struct Options {
    std::string journal;
    bool csv = false;
    bool aide = false;
    bool version = false;
    std::optional<std::string> poids;
    std::optional<std::string> sortie;
    std::optional<std::string> dat;
};

/** Reads the command line; nullopt (and a message on stderr) when it is wrong. */
std::optional<Options> lireOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            options.aide = true;
        } else if (a == "--version") {
            options.version = true;
        } else if (a == "--csv") {
            options.csv = true;
        } else if (a == "--weights") {
            if (i + 1 >= argc || options.poids) {
                std::cerr << "kiv-log: --weights attend un fichier, une seule fois\n\n" << kUsage;
                return std::nullopt;
            }
            options.poids = argv[++i];
        } else if (a == "--out") {
            if (i + 1 >= argc || options.sortie) {
                std::cerr << "kiv-log: --out attend un fichier, une seule fois\n\n" << kUsage;
                return std::nullopt;
            }
            options.sortie = argv[++i];
        } else if (a == "--dat") {
            if (i + 1 >= argc || options.dat) {
                std::cerr << "kiv-log: --dat attend un fichier, une seule fois\n\n" << kUsage;
                return std::nullopt;
            }
            options.dat = argv[++i];
        } else if (a.starts_with("-") || !options.journal.empty()) {
            std::cerr << "kiv-log: argument inconnu « " << a << " »\n\n" << kUsage;
            return std::nullopt;
        } else {
            options.journal = a;
        }
    }
    if (!options.aide && !options.version && options.journal.empty()) {
        std::cerr << "kiv-log: quel journal ?\n\n" << kUsage;
        return std::nullopt;
    }
    if (options.dat && (options.csv || options.poids)) {
        std::cerr << "kiv-log: --dat ne se combine ni avec --csv ni avec --weights\n\n" << kUsage;
        return std::nullopt;
    }
    if (options.sortie && !options.csv) {
        std::cerr << "kiv-log: --out ne sert qu'avec --csv\n\n" << kUsage;
        return std::nullopt;
    }
    return options;
}

/** The terminal's platform services for as long as it lives, none afterwards. */
struct PlateformeTerminal {
    TerminalPlatform terminal;
    PlateformeTerminal() { setPlatform(&terminal); }
    ~PlateformeTerminal() { setPlatform(nullptr); }
    PlateformeTerminal(const PlateformeTerminal&) = delete;
    PlateformeTerminal& operator=(const PlateformeTerminal&) = delete;
};

int exporter(std::istream& entree, const Options& options)
{
    PlateformeTerminal plateforme;
    ReseauNeurones reseau;
    const std::string poids = options.poids.value_or(donnees::chemin("beacons.wgh"));
    try {
        FichierLecture fichier(poids);
        if (!fichier.is_open()) {
            std::cerr << "kiv-log: Erreur d'ouverture du fichier de poids (" << poids
                      << ") : " << fichier.raison() << '\n';
            return 1;
        }
        reseau.LirePoids(poids);
    } catch (const ErreurFichier& e) {
        // A file that is no weights file (parameters, a training set).
        std::cerr << "kiv-log: " << texteOutil(e) << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "kiv-log: " << poids << " : " << e.what() << '\n';
        return 1;
    }
    const auto estimateur = [&reseau](double t1, double t2, double t3) {
        protocole::Estimation estimation;
        Vecteur sortie;
        try {
            estimation.valide = reseau.Evaluer(t1, t2, t3, sortie) && sortie.taille() >= 2;
        } catch (const Erreur&) {
            estimation.valide = false;
        }
        if (estimation.valide) {
            estimation.sortie0 = sortie[0];
            estimation.sortie1 = sortie[1];
        }
        return estimation;
    };
    const BilanExport bilan =
        options.sortie ? exporterCsvFichier(entree, *options.sortie, estimateur, options.journal)
                       : exporterCsv(entree, std::cout, estimateur, options.journal);
    std::cout.flush();
    if (!bilan.lisible) {
        std::cerr << "kiv-log: " << options.journal << " : " << echapper(bilan.erreur) << '\n';
        return 1;
    }
    if (bilan.fin != journal::Lecture::Fin) {
        std::cerr << "kiv-log: " << options.journal << " : " << echapper(bilan.erreur) << " (après "
                  << bilan.trames << " trames)\n";
    }
    if (!bilan.raisonEcriture.empty()) {
        std::cerr << "kiv-log: Erreur d'écriture du fichier (" << *options.sortie
                  << ") : " << bilan.raisonEcriture << '\n';
        return 1;
    }
    return bilan.fin == journal::Lecture::Corrompu || !std::cout ? 1 : 0;
}

/** A map record as the listing says it: "destination (450, 120) cm", "obstacle peint en case (3,
 * 4)". */
std::string decrireCarte(const journal::Enregistrement& e)
{
    if (journal::Destination d; e.genre == journal::Genre::Destination &&
                                journal::decoderDestination(e.charge.data(), e.charge.size(), d)) {
        return "destination (" + std::to_string(d.x) + ", " + std::to_string(d.y) + ") cm";
    }
    journal::Edition edition;
    if (!journal::decoderEdition(e.charge.data(), e.charge.size(), edition)) {
        return "?"; // the reader lets no such record through
    }
    const char* quoi = "";
    switch (edition.genre) {
    case journal::EditionCarte::Peinte:
        quoi = "obstacle peint";
        break;
    case journal::EditionCarte::Effacee:
        quoi = "obstacle effacé";
        break;
    case journal::EditionCarte::Trouvee:
        quoi = "obstacle trouvé";
        break;
    case journal::EditionCarte::Retiree:
        quoi = "obstacle retiré";
        break;
    }
    return std::string(quoi) + " en case (" + std::to_string(edition.colonne) + ", " +
           std::to_string(edition.ligne) + ")";
}

/**
 * A whole field as the listing says it: "3 obstacles posés, 1 trouvé, robot
 * (25, 25) cm, destination (450, 120) cm, bandit (100, 75) cm, quadrillage".
 */
std::string decrireTerrain(const journal::Enregistrement& e)
{
    journal::EtatTerrain t;
    if (!journal::decoderTerrain(e.charge.data(), e.charge.size(), t)) {
        return "?"; // the reader lets no such record through
    }
    int poses = 0;
    int trouves = 0;
    for (const auto& ligne : t.cellules) {
        for (const std::uint8_t valeur : ligne) {
            poses += valeur == 1 ? 1 : 0;
            trouves += valeur == 3 ? 1 : 0;
        }
    }
    const auto point = [](int x, int y) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ") cm";
    };
    std::string texte = std::to_string(poses) +
                        (poses > 1 ? " obstacles posés, " : " obstacle posé, ") +
                        std::to_string(trouves) + (trouves > 1 ? " trouvés" : " trouvé") +
                        ", robot " + point(t.robotX, t.robotY) + ", ";
    texte += t.destinationPlacee ? "destination " + point(t.destinationX, t.destinationY)
                                 : std::string("sans destination");
    if (t.banditVisible) {
        texte += ", bandit " + point(t.banditX, t.banditY);
    }
    if (t.quadrillage) {
        texte += ", quadrillage";
    }
    return texte;
}

/** The calibration points of the session, as the console kept them, into a training set. */
int extraireCalibration(std::istream& entree, const Options& options)
{
    journal::LecteurSession lecteur(entree, options.journal);
    if (!lecteur.lireEntete()) {
        std::cerr << "kiv-log: " << options.journal << " : " << echapper(lecteur.erreur()) << '\n';
        return 1;
    }
    // The points kept, less those removed: the window's list as it ended.
    ListeJournal liste;
    journal::Enregistrement e;
    journal::Lecture r;
    while ((r = lecteur.suivant(e)) == journal::Lecture::Enregistrement) {
        liste.prendre(e);
    }
    // A damaged log writes nothing: what follows the damage is unknown.
    if (r == journal::Lecture::Corrompu) {
        std::cerr << "kiv-log: " << options.journal << " : " << echapper(lecteur.erreur())
                  << " ; rien n'est écrit\n";
        return 1;
    }
    // Nor one that does not hold the whole list: a wrong set is worse than none.
    if (!liste.fidele()) {
        std::cerr << "kiv-log: " << options.journal << " : " << liste.ecart()
                  << " ; rien n'est écrit\n";
        return 1;
    }
    if (liste.liste().taille() == 0) {
        std::cerr << "kiv-log: " << options.journal << " : aucun point de calibration\n";
        return 1;
    }
    std::string raison;
    if (!liste.liste().ecrireFichier(*options.dat, &raison)) {
        std::cerr << "kiv-log: " << echapper(messageEcriture(*options.dat, raison)) << '\n';
        return 1;
    }
    std::cout << liste.liste().taille() << " points de calibration écrits dans " << *options.dat
              << '\n';
    return 0;
}

int resumer(std::istream& entree, const Options& options)
{
    journal::LecteurSession lecteur(entree, options.journal);
    if (!lecteur.lireEntete()) {
        std::cerr << "kiv-log: " << options.journal << " : " << echapper(lecteur.erreur()) << '\n';
        return 1;
    }
    const auto debut = static_cast<std::time_t>(lecteur.debutUnixUs() / 1000000);
    std::tm local{};
    localtime_r(&debut, &local);
    char date[64];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
    std::cout << "Session du " << date << '\n';
    std::uint64_t recus = 0;
    std::uint64_t emis = 0;
    std::uint64_t dernier = 0;
    std::uint64_t resynchros = 0;
    std::uint64_t ecartes = 0;
    std::uint64_t positions = 0;
    ListeJournal calibration;
    journal::Enregistrement e;
    journal::Lecture r;
    while ((r = lecteur.suivant(e)) == journal::Lecture::Enregistrement) {
        dernier = e.tempsUs;
        calibration.prendre(e);
        switch (e.genre) {
        case journal::Genre::Recu:
            recus += e.charge.size();
            break;
        case journal::Genre::Emis:
            emis += e.charge.size();
            break;
        case journal::Genre::Lien:
        case journal::Genre::Navigation: {
            if (e.genre == journal::Genre::Lien &&
                e.texte().starts_with(journal::EvenementResynchro)) {
                // "resynchro 9 octets écartés après 2000 ms de silence"
                ++resynchros;
                ecartes += std::strtoull(
                    std::string(e.texte().substr(std::strlen(journal::EvenementResynchro))).c_str(),
                    nullptr, 10);
            }
            char temps[32];
            std::snprintf(temps, sizeof temps, "%10.3f s", static_cast<double>(e.tempsUs) / 1e6);
            std::cout << temps
                      << (e.genre == journal::Genre::Lien ? "  lien : " : "  navigation : ")
                      << echapper(e.texte()) << '\n';
            break;
        }
        case journal::Genre::Calibration: {
            char ligne[160];
            journal::PointCalibre p;
            if (journal::decoderCalibration(e.charge.data(), e.charge.size(), p)) {
                std::snprintf(
                    ligne, sizeof ligne,
                    "%10.3f s  calibration : x %g y %g cm, %u trames, dispersion %.1f cm\n",
                    static_cast<double>(e.tempsUs) / 1e6, p.x, p.y, p.trames, p.dispersionCm);
                std::cout << ligne;
            }
            break;
        }
        case journal::Genre::ListeCalibration: {
            char temps[32];
            std::snprintf(temps, sizeof temps, "%10.3f s", static_cast<double>(e.tempsUs) / 1e6);
            std::cout << temps << "  calibration : " << decrireEditionListe(e) << '\n';
            break;
        }
        case journal::Genre::Destination:
        case journal::Genre::Carte: {
            char temps[32];
            std::snprintf(temps, sizeof temps, "%10.3f s", static_cast<double>(e.tempsUs) / 1e6);
            std::cout << temps << "  carte : " << decrireCarte(e) << '\n';
            break;
        }
        case journal::Genre::Terrain: {
            char temps[32];
            std::snprintf(temps, sizeof temps, "%10.3f s", static_cast<double>(e.tempsUs) / 1e6);
            std::cout << temps << "  terrain : " << decrireTerrain(e) << '\n';
            break;
        }
        case journal::Genre::Position:
            // One a frame: counted, not listed.
            ++positions;
            break;
        }
    }
    std::printf("Durée %.3f s, %llu octets reçus, %llu octets émis, %llu enregistrements\n",
                static_cast<double>(dernier) / 1e6, static_cast<unsigned long long>(recus),
                static_cast<unsigned long long>(emis),
                static_cast<unsigned long long>(lecteur.nombre()));
    if (positions > 0) {
        std::printf("Positions filtrées : %llu\n", static_cast<unsigned long long>(positions));
    }
    if (resynchros > 0) {
        std::printf("Trames coupées par un silence : %llu (%llu octets écartés)\n",
                    static_cast<unsigned long long>(resynchros),
                    static_cast<unsigned long long>(ecartes));
    }
    if (calibration.enregistrements() > 0) {
        if (calibration.fidele()) {
            const int n = calibration.liste().taille();
            std::cout << "Calibration : " << n << (n > 1 ? " points" : " point")
                      << " dans la liste à la fin\n";
        } else {
            std::cout << "Calibration : liste incomplète, " << calibration.ecart() << '\n';
        }
    }
    if (lecteur.fichiers() > 1) {
        std::cout << "Session continuée dans " << lecteur.fichiers() << " fichiers\n";
    }
    if (r != journal::Lecture::Fin) {
        std::cout << "Fin du journal : " << echapper(lecteur.erreur()) << '\n';
    }
    std::cout.flush();
    return r == journal::Lecture::Corrompu ? 1 : 0;
}

int executer(int argc, char** argv)
{
    const std::optional<Options> options = lireOptions(argc, argv);
    if (!options) {
        return 2;
    }
    if (options->aide) {
        std::cout << kUsage << "\nRéseau par défaut : " << donnees::chemin("beacons.wgh") << '\n';
        return 0;
    }
    if (options->version) {
        std::cout << "kiv-log " << KIV_VERSION << '\n';
        return 0;
    }
    // Never blocking, and a regular file only (a FIFO would hold the
    // program in open() for good, a device feed it forever).
    FichierLecture entree(options->journal);
    if (!entree.is_open()) {
        std::cerr << "kiv-log: " << options->journal
                  << " ne peut pas être ouvert : " << entree.raison() << '\n';
        return 1;
    }
    if (options->dat) {
        return extraireCalibration(entree, *options);
    }
    return options->csv ? exporter(entree, *options) : resumer(entree, *options);
}

} // namespace

int main(int argc, char** argv)
{
    // Whatever a file or the machine throws ends the program with a
    // message and status 1, never with an abort.
    try {
        return executer(argc, argv);
    } catch (const ErreurFichier& e) {
        std::cerr << "kiv-log: " << texteOutil(e) << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "kiv-log: mémoire insuffisante\n";
    } catch (const std::exception& e) {
        std::cerr << "kiv-log: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "kiv-log: erreur inattendue\n";
    }
    return 1;
}
