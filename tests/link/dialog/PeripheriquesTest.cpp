// The serial devices of the machine: labels and the stable paths found through links.
#include "../FichiersScom.h"
#include "link/dialog/PeripheriquesSerie.h"

#include <filesystem>

namespace {

using namespace kiv_test;
namespace fs = std::filesystem;

TEST(PeripheriquesSerie, CheminsStablesParLesLiens)
{
    DossierScom d;
    fs::create_directories(d.chemin() / "dev/serial/by-id");
    fs::create_directories(d.chemin() / "dev/serial/by-path");
    ecrireOctets(d / "dev/ttyUSB0", "");
    ecrireOctets(d / "dev/ttyUSB1", "");
    ecrireOctets(d / "dev/ttyS0", "");
    // Relative links, as the system makes them, one through another link.
    fs::create_directory_symlink("dev", d.chemin() / "raccourci");
    fs::create_symlink("../../ttyUSB1", d.chemin() / "dev/serial/by-path/pci-0-usb-0:1");
    fs::create_symlink("../../ttyUSB0", d.chemin() / "dev/serial/by-id/usb-FTDI_A1-if00-port0");
    fs::create_symlink("../by-path/pci-0-usb-0:1", d.chemin() / "dev/serial/by-id/usb-Prolific_B2");
    fs::create_symlink("../../ttyUSB9", d.chemin() / "dev/serial/by-id/usb-debranche");

    const QString racine = QString::fromStdString(d.chemin().string());
    QList<PeripheriqueSerie> liste = {
        {"ttyUSB0", "FT232R USB UART", "FTDI", racine + "/dev/ttyUSB0", ""},
        {"ttyUSB1", "", "Prolific", racine + "/raccourci/ttyUSB1", ""},
        {"ttyS0", "", "", racine + "/dev/ttyS0", ""},
    };
    associerCheminsStables(liste, racine + "/dev/serial/by-id");
    EXPECT_EQ(liste[0].cheminStable, racine + "/dev/serial/by-id/usb-FTDI_A1-if00-port0");
    EXPECT_EQ(liste[1].cheminStable, racine + "/dev/serial/by-id/usb-Prolific_B2");
    EXPECT_EQ(liste[2].cheminStable, QString());
    EXPECT_EQ(liste[0].reference(), liste[0].cheminStable);
    EXPECT_EQ(liste[2].reference(), racine + "/dev/ttyS0");

    EXPECT_EQ(peripheriqueReel(racine + "/dev/serial/by-id/usb-debranche"), QString());
    EXPECT_EQ(liste[1].libelle(), QStringLiteral("ttyUSB1 (Prolific)"));
    EXPECT_TRUE(liste[0].details().contains(QStringLiteral("Fabricant : FTDI")));

    // No such folder (no adapter plugged since boot): nothing found, nothing broken.
    associerCheminsStables(liste, racine + "/absent");
    EXPECT_EQ(liste[2].cheminStable, QString());
}

} // namespace
