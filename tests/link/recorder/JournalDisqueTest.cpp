// The session log on a hostile disk: private files and folders, no link
// ever followed, a cap that holds with the session's own log (continued in
// new files that the readers follow), and a recorder that stops on a
// failure and says so once.
#include "link/recorder/DossierJournaux.h"
#include "link/recorder/EcrivainJournal.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurSession.h"
#include "support/ProcessusFils.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace journal;
namespace fs = std::filesystem;

constexpr std::int64_t Mur = 1765139916000000; // 2025-12-07 20:38:36 UTC

unsigned mode(const std::string& chemin)
{
    struct stat etat {};
    return ::lstat(chemin.c_str(), &etat) == 0 ? etat.st_mode & 07777 : 0;
}

std::uint64_t tailleDesJournaux(const std::string& dossier)
{
    std::uint64_t total = 0;
    for (const fs::path& p : dossier::journaux(dossier)) {
        total += fs::file_size(p);
    }
    return total;
}

struct Lu {
    std::vector<Enregistrement> enregistrements;
    Lecture fin = Lecture::Fin;
    std::string erreur;
    int fichiers = 0;
};

Lu lireSession(const std::string& chemin)
{
    std::ifstream entree(chemin, std::ios::binary);
    LecteurSession lecteur(entree, chemin);
    Lu lu;
    if (!lecteur.lireEntete()) {
        lu.fin = Lecture::Corrompu;
        lu.erreur = lecteur.erreur();
        return lu;
    }
    Enregistrement e;
    while ((lu.fin = lecteur.suivant(e)) == Lecture::Enregistrement) {
        lu.enregistrements.push_back(e);
    }
    EXPECT_EQ(lecteur.suivant(e), lu.fin) << "a stopped reader stays stopped";
    lu.erreur = lecteur.erreur();
    lu.fichiers = lecteur.fichiers();
    return lu;
}

class JournalDisqueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }

    kiv_test::RepertoireTemporaire dossier;
    std::uint64_t stable = 0;
    /** Clocks that move only when the test says; the wall clock follows the steady one. */
    Horloges horloges()
    {
        return {[this] { return stable; },
                [this] { return Mur + static_cast<std::int64_t>(stable); }};
    }
};

} // namespace

TEST_F(JournalDisqueTest, LogsArePrivateAndNoLinkIsEverFollowed)
{
    // Missing folders are made private, each of them.
    const std::string neuf = dossier / "donnees/KIV";
    {
        Enregistreur session({neuf, 1 << 20, 0}, horloges());
        session.lien("ouvert COM1");
        EXPECT_EQ(session.erreur(), "");
        EXPECT_EQ(mode(dossier / "donnees"), 0700u);
        EXPECT_EQ(mode(neuf), 0700u);
        EXPECT_EQ(mode(session.chemin()), 0600u);
    }

    // A folder of the user's own that others could read is closed; a link
    // planted at the name the log would take is left alone.
    const std::string ouvert = dossier / "ouvert";
    fs::create_directory(ouvert);
    ASSERT_EQ(::chmod(ouvert.c_str(), 0755), 0);
    const std::string victime = dossier / "victime.txt";
    kiv_test::ecrireOctets(victime, "à garder");
    fs::create_symlink(victime, ouvert + "/kiv-2025-12-07_20-38-36.kivlog");
    Enregistreur session({ouvert, 1 << 20, 0}, horloges());
    session.lien("ouvert COM1");
    EXPECT_EQ(mode(ouvert), 0700u);
    EXPECT_EQ(session.chemin(), ouvert + "/kiv-2025-12-07_20-38-36_2.kivlog");
    EXPECT_EQ(mode(session.chemin()), 0600u);
    EXPECT_EQ(kiv_test::lireOctets(victime), "à garder");
    EXPECT_TRUE(fs::is_symlink(ouvert + "/kiv-2025-12-07_20-38-36.kivlog"));
}

