// The robot's end of the line: a device it opens (a terminal in raw mode
// that answers 0 bytes when nothing is there), and the symbolic link it
// makes to its own pseudo-terminal, never over someone else's file.
#include "robot/Liaison.h"
#include "robot/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using robotsim::Liaison;

fs::path dossierDuTest()
{
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    fs::path d = fs::path(testing::TempDir()) /
                 ("kiv_liaison_" + std::to_string(::getpid()) + "_" + test->name());
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

TEST(Liaison, ADeviceWithNothingToReadIsStillThere)
{
    // The console's side of a pseudo-terminal pair plays the far end.
    robotsim::PairePty paire;
    std::string erreur;
    ASSERT_TRUE(robotsim::ouvrirPty(paire, false, erreur)) << erreur;
    const int maitre = paire.maitre;
    auto liaison = Liaison::ouvrir(paire.nom, erreur);
    ASSERT_TRUE(liaison) << erreur;
    std::atomic<bool> arret{false};
    EXPECT_TRUE(liaison->attendreConnexion(arret));

    std::vector<std::uint8_t> recus;
    EXPECT_TRUE(liaison->lireDisponibles(recus)) << "no byte yet is no end of the line";
    EXPECT_EQ(liaison->lire(recus, 50, arret), Liaison::Resultat::Delai);
    ASSERT_EQ(::write(maitre, "\x81\x82", 2), 2);
    EXPECT_EQ(liaison->lire(recus, 5000, arret), Liaison::Resultat::Octets);
    const std::uint8_t octets[] = {1, 2, 3};
    EXPECT_TRUE(liaison->ecrire(octets, 3, arret));
    char lu[8] = {};
    EXPECT_EQ(::read(maitre, lu, sizeof lu), 3);

    // The far end goes away: now it is the end.
    ::close(maitre);
    EXPECT_EQ(liaison->lire(recus, 5000, arret), Liaison::Resultat::Partie);
    EXPECT_EQ(recus, (std::vector<std::uint8_t>{0x81, 0x82}));
}

TEST(Liaison, TheLinkReplacesOnlyADeadLinkAndGoesOnlyIfStillItsOwn)
{
    const fs::path d = dossierDuTest();
    std::string erreur;

    // A regular file and another robot's live link are left alone.
    {
        std::ofstream(d / "fichier") << "someone's";
    }
    EXPECT_FALSE(Liaison::creerPty((d / "fichier").string(), erreur));
    EXPECT_EQ(erreur, (d / "fichier").string() + " existe et n'est pas un lien symbolique");
    auto autre = Liaison::creerPty((d / "robot").string(), erreur);
    ASSERT_TRUE(autre) << erreur;
    EXPECT_FALSE(Liaison::creerPty((d / "robot").string(), erreur));
    EXPECT_EQ(fs::read_symlink(d / "robot"), autre->nom());

    // A link left by a robot that ended (it leads nowhere) is taken over.
    fs::create_symlink("/dev/pts/kiv-plus-la", d / "ancien");
    auto repris = Liaison::creerPty((d / "ancien").string(), erreur);
    ASSERT_TRUE(repris) << erreur;
    EXPECT_EQ(fs::read_symlink(d / "ancien"), repris->nom());
    repris.reset();
    EXPECT_FALSE(fs::exists(fs::symlink_status(d / "ancien")));

    // At the end, a link that is no longer its own stays: a file put in its
    // place, or a link made again by someone else.
    fs::remove(d / "robot");
    {
        std::ofstream(d / "robot") << "replaced";
    }
    autre.reset();
    EXPECT_TRUE(fs::is_regular_file(d / "robot"));
    EXPECT_TRUE(fs::is_regular_file(d / "fichier"));
    fs::remove_all(d);
}

} // namespace
