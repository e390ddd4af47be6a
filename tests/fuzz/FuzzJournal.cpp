// Fuzz target of the session log reader. Invariants beyond "no crash":
// every record read has a known kind and a time that never goes back; the
// records read, written out again, give back exactly the bytes they came
// from; a clean end means the whole input was used, a torn or damaged end
// that some of it was left; a payload never holds more than the input had.
// The session reader gives the same records; told to follow continuations
// in an empty folder, it ends on the one a log names (never found there,
// never looked for outside it) and otherwise exactly as the file reader.
// kiv-log's escaping leaves no control character in any event text; the map
// records read (version 2 on) decode to a point or a cell of the field, a
// whole field (version 3) to cell values and points of the field that
// encode back to its very bytes, and an edit of the calibration list
// (version 3) to a point of the list it names. Played on a replay's state,
// the records keep its field a field (a wall all round, cell values 0 .. 3)
// and its robot, destination, battery and wheel codes within their ranges;
// the calibration list made from them never holds more points than were
// kept, and none once emptied.
#include "FuzzSupport.h"
#include "ListeJournal.h"
#include "core/Echappement.h"
#include "link/recorder/FormatJournal.h"
#include "link/recorder/LecteurJournal.h"
#include "link/recorder/LecteurSession.h"
#include "link/rejeu/EtatRejeu.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort();
    }
}

/** An empty folder of this process's own, where no continuation is ever found; removed at exit. */
const std::string& dossierVide()
{
    struct Dossier {
        std::string chemin = (std::filesystem::temp_directory_path() /
                              ("fuzz_journal_" + std::to_string(::getpid())))
                                 .string();
        Dossier() { std::filesystem::create_directories(chemin); }
        ~Dossier()
        {
            std::error_code ignore;
            std::filesystem::remove_all(chemin, ignore);
        }
    };
    static const Dossier dossier;
    return dossier.chemin;
}

/** Printable ASCII, or a well-formed UTF-8 sequence of no C1 control. */
bool sansControle(const std::string& texte)
{
    for (std::size_t k = 0; k < texte.size();) {
        const auto c = static_cast<unsigned char>(texte[k]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F) {
                return false;
            }
            ++k;
            continue;
        }
        const std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (n == 0 || k + n > texte.size() ||
            (c == 0xC2 && static_cast<unsigned char>(texte[k + 1]) < 0xA0)) {
            return false;
        }
        for (std::size_t j = 1; j < n; ++j) {
            if ((static_cast<unsigned char>(texte[k + j]) & 0xC0) != 0x80) {
                return false;
            }
        }
        k += n;
    }
    return true;
}

struct Lu {
    std::vector<journal::Enregistrement> enregistrements;
    journal::Lecture fin = journal::Lecture::Fin;
    std::string erreur;
};

