// kiv-log's summary of the whole fields a log holds (kind 8).
#include "link/recorder/FormatJournal.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

TEST(KivLog, TheSummaryListsEachWholeFieldRecorded)
{
    kiv_test::RepertoireTemporaire dossier;
    const auto enregistrement = [](std::uint64_t temps, journal::Genre genre,
                                   const std::string& charge) {
        std::string e(journal::TailleEnteteEnregistrement, '\0');
        journal::encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps, genre,
                                       charge.size());
        return e + charge;
    };
    const auto terrain = [](const journal::EtatTerrain& t) {
        std::string charge(journal::TailleTerrain, '\0');
        journal::encoderTerrain(reinterpret_cast<std::uint8_t*>(charge.data()), t);
        return charge;
    };
    journal::EtatTerrain depart;
    depart.cellules[3][4] = 1;
    depart.robotX = 25;
    depart.robotY = 25;
    journal::EtatTerrain ouvert;
    ouvert.cellules[0][0] = 3;
    ouvert.cellules[1][1] = 3;
    ouvert.cellules[5][5] = 1;
    ouvert.cellules[6][5] = 1;
    ouvert.robotX = 120;
    ouvert.robotY = 80;
    ouvert.destinationPlacee = true;
    ouvert.destinationX = 450;
    ouvert.destinationY = 460;
    ouvert.banditVisible = true;
    ouvert.banditX = 100;
    ouvert.banditY = 75;
    ouvert.quadrillage = true;
    std::string octets(journal::TailleEntete, '\0');
    journal::encoderEntete(reinterpret_cast<std::uint8_t*>(octets.data()), 0);
    octets += enregistrement(0, journal::Genre::Terrain, terrain(depart)) +
              enregistrement(0, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1") +
              enregistrement(2500000, journal::Genre::Terrain, terrain(ouvert));
    const std::string fichier = dossier / "terrains.kivlog";
    std::ofstream(fichier, std::ios::binary) << octets;
    std::string sortie;
    if (FILE* p = ::popen((KIV_LOG_PATH " " + fichier).c_str(), "r")) {
        char tampon[512];
        while (std::fgets(tampon, sizeof tampon, p)) {
            sortie += tampon;
        }
        ::pclose(p);
    }
    EXPECT_NE(sortie.find("     0.000 s  terrain : 1 obstacle posé, 0 trouvé, robot (25, 25) cm, "
                          "sans destination\n"
                          "     0.000 s  lien : ouvert COM1 9600 bauds 8N1\n"
                          "     2.500 s  terrain : 2 obstacles posés, 2 trouvés, robot (120, 80) "
                          "cm, destination (450, 460) cm, bandit (100, 75) cm, quadrillage\n"),
              std::string::npos)
        << sortie;
    EXPECT_NE(sortie.find("3 enregistrements"), std::string::npos) << sortie;
}
