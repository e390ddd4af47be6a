// kiv-beacons: builds the training set of the bundled position network from
// the beacon model, and measures a network's position error against it.
#include "core/Echappement.h"
#include "core/Erreur.h"
#include "core/ErreurFichier.h"
#include "core/FichierLecture.h"
#include "core/terminal/TerminalPlatform.h"
#include "tools/beacons/BeaconNetwork.h"
#include "trainer/FichierParametres.h"
#include "trainer/ReseauNeurones.h"
#include "trainer/TexteWindows.h"
#include "world/FichierGeometrie.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

const char* const Usage =
    "usage: kiv-beacons --help | --version\n"
    "       kiv-beacons generate [--geometry FILE] [--dir DIR] [--step CM] [--seed N]\n"
    "           writes DIR/beacons.dat and DIR/beacons.prm (DIR defaults to data);\n"
    "           with a geometry file G.geo, DIR/G.dat and DIR/G.prm for it (DIR\n"
    "           defaults to the geometry file's folder)\n"
    "       kiv-beacons check --weights FILE [--geometry FILE] [--random N] [--max-rms CM]\n"
    "                         [--max-error CM]\n"
    "           position error of a network over the usable field; exits 1 when\n"
    "           the RMS or the worst error exceeds the given limits\n"
    "       --geometry FILE: the field's beacons, firing interval, counter clock and\n"
    "           speed of sound (format: data/geometrie/README.md); the bundled\n"
    "           model without it\n";

int usage()
{
    std::fputs(Usage, stderr);
    return 2;
}

/** The value after option argv[i], or nullptr when it is missing. */
const char* valeur(int argc, char** argv, int& i)
{
    return i + 1 < argc ? argv[++i] : nullptr;
}

/** The most random positions a check may ask for. */
constexpr long long AleatoiresMax = 10000000;

/** A whole word as a finite number; false when it is anything else ("inf", "12cm", ""). */
bool nombre(std::string_view texte, double& valeur)
{
    double v = 0.0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), v);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size() ||
        !std::isfinite(v)) {
        return false;
    }
    valeur = v;
    return true;
}

/** A whole word as an integer within [min, max]. */
bool entier(std::string_view texte, long long min, long long max, long long& valeur)
{
    long long v = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), v);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size() || v < min ||
        v > max) {
        return false;
    }
    valeur = v;
    return true;
}

/** A wrong value of an option: what it takes, then the usage; status 2. */
int valeurRefusee(const char* option, const char* attendu, const char* lu)
{
    std::fprintf(stderr, "kiv-beacons: %s takes %s, not \"%s\"\n\n", option, attendu, lu);
    return usage();
}

/** Reads a geometry file; nullopt (and why, on stderr) when it cannot be used. */
std::optional<balises::Geometrie> lireFichierGeometrie(const std::string& chemin)
{
    // Never blocking, and a regular file only: a FIFO would hold the
    // program in open() for good, a folder or a device is no geometry.
    FichierLecture fichier(chemin);
    if (!fichier.is_open()) {
        std::fprintf(stderr, "kiv-beacons: %s: %s\n", chemin.c_str(), fichier.raison().c_str());
        return std::nullopt;
    }
    const balises::LectureGeometrie lu = balises::lireGeometrie(fichier);
    if (!lu.valide) {
        std::fprintf(stderr, "kiv-beacons: %s, %s\n", chemin.c_str(), lu.erreur.c_str());
        return std::nullopt;
    }
    return lu.geometrie;
}

int generer(int argc, char** argv)
{
    std::optional<std::string> dossierDonne;
    std::string cheminGeometrie;
    double pas = 12.5;
    int graine = 99;
    for (int i = 2; i < argc; ++i) {
        const char* v = nullptr;
        if (std::strcmp(argv[i], "--dir") == 0 && (v = valeur(argc, argv, i))) {
            dossierDonne = v;
        } else if (std::strcmp(argv[i], "--geometry") == 0 && (v = valeur(argc, argv, i)) &&
                   *v != '\0') {
            cheminGeometrie = v;
        } else if (std::strcmp(argv[i], "--step") == 0 && (v = valeur(argc, argv, i))) {
            // A step that is no number, or that leaves less than a grid
            // (inf gave a set of one example), makes no training set.
            if (!nombre(v, pas) || pas < reseauBalises::PasMin || pas > reseauBalises::PasMax) {
                return valeurRefusee("--step", "a number of cm from 1 to 470", v);
            }
        } else if (std::strcmp(argv[i], "--seed") == 0 && (v = valeur(argc, argv, i))) {
            // The generator takes 1 .. 2147483646; anything else would seed it from the clock.
            long long n = 0;
            if (!entier(v, 1, 2147483646, n)) {
                return valeurRefusee("--seed", "an integer from 1 to 2147483646", v);
            }
            graine = static_cast<int>(n);
        } else {
            return usage();
        }
    }
    balises::Geometrie geometrie;
    std::string nom = "beacons";
    std::string dossier = dossierDonne.value_or("data");
    if (!cheminGeometrie.empty()) {
        const auto lue = lireFichierGeometrie(cheminGeometrie);
        if (!lue) {
            return 1;
        }
        geometrie = *lue;
        const std::filesystem::path chemin(cheminGeometrie);
        nom = chemin.stem().string();
        if (!dossierDonne) {
            dossier = chemin.has_parent_path() ? chemin.parent_path().string() : ".";
        }
    }
    const Table1D<Exemple> exemples = reseauBalises::ensemble(geometrie, pas, graine);
    FichierTexteSortie donnees(dossier + "/" + nom + ".dat");
    donnees << "# Beacon intervals (s) -> robot position (cm), written by kiv-beacons.\n"
            << "# Inputs: the three intervals the console computes from a sensor frame.\n"
            << "# Outputs: y, then x.\n";
    if (!cheminGeometrie.empty()) {
        // The geometry the set was made for, as comments.
        // The file's name escaped: a line end in it would end the comment,
        // and the rest of the name would read as a broken example.
        donnees << "# Geometry ("
                << echapper(std::filesystem::path(cheminGeometrie).filename().string()) << "):\n";
        const std::string texte = balises::texteGeometrie(geometrie);
        std::size_t debut = 0;
        for (std::size_t fin; (fin = texte.find('\n', debut)) != std::string::npos;
             debut = fin + 1) {
            donnees << "#   " << texte.substr(debut, fin - debut) << '\n';
        }
    }
    donnees << exemples;
    FichierTexteSortie prm(dossier + "/" + nom + ".prm");
    ecrireParametres(prm, reseauBalises::parametres(geometrie));
    for (FichierTexteSortie* f : {&donnees, &prm}) {
        if (!f->fermer()) {
            std::fprintf(stderr, "kiv-beacons: cannot write into %s: %s\n", dossier.c_str(),
                         f->raison().c_str());
            return 1;
        }
    }
    std::printf("%d examples written to %s/%s.dat\n", exemples.taille(), dossier.c_str(),
                nom.c_str());
    return 0;
}

