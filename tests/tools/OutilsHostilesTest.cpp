// The command-line tools given what a hostile or careless user gives them:
// a FIFO (which held them in open() for good), a folder, a device, a file
// of the wrong kind (which aborted them), impossible options. Each ends at
// once with its message and status 1 (2 for a wrong command line).
#include "support/Programme.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using kiv_test::executerProgramme;
using kiv_test::FinProgramme;
using kiv_test::RepertoireTemporaire;

const std::string kParametres = KIV_DATA_DIR "/beacons.prm";
const std::string kPoids = KIV_DATA_DIR "/beacons.wgh";

class OutilsHostiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::mkfifo((m_dossier / "tube").c_str(), 0600), 0);
        fs::create_directory(m_dossier.chemin() / "dossier");
        std::ofstream(m_dossier / "rien.kivlog") << "rien";
        std::ofstream(m_dossier / "robot.scn") << "depart 100 100 0\n";
    }

    FinProgramme lancer(const std::string& programme, const std::vector<std::string>& arguments)
    {
        return executerProgramme(programme, arguments, m_dossier.chemin());
    }

    /** Status 1, and the error stream's last line is `ligne`. */
    static void refuse(const FinProgramme& fin, const std::string& ligne)
    {
        EXPECT_EQ(fin.statut, 1) << fin.erreur;
        EXPECT_EQ(fin.signal, 0) << "no abort";
        const std::string derniere = fin.erreur.substr(
            fin.erreur.rfind('\n', fin.erreur.size() >= 2 ? fin.erreur.size() - 2 : 0) + 1);
        EXPECT_EQ(derniere, ligne + "\n") << fin.erreur;
    }

    RepertoireTemporaire m_dossier;
};

TEST_F(OutilsHostiles, AFifoAFolderOrADeviceIsAFileThatCannotBeOpened)
{
    refuse(lancer(KIV_LOG_PATH, {"tube"}), "kiv-log: tube ne peut pas être ouvert : c'est un tube "
                                           "(FIFO)");
    refuse(lancer(KIV_LOG_PATH, {"/dev/zero", "--csv"}),
           "kiv-log: /dev/zero ne peut pas être ouvert : c'est un périphérique");
    refuse(lancer(KIV_LOG_PATH, {"rien.kivlog", "--csv", "--weights", "tube"}),
           "kiv-log: Erreur d'ouverture du fichier de poids (tube) : c'est un tube (FIFO)");
    refuse(lancer(KIV_BEACONS_PATH, {"generate", "--geometry", "tube"}),
           "kiv-beacons: tube: c'est un tube (FIFO)");
    refuse(lancer(KIV_BEACONS_PATH, {"generate", "--geometry", "dossier"}),
           "kiv-beacons: dossier: c'est un dossier");
    refuse(lancer(KIV_BEACONS_PATH, {"check", "--weights", "tube"}),
           "kiv-beacons: Erreur d'ouverture du fichier de poids (tube)");
    refuse(lancer(KIV_ROBOT_PATH, {"tube"}), "kiv-robot: tube: c'est un tube (FIFO)");
    refuse(lancer(KIV_ROBOT_PATH, {"dossier"}), "kiv-robot: dossier: c'est un dossier");
    refuse(lancer(KIV_ROBOT_PATH, {"--geometry", "dossier", "robot.scn"}),
           "kiv-robot: dossier: c'est un dossier");
    refuse(lancer(KIV_TRAIN_PATH, {"--weights", "tube", "--eval", "0.15", "0.15", "0.15"}),
           "kiv-train: Erreur d'ouverture du fichier de poids (tube)");
    refuse(lancer(KIV_TRAIN_PATH, {"--params", "tube", "--data", "dossier", "--out", "o.wgh"}),
           "kiv-train: Erreur d'ouverture du fichier de paramètres (tube)");
    EXPECT_FALSE(fs::exists(m_dossier.chemin() / "o.wgh"));
}

