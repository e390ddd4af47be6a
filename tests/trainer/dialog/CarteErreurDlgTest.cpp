// "Tester un ensemble..." in the trainer window and the error map it opens:
// the button's states, the figures, the picture's colours and scale, and
// the PNG saved on demand.
#include "trainer/dialog/CarteErreurDlg.h"
#include "OutilsDialogue.h"
#include "trainer/ReseauOutils.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

using namespace kiv_test;

namespace {

const char* const kQuatre = "(4)\n"
                            "(3,1) 0.15 0.15 0.15 (2,1) 200 200\n"
                            "(3,1) 0.14 0.15 0.16 (2,1) 203 204\n"
                            "(3,1) 0.16 0.15 0.14 (2,1) 200 190\n"
                            "(3,1) 0.15 0.16 0.14 (2,1) 212 195\n";

int tronquer(double v)
{
    return static_cast<int>(v);
}

class CarteErreurTest : public testing::Test {
protected:
    void SetUp() override
    {
        scripted().clear();
        std::ofstream(dossier / "c.wgh") << kPoidsConstants;
        std::ofstream(dossier / "t.dat") << kQuatre;
        dlg.show();
    }

    QPushButton* bouton() { return dlg.findChild<QPushButton*>(QStringLiteral("id1027")); }
    std::vector<std::string> textes() const
    {
        std::vector<std::string> t;
        for (const auto& m : scripted().messages()) {
            t.push_back(m.text);
        }
        return t;
    }

    RepertoireTemporaire dossier;
    ReseauxDlg dlg;
};

} // namespace

TEST_F(CarteErreurTest, TheButtonTestsAWholeSetOnceANetworkIsThere)
{
    QPushButton* b = bouton();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->text(), "Tester un\nensemble...");
    EXPECT_FALSE(b->isEnabled());

    scripted().queueFile(dossier / "c.wgh");
    dlg.OnLirePoids();
    ASSERT_TRUE(b->isEnabled());
    dlg.setLectureSortie(tronquer);
    scripted().queueFile(dossier / "t.dat");
    b->click();
    EXPECT_TRUE(textes().empty()) << textes().front();
    auto* carte = dlg.findChild<CarteErreurDlg*>();
    ASSERT_NE(carte, nullptr);
    EXPECT_EQ(carte->windowTitle(), "Carte d'erreur");
    EXPECT_EQ(carte->findChild<QLabel*>(QStringLiteral("statistiques"))->text(),
              "4 points : RMS 8.57 cm, médiane 7.50 cm, pire 13.00 cm (point 4 : x 195, y 212)");
    EXPECT_EQ(carte->statistiques().indicePire, 3);
    EXPECT_EQ(scripted().fileRequests().back().filter, "Fichier d'entrainement (*.dat)|*.dat||");
    carte->findChild<QPushButton*>(QStringLiteral("fermer"))->click();

    // A file that is not there, and one that is not a set: told, nothing opened.
    delete carte;
    scripted().queueFile(dossier / "absent.dat");
    b->click();
    std::ofstream(dossier / "mauvais.dat") << "(1)\n(3,1) 0.1 0.2\n";
    scripted().queueFile(dossier / "mauvais.dat");
    b->click();
    const auto t = textes();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], "Erreur d'ouverture du fichier d'entrainement (" + dossier / "absent.dat" + ")");
    EXPECT_EQ(t[1].substr(0, t[1].find('\n')), "Format invalide!");
    EXPECT_EQ(dlg.findChild<CarteErreurDlg*>(), nullptr);
}

TEST_F(CarteErreurTest, ThePictureColoursEachPointByItsErrorOnAScale)
{
    EXPECT_EQ(hautEchelle(0.0), 1.0);
    EXPECT_EQ(hautEchelle(1.0), 1.0);
    EXPECT_EQ(hautEchelle(13.0), 25.0);
    EXPECT_EQ(hautEchelle(499.0), 500.0);
    EXPECT_EQ(hautEchelle(1e9), 500.0);
    EXPECT_EQ(couleurErreur(0.0, 25.0), QColor(0, 170, 0));
    EXPECT_EQ(couleurErreur(12.5, 25.0), QColor(235, 200, 0));
    EXPECT_EQ(couleurErreur(25.0, 25.0), QColor(215, 0, 0));
    EXPECT_EQ(couleurErreur(90.0, 25.0), QColor(215, 0, 0));
    EXPECT_EQ(couleurErreur(std::nan(""), 25.0), QColor(215, 0, 0));

    ReseauNeurones reseau;
    reseau.LirePoids(dossier / "c.wgh");
    std::istringstream flux(kQuatre);
    Table1D<Exemple> ensemble;
    flux >> ensemble;
    std::vector<ErreurExemple> r;
    ASSERT_TRUE(testerEnsemble(reseau, ensemble, tronquer, r));
    CarteErreurDlg carte(r, QStringLiteral("t.dat"));
    const QImage& image = carte.image();
    // The centre of each point's disc has its colour: exact at 0 cm, scale to 25 cm.
    const QPointF juste = pixelDuPoint(200, 200);
    EXPECT_EQ(image.pixelColor(juste.toPoint()), couleurErreur(0.0, 25.0));
    const QPointF pire = pixelDuPoint(195, 212);
    EXPECT_EQ(image.pixelColor(pire.toPoint()), couleurErreur(13.0, 25.0));
    // Away from every point the field is white.
    EXPECT_EQ(image.pixelColor(pixelDuPoint(450, 450).toPoint()), QColor(Qt::white));
    // The scale: its top is red, its bottom green.
    const int xEchelle = static_cast<int>(pixelDuPoint(500, 0).x()) + 24 + 8;
    EXPECT_EQ(image.pixelColor(xEchelle, static_cast<int>(pixelDuPoint(0, 0).y()) + 2),
              couleurErreur(25.0, 25.0));
    EXPECT_EQ(image.pixelColor(xEchelle, static_cast<int>(pixelDuPoint(0, 500).y()) - 2),
              couleurErreur(0.0, 25.0));
}

TEST_F(CarteErreurTest, ThePictureIsSavedAsPngOnDemandAndSafely)
{
    std::vector<ErreurExemple> r(1);
    r[0].desire = Vecteur(2);
    r[0].desire[0] = 100.0;
    r[0].desire[1] = 300.0;
    r[0].erreur = 3.0;
    CarteErreurDlg carte(r, QStringLiteral("un point"));
    const std::string chemin = dossier / "carte.png";
    scripted().queueFile(chemin);
    carte.findChild<QPushButton*>(QStringLiteral("enregistrerImage"))->click();
    EXPECT_TRUE(textes().empty());
    EXPECT_EQ(scripted().fileRequests().back().filter, "Image PNG (*.png)|*.png||");
    QImage relue(QString::fromStdString(chemin), "PNG");
    ASSERT_FALSE(relue.isNull());
    EXPECT_EQ(relue.size(), carte.image().size());
    EXPECT_EQ(relue.pixelColor(pixelDuPoint(300, 100).toPoint()), couleurErreur(3.0, 5.0));

    // Cancelled: nothing written. Into a folder that does not exist: told, nothing written.
    scripted().queueFile(std::nullopt);
    EXPECT_FALSE(carte.enregistrerImage());
    const std::string ailleurs = dossier / "absent/carte.png";
    scripted().queueFile(ailleurs);
    EXPECT_FALSE(carte.enregistrerImage());
    const auto t = textes();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].substr(0, t[0].find('\n')), "Erreur d'écriture du fichier (" + ailleurs + ")");
}