Lu lireSession(const std::string& entree, const std::string& chemin)
{
    std::istringstream flux(entree);
    journal::LecteurSession lecteur(flux, chemin);
    Lu lu;
    if (!lecteur.lireEntete()) {
        lu.fin = journal::Lecture::Corrompu;
        return lu;
    }
    journal::Enregistrement e;
    while ((lu.fin = lecteur.suivant(e)) == journal::Lecture::Enregistrement) {
        lu.enregistrements.push_back(e);
    }
    verifier(lecteur.suivant(e) == lu.fin, "a stopped session reader stays stopped");
    verifier(lecteur.fichiers() == 1, "nothing followed in an empty folder");
    lu.erreur = lecteur.erreur();
    return lu;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string entree(reinterpret_cast<const char*>(data), size);
    std::istringstream flux(entree);
    journal::LecteurJournal lecteur(flux);
    if (!lecteur.lireEntete()) {
        verifier(size < journal::TailleEntete || std::memcmp(data, journal::Magie, 6) != 0 ||
                     (data[6] != 1 && data[6] != 2 && data[6] != 3) || data[7] != 0,
                 "a valid header is accepted");
        return 0;
    }
    verifier(size >= journal::TailleEntete, "a header needs its 16 bytes");

    std::string reecrit(journal::TailleEntete, '\0');
    journal::encoderEntete(reinterpret_cast<std::uint8_t*>(reecrit.data()), lecteur.debutUnixUs(),
                           lecteur.version());
    journal::Enregistrement e;
    journal::Lecture r;
    std::uint64_t precedent = 0;
    std::vector<journal::Enregistrement> lus;
    static kiv_fuzz::PlateformeMuette plateforme;
    setPlatform(&plateforme);
    EtatRejeu rejoue;
    const protocole::Estimateur estimateur = [](double t1, double t2, double) {
        protocole::Estimation estimation;
        estimation.valide = true;
        estimation.sortie0 = (t1 - 0.1) * 5000.0;
        estimation.sortie1 = (t2 - 0.1) * 5000.0;
        return estimation;
    };
    ListeJournal liste;
    int gardes = 0;
    while ((r = lecteur.suivant(e)) == journal::Lecture::Enregistrement) {
        lus.push_back(e);
        rejoue.appliquer(e, estimateur);
        bool champ = true;
        for (int ligne = 0; ligne < 22; ++ligne) {
            for (int colonne = 0; colonne < 22; ++colonne) {
                const int v = rejoue.grille[ligne][colonne];
                const bool mur = ligne == 0 || colonne == 0 || ligne == 21 || colonne == 21;
                champ = champ && (mur ? v == 1 : v >= 0 && v <= 3);
            }
        }
        verifier(champ, "a replayed field keeps its wall and its cell values");
        verifier(rejoue.robot.x >= 0 && rejoue.robot.x <= 500 && rejoue.robot.y >= 0 &&
                     rejoue.robot.y <= 500 &&
                     (!rejoue.destinationPlacee ||
                      (rejoue.destination.x >= 0 && rejoue.destination.x <= 500 &&
                       rejoue.destination.y >= 0 && rejoue.destination.y <= 500)) &&
                     rejoue.batterie >= -1 && rejoue.batterie <= 255 && rejoue.roueGauche >= 0 &&
                     rejoue.roueGauche <= 3 && rejoue.roueDroite >= 0 && rejoue.roueDroite <= 3,
                 "a replayed robot and its markers stay within their ranges");
        if (e.genre == journal::Genre::Lien || e.genre == journal::Genre::Navigation) {
            verifier(sansControle(echapper(e.texte())), "escaped texts hold no control");
        }
        verifier(journal::genreConnu(static_cast<std::uint8_t>(e.genre), lecteur.version()),
                 "kind of a record");
        if (e.genre == journal::Genre::Destination) {
            journal::Destination d;
            verifier(journal::decoderDestination(e.charge.data(), e.charge.size(), d) && d.x >= 0 &&
                         d.x <= 500 && d.y >= 0 && d.y <= 500,
                     "a destination read lies in the field");
        } else if (e.genre == journal::Genre::Carte) {
            journal::Edition edition;
            verifier(journal::decoderEdition(e.charge.data(), e.charge.size(), edition) &&
                         edition.colonne < 20 && edition.ligne < 20,
                     "a map edit read names a cell of the field");
        } else if (e.genre == journal::Genre::Calibration) {
            journal::PointCalibre p;
            verifier(journal::decoderCalibration(e.charge.data(), e.charge.size(), p) &&
                         std::isfinite(p.x) && std::isfinite(p.y) &&
                         std::isfinite(p.intervalles[0]) && std::isfinite(p.intervalles[1]) &&
                         std::isfinite(p.intervalles[2]) && p.trames >= 1,
                     "a calibration point read is finite, on the field, of a frame at least");
            ++gardes;
        } else if (e.genre == journal::Genre::ListeCalibration) {
            journal::EditionListe edition;
            verifier(
                lecteur.version() >= 3 &&
                    journal::decoderListeCalibration(e.charge.data(), e.charge.size(), edition) &&
                    edition.taille >= 1 &&
                    (edition.operation == journal::OperationListe::Vidage
                         ? edition.indice == 0
                         : edition.indice < edition.taille),
                "a calibration list edit read names a point of a list");
        }
        liste.prendre(e);
        verifier(liste.liste().taille() <= gardes, "the list holds no point that was not kept");
        if (e.genre == journal::Genre::ListeCalibration) {
            journal::EditionListe edition;
            journal::decoderListeCalibration(e.charge.data(), e.charge.size(), edition);
            verifier(edition.operation == journal::OperationListe::Retrait ||
                         (liste.liste().taille() == 0 && liste.fidele()),
                     "an emptied list is empty and known again");
        }
        if (e.genre == journal::Genre::Position) {
            journal::PositionFiltree p;
            verifier(lecteur.version() >= 4 &&
                         journal::decoderPosition(e.charge.data(), e.charge.size(), p) &&
                         p.brutX <= 500 && p.brutY <= 500 && p.x <= 500 && p.y <= 500,
                     "a position read lies in the field");
            verifier(rejoue.robot.x == p.x && rejoue.robot.y == p.y && rejoue.brut.x == p.brutX &&
                         rejoue.brut.y == p.brutY,
                     "the replay shows the recorded positions");
        }
        if (e.genre == journal::Genre::Terrain) {
            journal::EtatTerrain t;
            verifier(journal::decoderTerrain(e.charge.data(), e.charge.size(), t),
                     "a whole field read decodes");
            bool dansLeTerrain = t.robotX <= 500 && t.robotY <= 500 && t.destinationX <= 500 &&
                                 t.destinationY <= 500 && t.banditX <= 500 && t.banditY <= 500;
            for (const auto& ligne : t.cellules) {
                for (const std::uint8_t valeur : ligne) {
                    dansLeTerrain = dansLeTerrain && valeur <= 3;
                }
            }
            verifier(dansLeTerrain, "a whole field read holds cell values and points of the field");
            std::uint8_t encore[journal::TailleTerrain];
            journal::encoderTerrain(encore, t);
            verifier(std::memcmp(encore, e.charge.data(), sizeof encore) == 0,
                     "a whole field read encodes back to its bytes");
        }
        verifier(e.tempsUs >= precedent, "time never goes back");
        precedent = e.tempsUs;
        verifier(e.charge.size() <= size - reecrit.size(), "payload within the input");
        std::uint8_t entete[journal::TailleEnteteEnregistrement];
        journal::encoderEnregistrement(entete, e.tempsUs, e.genre, e.charge.size());
        reecrit.append(reinterpret_cast<const char*>(entete), sizeof entete);
        reecrit.append(e.texte());
    }
    verifier(reecrit.size() <= size && entree.compare(0, reecrit.size(), reecrit) == 0,
             "records written again give back their bytes");
    verifier((r == journal::Lecture::Fin) == (reecrit.size() == size),
             "a clean end uses the whole input");
    verifier(lecteur.suivant(e) == r, "a stopped reader stays stopped");

    // The session reader: alone, the same; in an empty folder, it stops on a
    // continuation it cannot find, or refuses its name.
    const auto memes = [&lus](const Lu& lu) {
        if (lu.enregistrements.size() != lus.size()) {
            return false;
        }
        for (std::size_t k = 0; k < lus.size(); ++k) {
            if (lu.enregistrements[k].tempsUs != lus[k].tempsUs ||
                lu.enregistrements[k].genre != lus[k].genre ||
                lu.enregistrements[k].charge != lus[k].charge) {
                return false;
            }
        }
        return true;
    };
    const Lu seul = lireSession(entree, {});
    verifier(memes(seul) && seul.fin == r, "the session reader alone reads the same");
    const Lu suivi = lireSession(entree, dossierVide() + "/kiv-2026-01-01_00-00-00.kivlog");
    verifier(memes(suivi), "the same records before any continuation");
    const bool suite = !lus.empty() && lus.back().genre == journal::Genre::Lien &&
                       lus.back().texte().starts_with("suite ");
    if (r != journal::Lecture::Fin || !suite) {
        verifier(suivi.fin == r, "ends as the file does without a continuation");
    } else if (suivi.fin == journal::Lecture::Tronque) {
        const std::string attendu = "suite introuvable : " + dossierVide() + "/";
        verifier(suivi.erreur.compare(0, attendu.size(), attendu) == 0 &&
                     suivi.erreur.find('/', attendu.size()) == std::string::npos,
                 "a continuation is looked for in the log's folder only");
    } else {
        verifier(suivi.fin == journal::Lecture::Corrompu &&
                     suivi.erreur.compare(0, 17, "suite invalide : ") == 0,
                 "a continuation not found is refused");
    }
    return 0;
}
