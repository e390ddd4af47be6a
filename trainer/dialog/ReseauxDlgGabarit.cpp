// The controls of "Reseaux de Neurones" at their places, in dialog units of
// the dialog font.
#include "core/qt/UnitesDialogue.h"
#include "trainer/dialog/BoutonFleches.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace {

enum class Genre { Groupe, Etiquette, Edition, Fleches, Bouton };

/** One control at its place; those the handlers reach name the member bound to them. */
struct Controle {
    Genre genre;
    int id; ///< 0 for the labels and group boxes, which nobody reaches
    const char* texte;
    int x, y, largeur, hauteur;
    QLineEdit* ReseauxDlg::*edition = nullptr;
    BoutonFleches* ReseauxDlg::*fleches = nullptr;
    QPushButton* ReseauxDlg::*bouton = nullptr;
};

constexpr Controle groupe(const char* texte, int x, int y, int l, int h)
{
    return {Genre::Groupe, 0, texte, x, y, l, h};
}

constexpr Controle etiquette(const char* texte, int x, int y, int l, int h)
{
    return {Genre::Etiquette, 0, texte, x, y, l, h};
}

constexpr Controle edition(int id, QLineEdit* ReseauxDlg::*membre, int x, int y, int l, int h)
{
    Controle c{Genre::Edition, id, nullptr, x, y, l, h};
    c.edition = membre;
    return c;
}

constexpr Controle fleches(int id, BoutonFleches* ReseauxDlg::*membre, int x, int y, int l, int h)
{
    Controle c{Genre::Fleches, id, nullptr, x, y, l, h};
    c.fleches = membre;
    return c;
}

constexpr Controle bouton(int id, const char* texte, QPushButton* ReseauxDlg::*membre, int x, int y,
                          int l, int h)
{
    Controle c{Genre::Bouton, id, texte, x, y, l, h};
    c.bouton = membre;
    return c;
}

} // namespace

void ReseauxDlg::creerControles()
{
    using D = ReseauxDlg;
    // In tab order; the group boxes come first so that they lie under their controls.
    static constexpr Controle kGabarit[] = {
        groupe("Paramètres", 9, 9, 130, 106),
        groupe("Valeur de sortie ", 145, 9, 71, 55),
        groupe("Valeur d'entrées", 143, 80, 138, 35),
        groupe("Perceptron multi-couche", 9, 120, 273, 94),
        etiquette("Gain :", 15, 22, 20, 9),
        edition(1000, &D::m_editGain, 92, 20, 42, 11),
        etiquette("Momentum :", 15, 37, 39, 9),
        edition(1009, &D::m_editMomentum, 92, 35, 42, 11),
        etiquette("Epsilon :", 15, 52, 39, 9),
        edition(1018, &D::m_editEpsilon, 92, 50, 42, 11),
        etiquette("Tolérance :", 15, 67, 39, 9),
        edition(1019, &D::m_editTolerance, 92, 65, 42, 11),
        etiquette("Erreur maximum :", 15, 82, 62, 9),
        edition(1020, &D::m_editErreurMax, 92, 80, 42, 11),
        etiquette("Nombre d'itération :", 15, 97, 62, 9),
        edition(1021, &D::m_editIterMax, 92, 95, 42, 11),
        etiquette("Min:", 151, 26, 18, 9),
        edition(1016, &D::m_editMinOutput, 173, 24, 36, 11),
        etiquette("Max:", 151, 43, 22, 11),
        edition(1017, &D::m_editMaxOutput, 173, 43, 36, 11),
        edition(1022, &D::m_editDonneesTest1, 151, 94, 36, 11),
        edition(1023, &D::m_editDonneesTest2, 194, 94, 36, 11),
        edition(1024, &D::m_editDonneesTest3, 237, 94, 36, 11),
        etiquette("# Entrée :", 15, 134, 33, 10),
        edition(1001, &D::m_editNeuroneEntree, 92, 133, 42, 11),
        fleches(1005, &D::m_flechesEntree, 138, 132, 11, 11),
        etiquette("# Sortie :", 15, 149, 33, 10),
        edition(1002, &D::m_editNeuroneSortie, 92, 148, 42, 11),
        fleches(1006, &D::m_flechesSortie, 138, 148, 11, 11),
        etiquette("# Couche caché :", 15, 165, 57, 9),
        edition(1003, &D::m_editCoucheCache, 92, 163, 42, 11),
        fleches(1007, &D::m_flechesCouches, 138, 163, 11, 11),
        etiquette("# Neurone par C/C :", 15, 180, 72, 9),
        edition(1004, &D::m_editNeuroneCoucheCache, 92, 178, 42, 11),
        fleches(1008, &D::m_flechesNeurones, 138, 178, 11, 11),
        etiquette("Fichier d'entrainement :", 15, 198, 74, 9),
        edition(1010, &D::m_editFichier, 92, 196, 99, 11),
        bouton(1011, "&Parcourir...", &D::m_boutonParcourir, 198, 194, 47, 13),
        bouton(1014, "&Entrainer", &D::m_boutonEntrainer, 288, 9, 52, 13),
        bouton(1012, "&Lire Poids", &D::m_boutonLirePoids, 288, 26, 52, 13),
        bouton(1013, "Ecrire Poids", &D::m_boutonEcrirePoids, 288, 43, 52, 13),
        bouton(1015, "&Tester", &D::m_boutonTester, 288, 60, 52, 13),
        bouton(1025, "&Enregistrer ", &D::m_boutonEnregistrer, 288, 77, 52, 13),
        bouton(1026, "&Lire Paramètre", &D::m_boutonLireParametre, 288, 94, 52, 13),
        // Beside "&Tester", for a whole set, in the buttons' column.
        bouton(1027, "Carte d'erreur...", &D::m_boutonTesterEnsemble, 288, 111, 52, 13),
    };

    const QFont police = UnitesDialogue::policeDialogue();
    setFont(police);
    const UnitesDialogue du(police);
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
            w = this->*c.edition = new QLineEdit(this);
            break;
        case Genre::Fleches:
            w = this->*c.fleches = new BoutonFleches(this);
            break;
        case Genre::Bouton: {
            auto* b = this->*c.bouton = new QPushButton(texte, this);
            // Enter belongs to the window (it closes it), not to a default button.
            b->setAutoDefault(false);
            w = b;
            break;
        }
        }
        if (c.id != 0) {
            w->setObjectName(QStringLiteral("id%1").arg(c.id));
        }
        // Every control carries the dialog's font itself: whatever its
        // parent's font or style sheet, it is drawn in the font its place
        // was measured in.
        w->setFont(police);
        QRect place = du.rect(c.x, c.y, c.largeur, c.hauteur);
        const Controle* suivant = i + 1 < nombre ? &kGabarit[i + 1] : nullptr;
        // A label may run up to the control beside it (the next one in the
        // table), and so may an edit with a neighbour on its row
        // ("0.1543354"): wide fonts would otherwise cut their last characters.
        const bool etiquette = c.genre == Genre::Etiquette;
        const bool editionSurSaLigne = c.genre == Genre::Edition && suivant && suivant->y == c.y &&
                                       suivant->x > c.x + c.largeur;
        if (suivant && (etiquette || editionSurSaLigne)) {
            place.setRight(std::max(place.right(), du.x(suivant->x) - 3));
        }
        w->setGeometry(place);
    }
    setFixedSize(du.x(344), du.y(221));
}
