// kiv-log: the CSV of a session log, row by row, across the files a session
// was continued in, into a file written safely; event texts escaped for the
// terminal; and the program as the user runs it (the bundled network by
// default).
#include "ExportCsv.h"
#include "core/Echappement.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/protocol/RobotProtocol.h"
#include "link/recorder/FormatJournal.h"
#include "support/PiegesTemporaires.h"
#include "support/ProcessusFils.h"
#include "world/BeaconModel.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

/** A log in memory, record by record. */
class Journal {
public:
    Journal()
        : m_octets(journal::TailleEntete, '\0')
    {
        journal::encoderEntete(reinterpret_cast<std::uint8_t*>(m_octets.data()), 0);
    }
    Journal& ajouter(std::uint64_t temps, journal::Genre genre, const std::string& charge)
    {
        std::string entete(journal::TailleEnteteEnregistrement, '\0');
        journal::encoderEnregistrement(reinterpret_cast<std::uint8_t*>(entete.data()), temps, genre,
                                       charge.size());
        m_octets += entete + charge;
        return *this;
    }
    /** A frame's ten bytes, one record each, from `temps` on (1 ms apart), with a reply. */
    Journal& trame(std::uint64_t temps, const std::int16_t t[4], int etat, int batterie,
                   int reponse = -1)
    {
        for (int k = 0; k < 4; ++k) {
            const auto mot = static_cast<std::uint16_t>(t[k]);
            ajouter(temps, journal::Genre::Recu, std::string(1, static_cast<char>(mot & 0xFF)));
            ajouter(temps, journal::Genre::Recu, std::string(1, static_cast<char>(mot >> 8)));
            temps += 1000;
        }
        ajouter(temps, journal::Genre::Recu, std::string(1, static_cast<char>(etat)));
        if (reponse >= 0) {
            ajouter(temps, journal::Genre::Emis, std::string(1, static_cast<char>(reponse)));
        }
        return ajouter(temps, journal::Genre::Recu, std::string(1, static_cast<char>(batterie)));
    }
    const std::string& octets() const { return m_octets; }

private:
    std::string m_octets;
};

std::string intervalles(const std::int16_t t[4])
{
    float i[3];
    protocole::calculerIntervalles(t, i);
    char texte[128];
    std::snprintf(texte, sizeof texte, "%.7g,%.7g,%.7g", static_cast<double>(i[0]),
                  static_cast<double>(i[1]), static_cast<double>(i[2]));
    return texte;
}

} // namespace