TEST_F(JournalDisqueTest, TheCapHoldsWithTheSessionsOwnLogWhichReadsOnAcrossItsFiles)
{
    const std::string journaux = dossier / "journaux";
    fs::create_directories(journaux);
    std::ofstream(journaux + "/kiv-2020-01-01_00-00-00.kivlog") << std::string(1500, 'x');
    std::ofstream(journaux + "/notes.txt") << std::string(5000, 'n');

    Enregistreur session({journaux, 4000, 0}, horloges());
    EXPECT_EQ(session.tailleMorceau(), 1000u);
    session.lien("ouvert COM1 9600 bauds 8N1");
    const std::string premier = session.chemin();
    constexpr int Nombre = 600;
    for (int k = 0; k < Nombre; ++k) {
        stable += 250000;
        const std::string charge = "octets " + std::to_string(k);
        session.recu(reinterpret_cast<const std::uint8_t*>(charge.data()), charge.size());
        ASSERT_LE(tailleDesJournaux(journaux), 4000u) << "record " << k;
    }
    EXPECT_EQ(session.erreur(), "");
    EXPECT_FALSE(fs::exists(journaux + "/kiv-2020-01-01_00-00-00.kivlog"));
    EXPECT_FALSE(fs::exists(premier)) << "the session's own oldest part went too";
    EXPECT_TRUE(fs::exists(journaux + "/notes.txt"));

    // From the oldest file left, the readers follow the session to its last record.
    const std::vector<fs::path> fichiers = dossier::journaux(journaux);
    ASSERT_GE(fichiers.size(), 3u);
    EXPECT_EQ(fichiers.back(), fs::path(session.chemin()));
    const Lu lu = lireSession(fichiers.front());
    EXPECT_EQ(lu.fin, Lecture::Fin) << lu.erreur;
    EXPECT_EQ(lu.fichiers, static_cast<int>(fichiers.size()));
    std::vector<int> suite;
    int continuations = 0;
    for (const Enregistrement& e : lu.enregistrements) {
        if (e.genre == Genre::Recu) {
            suite.push_back(std::atoi(std::string(e.texte().substr(7)).c_str()));
        } else if (e.texte().starts_with("suite kiv-")) {
            ++continuations;
        }
    }
    ASSERT_FALSE(suite.empty());
    EXPECT_EQ(suite.back(), Nombre - 1);
    for (std::size_t k = 1; k < suite.size(); ++k) {
        ASSERT_EQ(suite[k], suite[k - 1] + 1) << "nothing lost or repeated between files";
    }
    EXPECT_EQ(continuations, lu.fichiers - 1);
    EXPECT_GE(suite.size() * 21, 2000u) << "at least half the cap holds the session's records";
}

TEST_F(JournalDisqueTest, ANewFileStartsWhereAFrameStarts)
{
    // Frames of ten bytes arriving in pieces, a reopening of the port half-way.
    ReglagesJournal reglages{dossier / "j", 6000, 0, 10};
    Enregistreur session(reglages, horloges());
    const std::uint8_t octets[7] = {1, 2, 3, 4, 5, 6, 7};
    for (int k = 0; k < 120; ++k) {
        if (k % 15 == 0) {
            session.lien("ouvert COM1 9600 bauds 8N1");
        }
        stable += 1000;
        session.recu(octets, 3);
        session.recu(octets, 7);
        session.emis(octets, 1);
    }
    const std::vector<fs::path> fichiers = dossier::journaux(reglages.dossier);
    ASSERT_GE(fichiers.size(), 3u);
    const Lu lu = lireSession(fichiers.front());
    ASSERT_EQ(lu.fin, Lecture::Fin) << lu.erreur;
    // Counted from the first opening read.
    std::optional<std::uint64_t> recus;
    int verifiees = 0;
    for (const Enregistrement& e : lu.enregistrements) {
        if (e.genre == Genre::Recu && recus) {
            *recus += e.charge.size();
        } else if (e.texte().starts_with("ouvert")) {
            recus = 0;
        } else if (e.texte().starts_with("reprise ") && recus) {
            ++verifiees;
            EXPECT_EQ(*recus % 10, 0u) << "continuation " << verifiees;
        }
    }
    EXPECT_EQ(verifiees, lu.fichiers - 1);
}

