// The controls of "Reseaux de Neurones" at their places, in dialog units of
// the dialog font.
#include "trainer/dialog/BoutonFleches.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "trainer/dialog/UnitesDialogue.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace {

enum class Genre { Groupe, Etiquette, Edition, Fleches, Bouton };

struct Controle {
    int id; ///< 0 for the labels and group boxes, which nobody reaches
    Genre genre;
    const char* texte;
    int x, y, largeur, hauteur;
};

// In tab order; the group boxes come first so that they lie under their controls.
constexpr Controle kGabarit[] = {
    {0, Genre::Groupe, "Paramètres", 9, 9, 130, 106},
    {0, Genre::Groupe, "Valeur de sortie ", 145, 9, 71, 55},
    {0, Genre::Groupe, "Valeur d'entrées", 143, 80, 138, 35},
    {0, Genre::Groupe, "Perceptron multi-couche", 9, 120, 273, 94},
    {0, Genre::Etiquette, "Gain :", 15, 22, 20, 9},
    {1000, Genre::Edition, nullptr, 92, 20, 42, 11},
    {0, Genre::Etiquette, "Momentum :", 15, 37, 39, 9},
    {1009, Genre::Edition, nullptr, 92, 35, 42, 11},
    {0, Genre::Etiquette, "Epsilon :", 15, 52, 39, 9},
    {1018, Genre::Edition, nullptr, 92, 50, 42, 11},
    {0, Genre::Etiquette, "Tolérance :", 15, 67, 39, 9},
    {1019, Genre::Edition, nullptr, 92, 65, 42, 11},
    {0, Genre::Etiquette, "Erreur maximum :", 15, 82, 62, 9},
    {1020, Genre::Edition, nullptr, 92, 80, 42, 11},
    {0, Genre::Etiquette, "Nombre d'itération :", 15, 97, 62, 9},
    {1021, Genre::Edition, nullptr, 92, 95, 42, 11},
    {0, Genre::Etiquette, "Min:", 151, 26, 18, 9},
    {1016, Genre::Edition, nullptr, 173, 24, 36, 11},
    {0, Genre::Etiquette, "Max:", 151, 43, 22, 11},
    {1017, Genre::Edition, nullptr, 173, 43, 36, 11},
    {1022, Genre::Edition, nullptr, 151, 94, 36, 11},
    {1023, Genre::Edition, nullptr, 194, 94, 36, 11},
    {1024, Genre::Edition, nullptr, 237, 94, 36, 11},
    {0, Genre::Etiquette, "# Entrée :", 15, 134, 33, 10},
    {1001, Genre::Edition, nullptr, 92, 133, 42, 11},
    {1005, Genre::Fleches, nullptr, 138, 132, 11, 11},
    {0, Genre::Etiquette, "# Sortie :", 15, 149, 33, 10},
    {1002, Genre::Edition, nullptr, 92, 148, 42, 11},
    {1006, Genre::Fleches, nullptr, 138, 148, 11, 11},
    {0, Genre::Etiquette, "# Couche caché :", 15, 165, 57, 9},
    {1003, Genre::Edition, nullptr, 92, 163, 42, 11},
    {1007, Genre::Fleches, nullptr, 138, 163, 11, 11},
    {0, Genre::Etiquette, "# Neurone par C/C :", 15, 180, 72, 9},
    {1004, Genre::Edition, nullptr, 92, 178, 42, 11},
    {1008, Genre::Fleches, nullptr, 138, 178, 11, 11},
    {0, Genre::Etiquette, "Fichier d'entrainement :", 15, 198, 74, 9},
    {1010, Genre::Edition, nullptr, 92, 196, 99, 11},
    {1011, Genre::Bouton, "&Parcourir...", 198, 194, 47, 13},
    {1014, Genre::Bouton, "&Entrainer", 288, 9, 52, 13},
    {1012, Genre::Bouton, "&Lire Poids", 288, 26, 52, 13},
    {1013, Genre::Bouton, "Ecrire Poids", 288, 43, 52, 13},
    {1015, Genre::Bouton, "&Tester", 288, 60, 52, 13},
    {1025, Genre::Bouton, "&Enregistrer ", 288, 77, 52, 13},
    {1026, Genre::Bouton, "&Lire Paramètre", 288, 94, 52, 13},
};

} // namespace

void ReseauxDlg::creerControles()
{
    setFont(UnitesDialogue::policeDialogue());
    const UnitesDialogue du(font());
    const int nombre = static_cast<int>(std::size(kGabarit));
    for (int i = 0; i < nombre; ++i) {
        const Controle& c = kGabarit[i];
        const QString texte = c.texte ? QString::fromUtf8(c.texte) : QString();
        QWidget* w = nullptr;
        switch (c.genre) {
        case Genre::Groupe:
            w = new QGroupBox(texte, this);
            break;
        case Genre::Etiquette:
            w = new QLabel(texte, this);
            break;
        case Genre::Edition:
            w = new QLineEdit(this);
            break;
        case Genre::Fleches:
            w = new BoutonFleches(this);
            break;
        case Genre::Bouton: {
            auto* b = new QPushButton(texte, this);
            // Enter belongs to the window (it closes it), not to a default button.
            b->setAutoDefault(false);
            w = b;
            break;
        }
        }
        if (c.id != 0) {
            w->setObjectName(QStringLiteral("id%1").arg(c.id));
        }
        QRect place = du.rect(c.x, c.y, c.largeur, c.hauteur);
        if (c.genre == Genre::Etiquette && i + 1 < nombre) {
            // A label may run up to the control beside it (the next one in the
            // table): wide fonts would otherwise cut its last characters.
            place.setRight(std::max(place.right(), du.x(kGabarit[i + 1].x) - 3));
        }
        w->setGeometry(place);
    }
    setFixedSize(du.x(344), du.y(221));
}
