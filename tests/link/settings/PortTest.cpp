// Port: the link's reading of the settings file.
#include "link/settings/Port.h"
#include "../FichiersScom.h"
#include "core/scripted/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include "link/settings/LectureScom.h"

#include <climits>
#include <filesystem>
#include <sys/stat.h>

namespace {

using namespace kiv_test;

class PortTest : public ::testing::Test {
protected:
    void SetUp() override { scripted().clear(); }
    static ScriptedPlatform& scripted() { return static_cast<ScriptedPlatform&>(platform()); }

    /** Reads `octets` as the settings file; expects no message. */
    Port lire(const std::string& octets)
    {
        ecrireOctets(m_dossier / "scom.ini", octets);
        Port port;
        EXPECT_EQ(port.lire(m_dossier / "scom.ini"), 1);
        EXPECT_TRUE(scripted().messages().empty());
        return port;
    }

    DossierScom m_dossier;
};

TEST_F(PortTest, FichierDuDialogue)
{
    const Port port = lire(scomAttendu("3", "19200"));
    EXPECT_EQ(port.port, 3);
    EXPECT_EQ(port.baud, 19200);
    EXPECT_EQ(port.reglages().baud, 19200);
}

TEST_F(PortTest, FichierAbsentMessageEtDefauts)
{
    Port port;
    EXPECT_EQ(port.lire(m_dossier / "scom.ini"), 1);
    EXPECT_EQ(port.port, 1);
    EXPECT_EQ(port.baud, 1200);
    ASSERT_EQ(scripted().messages().size(), 1u);
    const auto m = scripted().messages()[0];
    // The second line says what is used instead and how to keep settings.
    EXPECT_EQ(m.text, "Impossible d'ouvrir le fichier SCOM.INI.\nLe port COM1 à 1200 bauds est "
                      "utilisé ; « Port série » (menu Paramètres) enregistre vos réglages.");
    EXPECT_EQ(m.caption, "Lecture des paramètres");
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
    EXPECT_EQ(m.icon, MessageIcon::Exclamation);

    // A folder of that name is no file either.
    scripted().clear();
    std::filesystem::create_directory(m_dossier / "scom.ini");
    port.lire(m_dossier / "scom.ini");
    EXPECT_EQ(scripted().messages().size(), 1u);

    // A stream whose reading fails reads as an empty file.
    std::ifstream dossier(m_dossier / "scom.ini");
    EXPECT_EQ(port.lire(dossier), 1);
    EXPECT_EQ(port.baud, 1200);
}

TEST_F(PortTest, SansOptionsLesDefautsMemeAvecUnDebit)
{
    const Port port = lire(";scom.ini\r\n\r\n[Port#1]\r\nBaud Rate = 9600\r\n");
    EXPECT_EQ(port.port, 1);
    EXPECT_EQ(port.baud, 1200);
}

TEST_F(PortTest, PremiereLigneIgnoreeOptionsManque)
{
    const std::string texte = "[OPTIONS]\r\nLast Port = 4\r\n\r\n[Port#1]\r\nBaud Rate = 300\r\n";
    const Port port = lire(texte);
    EXPECT_EQ(port.port, 1);
    EXPECT_EQ(port.baud, 1200);
}

TEST_F(PortTest, FinsDeLigneLfEtLettresDansLeDebit)
{
    const Port port = lire(";scom.ini\n;c\n\n[OPTIONS]\nLast Port = 2\n\n[Port#1]\n"
                           "Baud Rate = 9600 bps\n");
    EXPECT_EQ(port.port, 2);
    EXPECT_EQ(port.baud, 9600000);
}

TEST_F(PortTest, LigneDe200CaracteresEtValeursHorsBornes)
{
    // The tail of the long line holds "[OPTIONS]": it is no line of its own.
    std::string texte = ";" + std::string(98, '-') + "[OPTIONS]" + std::string(92, '-') + "\n";
    texte += "Last Port = 7\n[OPTIONS]\nLast Port = 99999999999\n[Port#1]\nBaud Rate = 0\n";
    const Port port = lire(texte);
    EXPECT_EQ(port.port, INT_MAX);
    EXPECT_EQ(port.baud, 0);
}

TEST_F(PortTest, OctetsQuelconques)
{
    std::string bruit;
    unsigned graine = 12345;
    for (int i = 0; i < 4096; ++i) {
        graine = graine * 1103515245u + 12345u;
        bruit.push_back(static_cast<char>(graine >> 16));
    }
    const Port port = lire(bruit);
    EXPECT_EQ(port.port, 1);
    EXPECT_EQ(port.baud, 1200);

    // Garbage around well-formed sections: the sections still count.
    const Port melange = lire(bruit +
                              "\n[OPTIONS]\n\x01\x02=\xff"
                              "4\n" +
                              bruit);
    EXPECT_EQ(melange.port, 4);
}

} // namespace

TEST_F(PortTest, AFifoADeviceOrALinkToOneIsNoSettingsFile)
{
    // Neither blocks (a FIFO nobody writes to) nor reads without end
    // (/dev/zero behind a link); both say what a missing file says, and
    // the port dialog starts from its defaults.
    const auto fifo = m_dossier / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto zero = m_dossier / "zero.ini";
    std::filesystem::create_symlink("/dev/zero", zero);
    for (const auto& chemin : {fifo, zero}) {
        scripted().clear();
        Port port;
        port.port = 4;
        EXPECT_EQ(port.lire(chemin), 1);
        EXPECT_EQ(port.port, 4) << "the fields stay as they were";
        ASSERT_EQ(scripted().messages().size(), 1u) << chemin;
        EXPECT_EQ(scripted().messages()[0].text,
                  "Impossible d'ouvrir le fichier SCOM.INI.\nLe port COM4 à 1200 bauds est "
                  "utilisé ; « Port série » (menu Paramètres) enregistre vos réglages.");
        EXPECT_EQ(lireReglagesCommDlg(chemin).indexPort, 1);
    }

    // A link to a real settings file is followed.
    ecrireOctets(m_dossier / "vrai.ini", scomAttendu("2", "4800"));
    std::filesystem::create_symlink(m_dossier / "vrai.ini", m_dossier / "lien.ini");
    Port port;
    port.lire(m_dossier / "lien.ini");
    EXPECT_EQ(port.baud, 4800);

    // Only the start of a huge file is read: settings past it are not seen.
    std::string enorme(TailleMaxScom, ';');
    enorme += "\n[OPTIONS]\nLast Port = 3\n";
    scripted().clear();
    Port loin = lire(scomAttendu("2", "9600") + enorme);
    EXPECT_EQ(loin.port, 2);
}