TEST_F(JournalDisqueTest, AChainThatLeadsNowhereOrElsewhereStopsTheReader)
{
    const auto fichier =
        [this](const std::string& nom, std::int64_t debut,
               const std::vector<std::pair<std::uint64_t, std::string>>& evenements) {
            EcrivainJournal e;
            EXPECT_TRUE(e.ouvrir(dossier / nom, debut));
            for (const auto& [temps, texte] : evenements) {
                EXPECT_TRUE(e.ecrire(Genre::Lien, temps, texte));
            }
            return dossier / nom;
        };
    const std::string a = fichier("kiv-2025-01-01_00-00-00.kivlog", 7,
                                  {{5, "ouvert"}, {9, "suite kiv-2025-01-01_00-00-01.kivlog"}});
    Lu lu = lireSession(a);
    EXPECT_EQ(lu.fin, Lecture::Tronque);
    EXPECT_EQ(lu.enregistrements.size(), 2u);
    EXPECT_EQ(lu.erreur, "suite introuvable : " + dossier / "kiv-2025-01-01_00-00-01.kivlog");

    // Another session's file, a time that goes back, a name that loops back.
    fichier("kiv-2025-01-01_00-00-01.kivlog", 8, {{10, "reprise"}});
    EXPECT_EQ(lireSession(a).erreur,
              dossier / "kiv-2025-01-01_00-00-01.kivlog" + " n'est pas la suite de cette session");
    fs::remove(dossier / "kiv-2025-01-01_00-00-01.kivlog");
    fichier("kiv-2025-01-01_00-00-01.kivlog", 7, {{8, "reprise"}});
    lu = lireSession(a);
    EXPECT_EQ(lu.fin, Lecture::Corrompu);
    EXPECT_EQ(lu.erreur, "le temps d'un enregistrement recule");
    for (const char* nom : {"kiv-2025-01-01_00-00-00.kivlog", "../kiv-2025-01-01_00-00-01.kivlog",
                            "/etc/passwd", ""}) {
        const std::string b =
            fichier("kiv-2025-01-01_00-00-00_2.kivlog", 7, {{1, std::string("suite ") + nom}});
        lu = lireSession(b);
        EXPECT_EQ(lu.fin, Lecture::Corrompu) << nom;
        EXPECT_EQ(lu.erreur, std::string("suite invalide : ") + nom);
        fs::remove(b);
    }
    // A "suite" that is not the file's last record names nothing.
    const std::string c = fichier("kiv-2025-01-01_00-00-00_3.kivlog", 7,
                                  {{1, "suite kiv-2025-01-01_00-00-09.kivlog"}, {2, "fermé"}});
    lu = lireSession(c);
    EXPECT_EQ(lu.fin, Lecture::Fin);
    EXPECT_EQ(lu.fichiers, 1);

    // A continuation that is a FIFO held the reader (and the replay's
    // window, the console with it) in open() for good; one that is a link
    // may lead out of the folder: the recorder makes neither.
    const std::string suite = dossier / "kiv-2025-01-01_00-00-01.kivlog";
    fs::remove(suite);
    ASSERT_EQ(::mkfifo(suite.c_str(), 0600), 0);
    lu = lireSession(a);
    EXPECT_EQ(lu.fin, Lecture::Corrompu);
    EXPECT_EQ(lu.erreur, "suite refusée : " + suite + " : c'est un tube (FIFO)");
    EXPECT_EQ(lu.enregistrements.size(), 2u);
    fs::remove(suite);
    const std::string dehors = fichier("../kiv-dehors.kivlog", 7, {{10, "reprise"}});
    fs::create_symlink(dehors, suite);
    lu = lireSession(a);
    EXPECT_EQ(lu.fin, Lecture::Corrompu);
    EXPECT_EQ(lu.erreur, "suite refusée : " + suite + " : c'est un lien symbolique");
    EXPECT_EQ(lu.fichiers, 1);
    fs::remove(suite);
    fs::remove(dehors);
}