TEST_F(OutilsHostiles, AFileOfTheWrongKindIsToldNeverAnAbort)
{
    // Parameters given as weights: the reader's error left the tools as an
    // exception nobody caught (status 134).
    refuse(lancer(KIV_LOG_PATH, {"rien.kivlog", "--csv", "--weights", kParametres}),
           "kiv-log: " + kParametres + ":1: Format invalide!");
    refuse(lancer(KIV_BEACONS_PATH, {"check", "--weights", kParametres}),
           "kiv-beacons: " + kParametres + ":1: Format invalide!");
}

TEST_F(OutilsHostiles, ImpossibleGeometriesAndStepsAreRefused)
{
    // Four beacons at one place: 1444 examples were written, status 0.
    std::ofstream(m_dossier / "meme.geo")
        << "balise 100 100\nbalise 100 100\nbalise 100 100\nbalise 100 100\n";
    refuse(lancer(KIV_BEACONS_PATH, {"generate", "--geometry", "meme.geo"}),
           "kiv-beacons: meme.geo, les balises 1 et 2 sont au même endroit (à moins de 1 cm) : le "
           "robot ne distingue plus leurs tirs");
    EXPECT_FALSE(fs::exists(m_dossier.chemin() / "meme.dat"));
    refuse(lancer(KIV_ROBOT_PATH, {"--geometry", "meme.geo", "robot.scn"}),
           "kiv-robot: meme.geo, les balises 1 et 2 sont au même endroit (à moins de 1 cm) : le "
           "robot ne distingue plus leurs tirs");

    // A step that is no number, or leaves less than a grid (inf wrote one example).
    for (const char* pas : {"inf", "nan", "0.5", "471", "12cm", ""}) {
        const FinProgramme fin =
            lancer(KIV_BEACONS_PATH, {"generate", "--dir", ".", "--step", pas});
        EXPECT_EQ(fin.statut, 2) << pas;
        EXPECT_EQ(fin.erreur.rfind(std::string("kiv-beacons: --step takes a number of cm from 1 "
                                               "to 470, not \"") +
                                       pas + "\"\n",
                                   0),
                  0u)
            << fin.erreur;
        EXPECT_FALSE(fs::exists(m_dossier.chemin() / "beacons.dat")) << pas;
    }
    // A limit that is no number would never be passed.
    const FinProgramme limite =
        lancer(KIV_BEACONS_PATH, {"check", "--weights", kPoids, "--max-rms", "nan"});
    EXPECT_EQ(limite.statut, 2);
    EXPECT_EQ(limite.erreur.rfind("kiv-beacons: --max-rms takes a number of cm, 0 or more, not "
                                  "\"nan\"\n",
                                  0),
              0u)
        << limite.erreur;
}

TEST_F(OutilsHostiles, AGeometryNamedWithALineEndStillMakesAReadableSet)
{
    // The name goes into a comment line of the set: a line end in it broke
    // the comment and the set no longer read.
    const std::string nom = "deux\nlignes.geo";
    std::ofstream(m_dossier / nom) << "intervalle 183\n";
    const FinProgramme fin =
        lancer(KIV_BEACONS_PATH, {"generate", "--geometry", nom, "--step", "100"});
    ASSERT_EQ(fin.statut, 0) << fin.erreur;
    std::ifstream dat(m_dossier / "deux\nlignes.dat", std::ios::binary);
    const std::string texte((std::istreambuf_iterator<char>(dat)),
                            std::istreambuf_iterator<char>());
    EXPECT_NE(texte.find("# Geometry (deux\\x0Alignes.geo):\r\n"), std::string::npos) << texte;
    const FinProgramme test =
        lancer(KIV_TRAIN_PATH, {"--weights", kPoids, "--test", "deux\nlignes.dat"});
    EXPECT_EQ(test.statut, 0) << test.erreur;
}

} // namespace