TEST(ExportCsv, OneRowPerWholeFrameCountedFromEachOpening)
{
    // The frame parser traces through the platform services.
    ScriptedPlatform scripted;
    setPlatform(&scripted);
    const std::int16_t a[4] = {100, -2000, 30000, -32768};
    const std::int16_t b[4] = {0, 0, 0, 0};
    Journal j;
    j.ajouter(0, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1")
        .trame(1500000, a, 0x03, 230, 0xB6)
        .ajouter(2000000, journal::Genre::Recu, "\x01\x02\x03") // a partial frame, then
        .ajouter(2100000, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1") // a reopening
        .trame(3000000, b, 0x00, 0)
        .ajouter(3500000, journal::Genre::Navigation, "arrêt");
    int appels = 0;
    const auto estimateur = [&appels](double, double, double) -> protocole::Estimation {
        // The second frame gets no estimate.
        return ++appels == 1 ? protocole::Estimation{true, 210.6, -3.0} : protocole::Estimation{};
    };
    std::istringstream entree(j.octets());
    std::ostringstream sortie;
    const BilanExport bilan = exporterCsv(entree, sortie, estimateur);
    EXPECT_TRUE(bilan.lisible);
    EXPECT_EQ(bilan.fin, journal::Lecture::Fin);
    EXPECT_EQ(bilan.trames, 2u);
    EXPECT_EQ(sortie.str(), std::string(EnteteCsv) + "\n" + "1.500000,100,-2000,30000,-32768," +
                                intervalles(a) +
                                ",0,210,1,1,230,182\n"
                                "3.000000,0,0,0,0," +
                                intervalles(b) + ",,,0,0,0,\n");

    // Cut inside the second frame: the first row only, and the log is said torn.
    const std::string coupe = j.octets().substr(0, j.octets().size() - 17 - 6);
    std::istringstream tronque(coupe);
    std::ostringstream partiel;
    appels = 0;
    const BilanExport b2 = exporterCsv(tronque, partiel, estimateur);
    EXPECT_EQ(b2.fin, journal::Lecture::Tronque);
    EXPECT_EQ(b2.trames, 1u);

    std::istringstream etranger("pas un journal du tout");
    std::ostringstream rien;
    EXPECT_FALSE(exporterCsv(etranger, rien, estimateur).lisible);
    EXPECT_EQ(rien.str(), "");
    setPlatform(nullptr);
}

TEST(KivLog, ExportsWithTheBundledNetworkByDefault)
{
    const std::filesystem::path fichier =
        std::filesystem::path(testing::TempDir()) / "kiv_log_test.kivlog";
    const auto t = balises::horodatages({300.0, 200.0}, 4242);
    const std::int16_t stamps[4] = {t[0], t[1], t[2], t[3]};
    std::ofstream(fichier, std::ios::binary) << Journal().trame(0, stamps, 0, 99, 0x80).octets();

    const auto executer = [](const std::string& commande) {
        std::string sortie;
        if (FILE* p = ::popen(commande.c_str(), "r")) {
            char tampon[512];
            while (std::fgets(tampon, sizeof tampon, p)) {
                sortie += tampon;
            }
            sortie += "status=" + std::to_string(::pclose(p));
        }
        return sortie;
    };
    EXPECT_EQ(executer(KIV_LOG_PATH " --version"), "kiv-log " KIV_VERSION "\nstatus=0");
    const std::string csv = executer(KIV_LOG_PATH " --csv " + fichier.string());
    std::istringstream lignes(csv);
    std::string entete;
    std::string ligne;
    std::getline(lignes, entete);
    std::getline(lignes, ligne);
    EXPECT_EQ(entete, EnteteCsv);
    int x = -1;
    int y = -1;
    int batterie = -1;
    int commande = -1;
    ASSERT_EQ(std::sscanf(ligne.c_str(), "%*[^,],%*d,%*d,%*d,%*d,%*g,%*g,%*g,%d,%d,0,0,%d,%d", &x,
                          &y, &batterie, &commande),
              4)
        << csv;
    EXPECT_NEAR(x, 300, 6);
    EXPECT_NEAR(y, 200, 6);
    EXPECT_EQ(batterie, 99);
    EXPECT_EQ(commande, 128);
    EXPECT_NE(executer(KIV_LOG_PATH " --csv /nonexistent 2>&1").find("status=256"),
              std::string::npos);
    std::filesystem::remove(fichier);
}

TEST(KivLog, EventTextsReachTheTerminalEscaped)
{
    EXPECT_EQ(echapper("ouvert COM1 9600 bauds 8N1"), "ouvert COM1 9600 bauds 8N1");
    EXPECT_EQ(echapper("fermé €"), "fermé €") << "printable UTF-8 passes";
    EXPECT_EQ(echapper("\x1b]0;pwned\x07\x1b[2J"), "\\x1B]0;pwned\\x07\\x1B[2J");
    EXPECT_EQ(echapper(std::string("a\0b\r\n\x7F", 6)), "a\\x00b\\x0D\\x0A\\x7F");
    // C1 controls, in UTF-8 or raw; bytes that are no UTF-8; the escape itself.
    EXPECT_EQ(echapper("\xC2\x9B"
                       "6n"),
              "\\xC2\\x9B6n");
    EXPECT_EQ(echapper("\x9B\xFF\xC3"), "\\x9B\\xFF\\xC3");
    EXPECT_EQ(echapper("\xED\xA0\x80"), "\\xED\\xA0\\x80") << "no surrogates";
    EXPECT_EQ(echapper("C:\\x41"), "C:\\x5Cx41");

    // The summary as the user sees it: the terminal gets no escape sequence.
    const std::filesystem::path fichier =
        std::filesystem::path(testing::TempDir()) / "kiv_log_echappe.kivlog";
    std::ofstream(fichier, std::ios::binary)
        << Journal()
               .ajouter(0, journal::Genre::Lien, "ouvert \x1b[31mCOM1\x1b[0m")
               .ajouter(1500000, journal::Genre::Destination, std::string("\xC2\x01\x78\x00", 4))
               .ajouter(2000000, journal::Genre::Carte, "\x01\x03\x04")
               .ajouter(2000000, journal::Genre::Carte, "\x02\x03\x04")
               .ajouter(2500000, journal::Genre::Carte, std::string("\x03\x13\x00", 3))
               .ajouter(3000000, journal::Genre::Carte, std::string("\x04\x13\x00", 3))
               .octets();
    std::string sortie;
    if (FILE* p = ::popen((KIV_LOG_PATH " " + fichier.string()).c_str(), "r")) {
        char tampon[512];
        while (std::fgets(tampon, sizeof tampon, p)) {
            sortie += tampon;
        }
        ::pclose(p);
    }
    EXPECT_NE(sortie.find("lien : ouvert \\x1B[31mCOM1\\x1B[0m\n"), std::string::npos) << sortie;
    // The map records of a version-2 log, in order.
    EXPECT_NE(sortie.find("     1.500 s  carte : destination (450, 120) cm\n"
                          "     2.000 s  carte : obstacle peint en case (3, 4)\n"
                          "     2.000 s  carte : obstacle effacé en case (3, 4)\n"
                          "     2.500 s  carte : obstacle trouvé en case (19, 0)\n"
                          "     3.000 s  carte : obstacle retiré en case (19, 0)\n"),
              std::string::npos)
        << sortie;
    EXPECT_EQ(sortie.find('\x1b'), std::string::npos);
    std::filesystem::remove(fichier);
}

TEST(KivLog, CalibrationPointsOfALogBecomeATrainingSet)
{
    kiv_test::RepertoireTemporaire dossier;
    const auto point = [](double x, double y, double t) {
        journal::PointCalibre p{x, y, {t, t + 0.001, t - 0.001}, 20, 0.5};
        std::string charge(journal::TailleCalibration, '\0');
        journal::encoderCalibration(reinterpret_cast<std::uint8_t*>(charge.data()), p);
        return charge;
    };
    const std::string journal = dossier / "calibration.kivlog";
    std::ofstream(journal, std::ios::binary)
        << Journal()
               .ajouter(0, journal::Genre::Lien, "ouvert COM1")
               .ajouter(2000000, journal::Genre::Calibration, point(25.0, 475.0, 0.15))
               .ajouter(9000000, journal::Genre::Calibration, point(250.5, 100.0, 0.152))
               .octets();
    const auto executer = [](const std::string& commande) {
        std::string sortie;
        if (FILE* p = ::popen((commande + " 2>&1").c_str(), "r")) {
            char tampon[512];
            while (std::fgets(tampon, sizeof tampon, p)) {
                sortie += tampon;
            }
            sortie += "status=" + std::to_string(WEXITSTATUS(::pclose(p)));
        }
        return sortie;
    };
    // Listed in the summary; written as the console's calibration window writes them.
    EXPECT_NE(
        executer(KIV_LOG_PATH " " + journal)
            .find("     2.000 s  calibration : x 25 y 475 cm, 20 trames, dispersion 0.5 cm\n"),
        std::string::npos);
    const std::string dat = dossier / "points.dat";
    EXPECT_EQ(executer(KIV_LOG_PATH " " + journal + " --dat " + dat),
              "2 points de calibration écrits dans " + dat + "\nstatus=0");
    std::ifstream lu(dat, std::ios::binary);
    const std::string octets((std::istreambuf_iterator<char>(lu)),
                             std::istreambuf_iterator<char>());
    EXPECT_NE(octets.find("(2)\r\n# point 1 : x 25 y 475, 20 trames, dispersion 0.50 cm\r\n"
                          "(3,1)\r\n       0.15\r\n      0.151\r\n      0.149\r\n"
                          "(2,1)\r\n        475\r\n         25\r\n"),
              std::string::npos)
        << octets;

    // A log without a point, or damaged, writes nothing and says so.
    const std::string vide = dossier / "vide.kivlog";
    std::ofstream(vide, std::ios::binary)
        << Journal().ajouter(0, journal::Genre::Lien, "ouvert COM1").octets();
    const std::string autre = dossier / "autre.dat";
    EXPECT_EQ(executer(KIV_LOG_PATH " " + vide + " --dat " + autre),
              "kiv-log: " + vide + " : aucun point de calibration\nstatus=1");
    std::ofstream(vide, std::ios::binary | std::ios::app)
        << std::string("\x01\x00\x00\x00\x00\x00\x00\x00\x07\x02\x00\x00\x00", 13);
    EXPECT_NE(executer(KIV_LOG_PATH " " + vide + " --dat " + autre).find("status=1"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(autre));
    EXPECT_EQ(executer(KIV_LOG_PATH " " + vide + " --dat " + autre + " --csv").substr(0, 54),
              "kiv-log: --dat ne se combine ni avec --csv ni avec --w");
}

TEST(KivLog, PointsRemovedOrEmptiedInTheWindowAreNotWrittenBack)
{
    kiv_test::RepertoireTemporaire dossier;
    const auto point = [](double x) {
        journal::PointCalibre p{x, 100.0, {0.15, 0.151, 0.149}, 20, 0.5};
        std::string charge(journal::TailleCalibration, '\0');
        journal::encoderCalibration(reinterpret_cast<std::uint8_t*>(charge.data()), p);
        return charge;
    };
    const auto edition = [](journal::OperationListe operation, std::uint32_t indice,
                            std::uint32_t taille) {
        std::string charge(journal::TailleListeCalibration, '\0');
        journal::encoderListeCalibration(reinterpret_cast<std::uint8_t*>(charge.data()),
                                         {operation, indice, taille});
        return charge;
    };
    const auto executer = [](const std::string& commande) {
        std::string sortie;
        if (FILE* p = ::popen((commande + " 2>&1").c_str(), "r")) {
            char tampon[512];
            while (std::fgets(tampon, sizeof tampon, p)) {
                sortie += tampon;
            }
            sortie += "status=" + std::to_string(WEXITSTATUS(::pclose(p)));
        }
        return sortie;
    };
    const auto positions = [](const std::string& dat) {
        std::ifstream lu(dat, std::ios::binary);
        const std::string octets((std::istreambuf_iterator<char>(lu)),
                                 std::istreambuf_iterator<char>());
        std::string xs;
        for (std::size_t k = octets.find("# point "); k != std::string::npos;
             k = octets.find("# point ", k + 1)) {
            const std::size_t x = octets.find(" x ", k) + 3;
            xs += octets.substr(x, octets.find(' ', x) - x) + " ";
        }
        return xs;
    };
    using journal::Genre;
    using journal::OperationListe;
    // Kept 10, 20, 30; the second removed; emptied; kept 40, 50, 60; the last removed.
    const std::string log = dossier / "liste.kivlog";
    std::ofstream(log, std::ios::binary)
        << Journal()
               .ajouter(0, Genre::Lien, "ouvert COM1")
               .ajouter(1000000, Genre::Calibration, point(10))
               .ajouter(2000000, Genre::Calibration, point(20))
               .ajouter(3000000, Genre::Calibration, point(30))
               .ajouter(4000000, Genre::ListeCalibration, edition(OperationListe::Retrait, 1, 3))
               .ajouter(5000000, Genre::ListeCalibration, edition(OperationListe::Vidage, 0, 2))
               .ajouter(6000000, Genre::Calibration, point(40))
               .ajouter(7000000, Genre::Calibration, point(50))
               .ajouter(8000000, Genre::Calibration, point(60))
               .ajouter(9000000, Genre::ListeCalibration, edition(OperationListe::Retrait, 2, 3))
               .octets();
    const std::string dat = dossier / "points.dat";
    EXPECT_EQ(executer(KIV_LOG_PATH " " + log + " --dat " + dat),
              "2 points de calibration écrits dans " + dat + "\nstatus=0");
    EXPECT_EQ(positions(dat), "40 50 ");
    const std::string resume = executer(KIV_LOG_PATH " " + log);
    EXPECT_NE(resume.find("     4.000 s  calibration : point 2 sur 3 retiré\n"
                          "     5.000 s  calibration : liste vidée (2 points)\n"),
              std::string::npos)
        << resume;
    EXPECT_NE(resume.find("Calibration : 2 points dans la liste à la fin\n"), std::string::npos)
        << resume;

    // The window removed a point the log never had (kept while nothing was
    // recorded): nothing is written, and the summary says why.
    const std::string manque = dossier / "manque.kivlog";
    std::ofstream(manque, std::ios::binary)
        << Journal()
               .ajouter(0, Genre::Lien, "ouvert COM1")
               .ajouter(1000000, Genre::Calibration, point(10))
               .ajouter(2500000, Genre::ListeCalibration, edition(OperationListe::Retrait, 0, 2))
               .octets();
    const std::string autre = dossier / "autre.dat";
    const std::string raison = "à 2.500 s, la fenêtre retire le point 1 de 2 et le journal n'en "
                               "a que 1 : des points ont été gardés sans être enregistrés";
    EXPECT_EQ(executer(KIV_LOG_PATH " " + manque + " --dat " + autre),
              "kiv-log: " + manque + " : " + raison + " ; rien n'est écrit\nstatus=1");
    EXPECT_FALSE(std::filesystem::exists(autre));
    EXPECT_NE(executer(KIV_LOG_PATH " " + manque)
                  .find("Calibration : liste incomplète, " + raison + "\n"),
              std::string::npos);
    // ... until the list is emptied: from there it is known again.
    std::ofstream(manque, std::ios::binary | std::ios::app)
        << Journal()
               .ajouter(3000000, Genre::ListeCalibration, edition(OperationListe::Vidage, 0, 1))
               .ajouter(4000000, Genre::Calibration, point(70))
               .octets()
               .substr(journal::TailleEntete);
    EXPECT_EQ(executer(KIV_LOG_PATH " " + manque + " --dat " + autre),
              "1 points de calibration écrits dans " + autre + "\nstatus=0");
    EXPECT_EQ(positions(autre), "70 ");
}

TEST(ExportCsv, ASessionContinuedInOtherFilesExportsWholeIntoAFileWrittenSafely)
{
    ScriptedPlatform scripted;
    setPlatform(&scripted);
    kiv_test::RepertoireTemporaire dossier;
    const std::int16_t a[4] = {100, -2000, 30000, -32768};
    const std::int16_t b[4] = {1, 2, 3, 4};
    // One session, first in one file, then cut in two at a continuation.
    Journal seul;
    seul.ajouter(0, journal::Genre::Lien, "ouvert COM1").trame(1000, a, 0, 200, 0x80);
    seul.trame(20000, b, 1, 100, 0x81);
    Journal debut;
    debut.ajouter(0, journal::Genre::Lien, "ouvert COM1")
        .trame(1000, a, 0, 200, 0x80)
        .ajouter(15000, journal::Genre::Lien, "suite kiv-2026-01-01_00-00-01.kivlog");
    Journal suite;
    suite.ajouter(15000, journal::Genre::Lien, "reprise kiv-2026-01-01_00-00-00.kivlog")
        .trame(20000, b, 1, 100, 0x81);
    const std::string premier = dossier / "kiv-2026-01-01_00-00-00.kivlog";
    kiv_test::ecrireOctets(premier, debut.octets());
    kiv_test::ecrireOctets(dossier / "kiv-2026-01-01_00-00-01.kivlog", suite.octets());
    const auto sansEstimation = [](double, double, double) { return protocole::Estimation{}; };

    std::istringstream entreeSeule(seul.octets());
    std::ostringstream attendu;
    ASSERT_EQ(exporterCsv(entreeSeule, attendu, sansEstimation).trames, 2u);
    std::ifstream entree(premier, std::ios::binary);
    std::ostringstream suivi;
    const BilanExport bilan = exporterCsv(entree, suivi, sansEstimation, premier);
    EXPECT_EQ(bilan.fin, journal::Lecture::Fin) << bilan.erreur;
    EXPECT_EQ(suivi.str(), attendu.str());

    // Into a file: links planted at its temporary names are never followed.
    const std::string csv = dossier / "trames.csv";
    const std::string victime = dossier / "victime.txt";
    kiv_test::ecrireOctets(victime, "à garder");
    {
        const kiv_test::PiegesTemporaires pieges(csv, victime);
        std::ifstream de(premier, std::ios::binary);
        EXPECT_EQ(exporterCsvFichier(de, csv, sansEstimation, premier).raisonEcriture, "");
        EXPECT_TRUE(pieges.victimeIntacte());
    }
    EXPECT_EQ(kiv_test::lireOctets(csv), attendu.str());

    // A damaged log or a full disk leaves the previous CSV as it was.
    std::istringstream abime(seul.octets() + std::string(11, '\x7F'));
    EXPECT_EQ(exporterCsvFichier(abime, csv, sansEstimation).fin, journal::Lecture::Corrompu);
    EXPECT_EQ(kiv_test::lireOctets(csv), attendu.str());
    EXPECT_EQ(kiv_test::dansUnFils([&] {
                  std::istringstream de(seul.octets());
                  if (!kiv_test::limiterTailleFichiers(100)) {
                      return 10;
                  }
                  return exporterCsvFichier(de, csv, sansEstimation).raisonEcriture ==
                                 std::strerror(EFBIG)
                             ? 0
                             : 11;
              }),
              0);
    EXPECT_EQ(kiv_test::lireOctets(csv), attendu.str());
    setPlatform(nullptr);
}

TEST(ExportCsv, AFrameCutShortBySilenceIsNoRowAndTheNextOneIsReadWhole)
{
    ScriptedPlatform scripted;
    setPlatform(&scripted);
    const std::int16_t a[4] = {100, -2000, 30000, -32768};
    const std::int16_t b[4] = {1, 2, 3, 4};
    // A robot reset after five bytes of a frame, then its next frame 500 ms
    // later: counting alone would read b's first five bytes as the end of
    // the cut frame, and every later frame from the wrong place.
    Journal j;
    j.ajouter(0, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1")
        .trame(1000000, a, 0, 200, 0x80)
        .ajouter(1500000, journal::Genre::Recu, "\x01\x02\x03\x04\x05")
        .trame(2000000, b, 1, 100, 0x81)
        .trame(2500000, a, 2, 90, 0x82);
    const auto sansEstimation = [](double, double, double) { return protocole::Estimation{}; };
    std::istringstream entree(j.octets());
    std::ostringstream sortie;
    const BilanExport bilan = exporterCsv(entree, sortie, sansEstimation);
    EXPECT_EQ(bilan.trames, 3u);
    EXPECT_EQ(sortie.str(), std::string(EnteteCsv) + "\n1.000000,100,-2000,30000,-32768," +
                                intervalles(a) + ",,,0,0,200,128\n2.000000,1,2,3,4," +
                                intervalles(b) +
                                ",,,1,0,100,129\n2.500000,100,-2000,30000,-32768," +
                                intervalles(a) + ",,,0,1,90,130\n");
    setPlatform(nullptr);

    // The summary counts the frames the console found cut short.
    const std::filesystem::path fichier =
        std::filesystem::path(testing::TempDir()) / "kiv_log_resynchro.kivlog";
    std::ofstream(fichier, std::ios::binary)
        << Journal()
               .ajouter(0, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1")
               .ajouter(10, journal::Genre::Lien,
                        "resynchro 9 octets écartés après 2000 ms de silence")
               .ajouter(20, journal::Genre::Lien,
                        "resynchro 5 octets écartés après 500 ms de silence")
               .octets();
    std::string resume;
    if (FILE* p = ::popen((KIV_LOG_PATH " " + fichier.string()).c_str(), "r")) {
        char tampon[512];
        while (std::fgets(tampon, sizeof tampon, p)) {
            resume += tampon;
        }
        ::pclose(p);
    }
    EXPECT_NE(resume.find("lien : resynchro 9 octets écartés après 2000 ms de silence\n"),
              std::string::npos)
        << resume;
    EXPECT_NE(resume.find("Trames coupées par un silence : 2 (14 octets écartés)\n"),
              std::string::npos)
        << resume;
    std::filesystem::remove(fichier);
}
