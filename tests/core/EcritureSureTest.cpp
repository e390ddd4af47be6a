// Files replaced safely: the bytes and the mode, links planted at the
// temporary names, links at the target, targets that are no file, and
// every way a write fails (no folder, a read-only folder, a full disk, an
// error half-way) keeping the previous file and saying why.
#include "core/EcritureSure.h"
#include "support/ProcessusFils.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kiv_test::ecrireOctets;
using kiv_test::lireOctets;

std::uint64_t g_suivant = 0;

/** Predictable temporary names: 1, 2, 3 ... */
std::uint64_t aleaPrevisible()
{
    return ++g_suivant;
}

unsigned mode(const std::string& chemin)
{
    struct stat etat {};
    return ::lstat(chemin.c_str(), &etat) == 0 ? etat.st_mode & 07777 : 0;
}

class EcritureSureTest : public ::testing::Test {
protected:
    void TearDown() override { ecriture_sure::definirAlea(nullptr); }

    kiv_test::RepertoireTemporaire dossier;
};

} // namespace

TEST_F(EcritureSureTest, NewAndReplacedFilesHoldTheBytesTheirModeAndNothingElse)
{
    const std::string chemin = dossier / "f.txt";
    std::string raison = "?";
    ASSERT_TRUE(ecrireFichierSur(chemin, "premier\r\n", &raison));
    EXPECT_EQ(raison, "?") << "untouched on success";
    EXPECT_EQ(lireOctets(chemin), "premier\r\n");
    const mode_t masque = ::umask(0);
    ::umask(masque);
    EXPECT_EQ(mode(chemin), 0666u & ~masque) << "a new file as any new file";

    // A replaced file keeps its mode, however private or open it was.
    for (const unsigned m : {0640u, 0600u, 0664u}) {
        ASSERT_EQ(::chmod(chemin.c_str(), m), 0);
        ASSERT_TRUE(ecrireFichierSur(chemin, std::string(40000, 'x')));
        EXPECT_EQ(mode(chemin), m);
    }
    EXPECT_EQ(lireOctets(chemin), std::string(40000, 'x'));

    // Through the stream: more than its buffer, in pieces small and large.
    {
        FluxSur flux(chemin);
        for (int k = 0; k < 5000; ++k) {
            flux << k << ' ';
        }
        flux << std::string(70000, 'y');
        ASSERT_TRUE(flux.valider()) << flux.raison();
    }
    const std::string lu = lireOctets(chemin);
    EXPECT_EQ(lu.substr(0, 8), "0 1 2 3 ");
    EXPECT_EQ(lu.size(), 23890u + 70000u);
    EXPECT_EQ(dossier.entrees(), std::vector<std::string>{"f.txt"}) << "no temporary file left";
}

TEST_F(EcritureSureTest, LinksPlantedAtTheTemporaryNamesAreNeverFollowed)
{
    const std::string victime = dossier / "victime.txt";
    ecrireOctets(victime, "à garder");
    const std::string chemin = dossier / "terrain.kiv";
    ecrireOctets(chemin, "ancien");

    // Links at the first names the writer will try, dangling ones included.
    ecriture_sure::definirAlea(aleaPrevisible);
    g_suivant = 0;
    for (std::uint64_t k = 1; k <= 3; ++k) {
        const std::string piege = ecriture_sure::nomTemporaire(chemin, k);
        EXPECT_EQ(fs::path(piege).parent_path(), dossier.chemin()) << "beside the target";
        const std::string cible = k == 2 ? std::string(dossier / "absent.txt") : victime;
        fs::create_symlink(cible, piege);
    }
    ASSERT_TRUE(ecrireFichierSur(chemin, "nouveau"));
    EXPECT_EQ(lireOctets(chemin), "nouveau");
    EXPECT_EQ(lireOctets(victime), "à garder");
    EXPECT_FALSE(fs::exists(dossier / "absent.txt"));
    EXPECT_FALSE(fs::is_symlink(chemin));
    EXPECT_EQ(dossier.entrees().size(), 5u) << "the target, the victim and the three links";

    // Without the predictable source, names differ from one write to the next.
    ecriture_sure::definirAlea(nullptr);
    EXPECT_NE(ecriture_sure::nomTemporaire(chemin, 1), ecriture_sure::nomTemporaire(chemin, 2));
}

