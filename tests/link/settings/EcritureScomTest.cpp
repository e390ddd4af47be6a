// The settings file as written: exact bytes, replacement in one step, failures.
#include "link/settings/EcritureScom.h"
#include "../FichiersScom.h"
#include "link/settings/LectureScom.h"
#include "link/settings/Port.h"
#include "support/PiegesTemporaires.h"
#include "support/ProcessusFils.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace {

using namespace kiv_test;

TEST(EcritureScom, HuitLignesOctetPourOctet)
{
    const std::string attendu = ";scom.ini\r\n"
                                ";fichier de configuration des ports s\xE9ries\r\n"
                                "\r\n"
                                "[OPTIONS]\r\n"
                                "Last Port = 1\r\n"
                                "\r\n"
                                "[Port#1]\r\n"
                                "Baud Rate = 9600\r\n";
    EXPECT_EQ(texteScom({1, 9600}), attendu);

    DossierScom dossier;
    ASSERT_TRUE(ecrireScom({3, 19200}, dossier / "scom.ini"));
    EXPECT_EQ(lireOctets(dossier / "scom.ini"), scomAttendu("3", "19200"));
    EXPECT_EQ(dossier.entrees(), std::vector<std::string>{"scom.ini"});
}

TEST(EcritureScom, RelueParLesDeuxLecteurs)
{
    DossierScom dossier;
    for (const PortSettings& r : {PortSettings{4, 38400}, PortSettings{1, 110}, PortSettings{2, 0},
                                  PortSettings{0, 2147483647}}) {
        ASSERT_TRUE(ecrireScom(r, dossier / "scom.ini"));
        Port port;
        port.lire(dossier / "scom.ini");
        EXPECT_EQ(port.port, r.port);
        EXPECT_EQ(port.baud, r.baud);
        const ReglagesCommDlg dlg = lireReglagesCommDlg(dossier / "scom.ini");
        EXPECT_EQ(dlg.indexPort, r.port - 1);
        EXPECT_EQ(dlg.baud, r.baud);
    }
}

TEST(EcritureScom, RemplaceUnFichierPlusLong)
{
    DossierScom dossier;
    ecrireOctets(dossier / "scom.ini", std::string(5000, 'A'));
    ASSERT_TRUE(ecrireScom({2, 4800}, dossier / "scom.ini"));
    EXPECT_EQ(lireOctets(dossier / "scom.ini"), scomAttendu("2", "4800"));
}

TEST(EcritureScom, EchecSansRienLaisser)
{
    DossierScom dossier;
    EXPECT_FALSE(ecrireScom({1, 9600}, dossier / "absent/scom.ini"));

    // The target cannot be replaced (a non-empty folder holds its name): the
    // folder stays as it was and no temporary file is left beside it.
    std::filesystem::create_directory(dossier / "scom.ini");
    ecrireOctets(dossier / "scom.ini/garde", "x");
    EXPECT_FALSE(ecrireScom({1, 9600}, dossier / "scom.ini"));
    EXPECT_EQ(dossier.entrees(), std::vector<std::string>{"scom.ini"});
    EXPECT_EQ(lireOctets(dossier / "scom.ini/garde"), "x");
}

TEST(EcritureScom, EcritureInterrompueLaisseLAncienFichier)
{
    // A file-size limit below the file's size makes the write itself fail
    // part-way, as a full disk would; in a child, so the limit stays there.
    DossierScom dossier;
    ecrireOctets(dossier / "scom.ini", scomAttendu("4", "300"));
    EXPECT_EQ(dansUnFils([&] {
                  std::string raison;
                  if (!limiterTailleFichiers(40) ||
                      ecrireScom({1, 9600}, dossier / "scom.ini", &raison)) {
                      return 10;
                  }
                  return raison == std::strerror(EFBIG) ? 0 : 11;
              }),
              0);
    EXPECT_EQ(lireOctets(dossier / "scom.ini"), scomAttendu("4", "300"));
    EXPECT_EQ(dossier.entrees(), std::vector<std::string>{"scom.ini"});
}

TEST(EcritureScom, UnLienVersLeFichierEstSuiviEtLeModeGarde)
{
    // The operator keeps the settings elsewhere and links them here.
    DossierScom dossier;
    std::filesystem::create_directory(dossier / "config");
    const std::string vrai = dossier / "config/scom.ini";
    ecrireOctets(vrai, scomAttendu("4", "300"));
    ASSERT_EQ(::chmod(vrai.c_str(), 0640), 0);
    std::filesystem::create_symlink("config/scom.ini", dossier / "scom.ini");

    ASSERT_TRUE(ecrireScom({2, 19200}, dossier / "scom.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(dossier / "scom.ini"));
    EXPECT_EQ(lireOctets(vrai), scomAttendu("2", "19200"));
    struct stat etat {};
    ASSERT_EQ(::stat(vrai.c_str(), &etat), 0);
    EXPECT_EQ(etat.st_mode & 07777, 0640u);

    // Links planted at the temporary names are never followed.
    const std::string victime = dossier / "victime";
    ecrireOctets(victime, "à garder");
    const PiegesTemporaires pieges(vrai, victime);
    ASSERT_TRUE(ecrireScom({3, 38400}, dossier / "scom.ini"));
    EXPECT_TRUE(pieges.victimeIntacte());
    EXPECT_EQ(lireOctets(vrai), scomAttendu("3", "38400"));
}

} // namespace
