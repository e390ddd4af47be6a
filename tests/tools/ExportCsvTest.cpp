// kiv-log: the CSV of a session log, row by row, and the program as the
// user runs it (the bundled network by default).
#include "ExportCsv.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/protocol/RobotProtocol.h"
#include "link/recorder/FormatJournal.h"
#include "world/BeaconModel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