TEST_F(EcritureSureTest, ALinkOfTheUsersOwnIsWrittenThroughAndAnyOtherIsReplaced)
{
    fs::create_directory(dossier / "reglages");
    const std::string vrai = dossier / "reglages/vrai.ini";
    ecrireOctets(vrai, "ancien");
    ASSERT_EQ(::chmod(vrai.c_str(), 0640), 0);
    const std::string lien = dossier / "scom.ini";
    fs::create_symlink("reglages/vrai.ini", lien); // relative to the link's folder

    EcritureSure ecriture(lien);
    EXPECT_EQ(ecriture.cible(), dossier / "reglages/vrai.ini");
    ASSERT_TRUE(ecriture.ecrire("nouveau", 7));
    ASSERT_TRUE(ecriture.valider());
    EXPECT_TRUE(fs::is_symlink(lien));
    EXPECT_EQ(lireOctets(vrai), "nouveau");
    EXPECT_EQ(mode(vrai), 0640u);

    // A link someone else made: the writer replaces it and never writes
    // through it. Only root can give a link away; others check the rest.
    const std::string autrui = dossier / "autrui.ini";
    fs::create_symlink(vrai, autrui);
    if (::geteuid() == 0) {
        ASSERT_EQ(::lchown(autrui.c_str(), 65534, 65534), 0);
        ASSERT_TRUE(ecrireFichierSur(autrui, "remplace"));
        EXPECT_FALSE(fs::is_symlink(autrui));
        EXPECT_EQ(lireOctets(autrui), "remplace");
        EXPECT_EQ(lireOctets(vrai), "nouveau");
    }

    // A chain of links that loops ends in an error, not a hang.
    fs::create_symlink("boucle2", dossier / "boucle1");
    fs::create_symlink("boucle1", dossier / "boucle2");
    std::string raison;
    EXPECT_FALSE(ecrireFichierSur(dossier / "boucle1", "x", &raison));
    EXPECT_EQ(raison, std::strerror(ELOOP));
}

TEST_F(EcritureSureTest, TargetsThatAreNoFileAreRefusedAndStayAsTheyWere)
{
    fs::create_directory(dossier / "dossier");
    ecrireOctets(dossier / "dossier/garde", "x");
    ASSERT_EQ(::mkfifo((dossier / "tube").c_str(), 0600), 0);

    std::string raison;
    EXPECT_FALSE(ecrireFichierSur(dossier / "dossier", "y", &raison));
    EXPECT_EQ(raison, std::strerror(EISDIR));
    EXPECT_EQ(lireOctets(dossier / "dossier/garde"), "x");
    EXPECT_FALSE(ecrireFichierSur(dossier / "tube", "y", &raison));
    EXPECT_EQ(raison, "ce n'est pas un fichier ordinaire");
    EXPECT_TRUE(fs::is_fifo(dossier / "tube"));
    EXPECT_EQ(dossier.entrees(), (std::vector<std::string>{"dossier", "tube"}));
}

TEST_F(EcritureSureTest, EveryFailureKeepsThePreviousFileAndSaysWhy)
{
    const std::string chemin = dossier / "poids.wgh";
    const std::string ancien(3000, 'a');
    ecrireOctets(chemin, ancien);

    // No such folder; a folder that is a file.
    std::string raison;
    EXPECT_FALSE(ecrireFichierSur(dossier / "absent/f", "x", &raison));
    EXPECT_EQ(raison, std::strerror(ENOENT));
    EXPECT_FALSE(ecrireFichierSur(chemin + "/f", "x", &raison));
    EXPECT_EQ(raison, std::strerror(ENOTDIR));

    // A full disk: the file-size limit stops the write part-way.
    EXPECT_EQ(kiv_test::dansUnFils([&] {
                  if (!kiv_test::limiterTailleFichiers(1000)) {
                      return 10;
                  }
                  std::string pourquoi;
                  if (ecrireFichierSur(chemin, std::string(5000, 'b'), &pourquoi)) {
                      return 11;
                  }
                  return pourquoi == std::strerror(EFBIG) ? 0 : 12;
              }),
              0);
    EXPECT_EQ(lireOctets(chemin), ancien);

    // A folder nobody may write in (root is made nobody for the test).
    fs::create_directory(dossier / "lecture");
    const std::string protege = dossier / "lecture/p.prm";
    ecrireOctets(protege, "gardé");
    ASSERT_EQ(::chmod((dossier / "lecture").c_str(), 0555), 0);
    EXPECT_EQ(kiv_test::dansUnFils([&] {
                  if (!kiv_test::sansPrivileges()) {
                      return 10;
                  }
                  FluxSur flux(protege);
                  flux << "nouveau";
                  if (flux.valider()) {
                      return 11;
                  }
                  return flux.raison() == std::strerror(EACCES) ? 0 : 12;
              }),
              0);
    ::chmod((dossier / "lecture").c_str(), 0755);
    EXPECT_EQ(lireOctets(protege), "gardé");

    // An error thrown half-way: the stream is dropped, never put in place.
    try {
        FluxSur flux(chemin);
        flux << std::string(20000, 'c');
        throw std::runtime_error("interrompu");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(lireOctets(chemin), ancien);
    EXPECT_EQ(dossier.entrees(), (std::vector<std::string>{"lecture", "poids.wgh"}))
        << "no temporary file left behind";
}
