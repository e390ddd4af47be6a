// "Carte d'erreur..." in the trainer window and the error map it opens:
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
    EXPECT_EQ(b->text(), "Carte d'erreur...");
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
    EXPECT_EQ(t[0],
              "Erreur d'ouverture du fichier d'entrainement (" + dossier / "absent.dat" + ")");
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

    // Points far apart, errors 0, 13 and 2 cm: the scale goes to 25 cm.
    std::vector<ErreurExemple> r(3);
    const double places[3][3] = {{200, 200, 0.0}, {400, 100, 13.0}, {50, 450, 2.0}};
    for (std::size_t i = 0; i < 3; ++i) {
        r[i].desire = Vecteur(2);
        r[i].desire[0] = places[i][1]; // y
        r[i].desire[1] = places[i][0]; // x
        r[i].erreur = places[i][2];
    }
    CarteErreurDlg carte(r, QStringLiteral("t.dat"));
    EXPECT_EQ(carte.statistiques().pire, 13.0);
    const QImage& image = carte.image();
    const auto couleur = [&](QPointF p) { return image.pixel(p.toPoint()); };
    // The centre of each point's disc has its colour.
    EXPECT_EQ(couleur(pixelDuPoint(200, 200)), couleurErreur(0.0, 25.0).rgb());
    EXPECT_EQ(couleur(pixelDuPoint(400, 100)), couleurErreur(13.0, 25.0).rgb());
    EXPECT_EQ(couleur(pixelDuPoint(50, 450)), couleurErreur(2.0, 25.0).rgb());
    // Away from every point the field is white.
    EXPECT_EQ(couleur(pixelDuPoint(450, 450)), QColor(Qt::white).rgb());
    // The scale beside the field, one row a step: red at the top, green at the bottom.
    const int xEchelle = static_cast<int>(pixelDuPoint(500, 0).x()) + 24 + 8;
    const int haut = static_cast<int>(pixelDuPoint(0, 0).y());
    const int rangs = CotePixelsCarte - 1;
    EXPECT_EQ(image.pixel(xEchelle, haut + 2),
              couleurErreur(25.0 * (rangs - 2) / rangs, 25.0).rgb());
    EXPECT_EQ(image.pixel(xEchelle, haut + rangs - 2), couleurErreur(25.0 * 2 / rangs, 25.0).rgb());
    const int milieu = rangs / 2;
    EXPECT_EQ(image.pixel(xEchelle, haut + milieu),
              couleurErreur(25.0 * (rangs - milieu) / rangs, 25.0).rgb());
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
    EXPECT_EQ(relue.pixel(pixelDuPoint(300, 100).toPoint()), couleurErreur(3.0, 5.0).rgb());

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