TEST_F(JournalDisqueTest, AStopIsToldOnceWithTheFileAndTheReason)
{
    // A folder that cannot be made: told at once to a handler that comes later.
    kiv_test::ecrireOctets(dossier / "fichier", "x");
    Enregistreur impossible({dossier / "fichier/sous", 1000, 0}, horloges());
    impossible.lien("ouvert");
    impossible.lien("fermé");
    EXPECT_TRUE(impossible.arrete());
    std::vector<std::pair<std::string, std::string>> dits;
    impossible.surArret(
        [&dits](const std::string& f, const std::string& r) { dits.emplace_back(f, r); });
    impossible.lien("ouvert");
    impossible.synchroniser();
    ASSERT_EQ(dits.size(), 1u);
    EXPECT_EQ(dits[0].first, dossier / "fichier/sous");
    EXPECT_EQ(dits[0].second,
              std::string("dossier des journaux impossible à créer : ") + std::strerror(ENOTDIR));

    // A full disk while recording: told once, on the recording's thread; the
    // log holds whole records up to the failure.
    const std::string journaux = dossier / "plein";
    EXPECT_EQ(
        kiv_test::dansUnFils([&] {
            if (!kiv_test::limiterTailleFichiers(2000)) {
                return 10;
            }
            Enregistreur session({journaux, 1 << 20, 0}, horloges());
            int appels = 0;
            std::string fichier;
            std::string raison;
            session.surArret([&](const std::string& f, const std::string& r) {
                ++appels;
                fichier = f;
                raison = r;
            });
            const std::string charge(100, 'z');
            for (int k = 0; k < 100; ++k) {
                session.recu(reinterpret_cast<const std::uint8_t*>(charge.data()), charge.size());
            }
            if (appels != 1 || fichier != session.chemin()) {
                return 11;
            }
            return raison == std::string("écriture du journal impossible : ") + std::strerror(EFBIG)
                       ? 0
                       : 12;
        }),
        0);
    const std::vector<fs::path> restes = dossier::journaux(journaux);
    ASSERT_EQ(restes.size(), 1u);
    const Lu lu = lireSession(restes.front());
    EXPECT_EQ(lu.enregistrements.size(), (2000u - TailleEntete) / 111u);
    EXPECT_EQ(lu.fin, Lecture::Tronque);
}

TEST_F(JournalDisqueTest, ThreadsRecordWhileTheRecordersThreadSyncs)
{
    // The syncing thread every millisecond, two recording threads, a file
    // continued on the way: every record is there, whole and in order.
    const std::string journaux = dossier / "fils";
    constexpr int Nombre = 3000;
    {
        Enregistreur session({journaux, 200000, 1});
        const auto ecrire = [&session](char marque) {
            for (int k = 0; k < Nombre; ++k) {
                const std::string charge = marque + std::to_string(k);
                session.recu(reinterpret_cast<const std::uint8_t*>(charge.data()), charge.size());
                if (k % 500 == 0) {
                    session.synchroniser();
                }
            }
        };
        std::thread a(ecrire, 'a');
        std::thread b(ecrire, 'b');
        a.join();
        b.join();
        EXPECT_EQ(session.erreur(), "");
    }
    const std::vector<fs::path> fichiers = dossier::journaux(journaux);
    ASSERT_GE(fichiers.size(), 2u);
    const Lu lu = lireSession(fichiers.front());
    EXPECT_EQ(lu.fin, Lecture::Fin) << lu.erreur;
    int suivants[2] = {0, 0};
    for (const Enregistrement& e : lu.enregistrements) {
        if (e.genre == Genre::Recu) {
            int& attendu = suivants[e.texte()[0] - 'a'];
            ASSERT_EQ(std::string(e.texte().substr(1)), std::to_string(attendu));
            ++attendu;
        }
    }
    EXPECT_EQ(suivants[0], Nombre);
    EXPECT_EQ(suivants[1], Nombre);
}
