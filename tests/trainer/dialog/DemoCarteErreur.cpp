// Draws the trainer's error map of a network over a set, as "Carte
// d'erreur..." shows it, into a PNG: the screenshot of the manual's
// calibration section (scripts/screenshot-calibration.sh).
#include "core/scripted/ScriptedPlatform.h"
#include "trainer/ErreurEnsemble.h"
#include "trainer/Preparation.h"
#include "trainer/ReseauNeurones.h"
#include "trainer/dialog/CarteErreurDlg.h"
#include "world/RobotReports.h"

#include <QApplication>

#include <cstdio>
#include <exception>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fputs("usage: kiv_carte_erreur_demo POIDS.wgh ENSEMBLE.dat TITRE SORTIE.png\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    ScriptedPlatform plateforme;
    setPlatform(&plateforme);
    int status = 0;
    try {
        ReseauNeurones reseau;
        reseau.LirePoids(argv[1]);
        std::ifstream fichier(argv[2], std::ios::binary);
        const Table1D<Exemple> ensemble = lireEnsemble(fichier);
        std::vector<ErreurExemple> resultats;
        if (!testerEnsemble(reseau, ensemble, CoordonneeDeSortie, resultats)) {
            status = 1;
        } else {
            CarteErreurDlg dlg(resultats, QString::fromLocal8Bit(argv[3]));
            if (!dlg.image().save(QString::fromLocal8Bit(argv[4]))) {
                status = 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kiv_carte_erreur_demo: %s\n", e.what());
        status = 1;
    }
    setPlatform(nullptr);
    return status;
}