int verifier(int argc, char** argv)
{
    std::string poids;
    std::string cheminGeometrie;
    int aleatoires = 2000;
    double maxRms = -1.0;
    double maxErreur = -1.0;
    for (int i = 2; i < argc; ++i) {
        const char* v = nullptr;
        if (std::strcmp(argv[i], "--weights") == 0 && (v = valeur(argc, argv, i))) {
            poids = v;
        } else if (std::strcmp(argv[i], "--geometry") == 0 && (v = valeur(argc, argv, i)) &&
                   *v != '\0') {
            cheminGeometrie = v;
        } else if (std::strcmp(argv[i], "--random") == 0 && (v = valeur(argc, argv, i))) {
            long long n = 0;
            if (!entier(v, 0, AleatoiresMax, n)) {
                return valeurRefusee("--random", "an integer from 0 to 10000000", v);
            }
            aleatoires = static_cast<int>(n);
        } else if (std::strcmp(argv[i], "--max-rms") == 0 && (v = valeur(argc, argv, i))) {
            // A limit that is not a number would never be exceeded.
            if (!nombre(v, maxRms) || maxRms < 0.0) {
                return valeurRefusee("--max-rms", "a number of cm, 0 or more", v);
            }
        } else if (std::strcmp(argv[i], "--max-error") == 0 && (v = valeur(argc, argv, i))) {
            if (!nombre(v, maxErreur) || maxErreur < 0.0) {
                return valeurRefusee("--max-error", "a number of cm, 0 or more", v);
            }
        } else {
            return usage();
        }
    }
    if (poids.empty()) {
        return usage();
    }
    balises::Geometrie geometrie;
    if (!cheminGeometrie.empty()) {
        const auto lue = lireFichierGeometrie(cheminGeometrie);
        if (!lue) {
            return 1;
        }
        geometrie = *lue;
    }
    ReseauNeurones reseau;
    reseau.LirePoidsNommes(poids);
    const reseauBalises::Mesure m = reseauBalises::mesurer(geometrie, reseau, aleatoires, 4242);
    std::printf("%d positions not trained on: RMS error %.2f cm, worst %.2f cm at (%.1f, %.1f)\n",
                m.positions, m.rms, m.pire, m.lieuDuPire.x, m.lieuDuPire.y);
    const bool hors = (maxRms >= 0.0 && m.rms > maxRms) || (maxErreur >= 0.0 && m.pire > maxErreur);
    if (hors) {
        std::fprintf(stderr, "kiv-beacons: error above the limits (RMS %.2f, worst %.2f cm)\n",
                     maxRms, maxErreur);
    }
    return hors ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    TerminalPlatform terminal;
    setPlatform(&terminal);
    int status = 0;
    try {
        if (argc >= 2 && std::strcmp(argv[1], "generate") == 0) {
            status = generer(argc, argv);
        } else if (argc >= 2 && std::strcmp(argv[1], "check") == 0) {
            status = verifier(argc, argv);
        } else if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
            std::fputs(Usage, stdout);
        } else if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
            std::puts("kiv-beacons " KIV_VERSION);
        } else {
            status = usage();
        }
    } catch (const ErreurFichier& e) {
        // A file that is no weights file (parameters, a training set).
        std::fprintf(stderr, "kiv-beacons: %s\n", texteOutil(e).c_str());
        status = 1;
    } catch (const std::bad_alloc&) {
        std::fputs("kiv-beacons: mémoire insuffisante\n", stderr);
        status = 1;
    } catch (const std::exception& e) {
        // Erreur, ErreurOuverture, and whatever else a file or the machine throws.
        std::fprintf(stderr, "kiv-beacons: %s\n", e.what());
        status = 1;
    } catch (...) {
        std::fputs("kiv-beacons: erreur inattendue\n", stderr);
        status = 1;
    }
    setPlatform(nullptr);
    return status;
}
