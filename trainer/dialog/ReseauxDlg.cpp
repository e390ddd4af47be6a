#include "trainer/dialog/ReseauxDlg.h"

#include "core/ErreurFichier.h"
#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "trainer/FichierParametres.h"
#include "trainer/Preparation.h"
#include "trainer/TexteWindows.h"
#include "trainer/dialog/BoutonFleches.h"
#include "trainer/dialog/CarteErreurDlg.h"
#include "trainer/dialog/EchangeDonnees.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

#include <climits>
#include <initializer_list>

namespace {

constexpr const char* kFiltreEntrainement = "Fichier d'entrainement (*.dat)|*.dat||";
constexpr const char* kFiltrePoids = "Fichier de poids (*.wgh)|*.wgh||";
constexpr const char* kFiltreParametres = "Fichier de paramètres (*.prm)|*.prm||";
constexpr const char* kValeurSortie = "Valeur de sortie: 1-> %.3f, 2-> %.3f";
constexpr const char* kPasEntraine =
    "Le perceptron n'est pas encore entrainé ou aucun poid n'a été lu";
constexpr const char* kErreurOuvertureParametres =
    "Erreur d'ouverture du fichier de paramètres (%1)";
constexpr const char* kErreurOuvertureEnsemble =
    "Erreur d'ouverture du fichier d'entrainement (%1)";

/** An edit and the field it is exchanged with. */
struct Champ {
    QLineEdit* ReseauxDlg::*edit;
    int ParametresReseau::*entier;
    double ParametresReseau::*reel;
};

void montrer(const QString& texte, MessageIcon icone)
{
    platform().messageBox(texte.toStdString(), platform().loadString(ids::AppTitle),
                          MessageButtons::Ok, icone);
}

/** The application's icon, or the trainer's own drawing when it has none. */
QIcon iconeApplication()
{
    if (!QApplication::windowIcon().isNull()) {
        return QApplication::windowIcon();
    }
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF entrees[] = {{6, 6}, {6, 16}, {6, 26}};
    const QPointF sorties[] = {{26, 10}, {26, 22}};
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    for (const QPointF& e : entrees) {
        for (const QPointF& s : sorties) {
            p.drawLine(e, s);
        }
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0, 90, 200));
    for (const QPointF& e : entrees) {
        p.drawEllipse(e, 4, 4);
    }
    p.setBrush(QColor(230, 120, 0));
    for (const QPointF& s : sorties) {
        p.drawEllipse(s, 4.5, 4.5);
    }
    return QIcon(image);
}

} // namespace

ReseauxDlg::ReseauxDlg(QWidget* parent)
    : QDialog(parent)
    , m_hIcon(iconeApplication())
{
    setWindowTitle(QStringLiteral("Reseaux de Neurones"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    creerControles();

    // Each pair of arrows steps the count of the edit before it; those of
    // the layer counts change the structure.
    const struct {
        BoutonFleches* fleches;
        QLineEdit* edit;
        bool structure;
    } spins[] = {
        {m_flechesEntree, m_editNeuroneEntree, false},
        {m_flechesSortie, m_editNeuroneSortie, false},
        {m_flechesCouches, m_editCoucheCache, true},
        {m_flechesNeurones, m_editNeuroneCoucheCache, true},
    };
    for (const auto& s : spins) {
        connect(s.fleches, &BoutonFleches::deltaPos, this,
                [this, s](int delta) { OnDeltaPosSpin(s.edit, s.structure, delta); });
    }
    connect(m_boutonParcourir, &QPushButton::clicked, this, &ReseauxDlg::OnParcourir);
    connect(m_boutonEntrainer, &QPushButton::clicked, this, &ReseauxDlg::OnEntrainer);
    connect(m_boutonEcrirePoids, &QPushButton::clicked, this, &ReseauxDlg::OnEcrirePoids);
    connect(m_boutonLirePoids, &QPushButton::clicked, this, &ReseauxDlg::OnLirePoids);
    connect(m_boutonTester, &QPushButton::clicked, this, &ReseauxDlg::OnTester);
    connect(m_boutonEnregistrer, &QPushButton::clicked, this, &ReseauxDlg::OnEnregistrer);
    connect(m_boutonLireParametre, &QPushButton::clicked, this, &ReseauxDlg::OnLireParametre);
    connect(m_boutonTesterEnsemble, &QPushButton::clicked, this, &ReseauxDlg::OnTesterEnsemble);
    connect(m_editCoucheCache, &QLineEdit::textChanged, this, &ReseauxDlg::OnChangeCouches);
    connect(m_editNeuroneCoucheCache, &QLineEdit::textChanged, this, &ReseauxDlg::OnChangeCouches);
    // After each command (connected after its handler): the window stays
    // open beside the console, whose panes hear of a network replaced.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        connect(b, &QPushButton::clicked, this, [this] {
            if (m_reseau.version() != m_versionSignalee) {
                m_versionSignalee = m_reseau.version();
                emit reseauRemplace();
            }
        });
    }
}

ReseauxDlg::~ReseauxDlg() = default;

template <class Fn>
void ReseauxDlg::gerer(Fn travail)
{
    executerProtege(travail);
    OnUpdateBouton();
}

void ReseauxDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void ReseauxDlg::OnInitDialog()
{
    // A fresh showing: the edits from the fields, no training file yet.
    UpdateData(false);
    m_cheminFichier.clear();
    m_editFichier->clear();
    setWindowIcon(m_hIcon);
    for (QPushButton* b :
         {m_boutonTester, m_boutonEcrirePoids, m_boutonEntrainer, m_boutonTesterEnsemble}) {
        b->setEnabled(false);
    }
    // The input and output counts come from a parameter file only.
    for (QWidget* w : std::initializer_list<QWidget*>{m_editNeuroneEntree, m_editNeuroneSortie,
                                                      m_flechesEntree, m_flechesSortie}) {
        w->setEnabled(false);
    }
    OnUpdateBouton();
}

void ReseauxDlg::contextMenuEvent(QContextMenuEvent* event)
{
    // The window's own menu, with the About item of the trainer.
    const std::string texte = platform().loadString(ids::TrainerMenuItem);
    if (texte.empty()) {
        return;
    }
    QMenu menu(this);
    menu.addSeparator();
    QAction* item = menu.addAction(QString::fromStdString(texte));
    if (menu.exec(event->globalPos()) == item) {
        emit aPropos();
    }
}

void ReseauxDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // On a button Enter presses it; anywhere else it closes the window.
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->isEnabled()) {
            b->click();
        } else {
            accept();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void ReseauxDlg::accept()
{
    if (!m_enCours && UpdateData(true)) {
        QDialog::accept();
    }
}

void ReseauxDlg::reject()
{
    if (!m_enCours) {
        QDialog::reject();
    }
}

bool ReseauxDlg::UpdateData(bool sauver)
{
    // The exchange's order: the first edit that holds no number stops it there.
    using D = ReseauxDlg;
    using P = ParametresReseau;
    static constexpr Champ kEchange[] = {
        {&D::m_editNeuroneEntree, &P::NeuroneEntree, nullptr},
        {&D::m_editNeuroneSortie, &P::NeuroneSortie, nullptr},
        {&D::m_editCoucheCache, &P::CoucheCache, nullptr},
        {&D::m_editNeuroneCoucheCache, &P::NeuroneCoucheCache, nullptr},
        {&D::m_editGain, nullptr, &P::Gain},
        {&D::m_editMomentum, nullptr, &P::Momentum},
        {&D::m_editMaxOutput, nullptr, &P::MaxOutput},
        {&D::m_editMinOutput, nullptr, &P::MinOutput},
        {&D::m_editEpsilon, nullptr, &P::Epsilon},
        {&D::m_editErreurMax, nullptr, &P::ErreurMax},
        {&D::m_editTolerance, nullptr, &P::Tolerance},
        {&D::m_editIterMax, &P::IterMax, nullptr},
        {&D::m_editDonneesTest1, nullptr, &P::DonneesTest1},
        {&D::m_editDonneesTest2, nullptr, &P::DonneesTest2},
        {&D::m_editDonneesTest3, nullptr, &P::DonneesTest3},
    };
    ParametresReseau& p = m_reseau.parametres;
    for (const Champ& c : kEchange) {
        QLineEdit* e = this->*c.edit;
        if (!sauver) {
            e->setText(c.entier ? texteEntier(p.*c.entier) : texteReel(p.*c.reel));
            continue;
        }
        bool lu = false;
        if (c.entier) {
            if (const auto v = lireEntier(e->text())) {
                p.*c.entier = *v;
                lu = true;
            }
        } else if (const auto v = lireReel(e->text())) {
            p.*c.reel = *v;
            lu = true;
        }
        if (!lu) {
            montrer(QString::fromUtf8(c.entier ? kEntrezEntier : kEntrezNombre),
                    MessageIcon::Exclamation);
            e->setFocus();
            e->selectAll();
            return false;
        }
    }
    if (!sauver) {
        // Rewriting the layer counts counts as a change even when the text
        // stays the same: the next training builds its network anew.
        OnChangeCouches();
    }
    return true;
}

void ReseauxDlg::OnDeltaPosSpin(QLineEdit* edit, bool structure, int delta)
{
    int valeur = texteVersEntier(edit->text().toStdString());
    if (delta < 0) {
        if (valeur < INT_MAX) {
            ++valeur;
        }
    } else if (valeur > 0) {
        --valeur;
    }
    edit->setText(texteEntier(valeur));
    if (structure) {
        m_reseau.modifierStructure();
    }
}

void ReseauxDlg::OnChangeCouches()
{
    m_reseau.modifierStructure();
}

void ReseauxDlg::OnUpdateBouton()
{
    m_boutonEcrirePoids->setEnabled(m_reseau.entraine());
    m_boutonTester->setEnabled(m_reseau.entraine());
    m_boutonTesterEnsemble->setEnabled(m_reseau.entraine() && !m_enCours);
    m_boutonEntrainer->setEnabled(m_reseau.fichierChoisi() && !m_enCours);
    // These would replace the network or its scaling under the running training.
    for (QPushButton* b : {m_boutonParcourir, m_boutonLirePoids, m_boutonLireParametre}) {
        b->setEnabled(!m_enCours);
    }
}

bool ReseauxDlg::ChoisirFichier(bool ouvrir, const char* filtre, std::string& chemin)
{
    const auto choix =
        platform().chooseFile(ouvrir ? FileDialogKind::Open : FileDialogKind::Save, filtre);
    if (!choix) {
        return false;
    }
    chemin = *choix;
    return true;
}

void ReseauxDlg::OnParcourir()
{
    gerer([this] {
        if (m_enCours) {
            return;
        }
        std::string chemin;
        if (ChoisirFichier(true, kFiltreEntrainement, chemin)) {
            m_cheminFichier = chemin;
            m_editFichier->setText(QFile::decodeName(chemin.c_str()));
            m_reseau.choisirFichierEntrainement();
        } else {
            m_cheminFichier.clear();
            m_editFichier->clear();
            m_reseau.abandonnerFichierEntrainement();
        }
    });
}

void ReseauxDlg::OnEntrainer()
{
    if (m_enCours) {
        return;
    }
    UpdateData(true);
    // The name chosen keeps its bytes while the box shows it unchanged: a
    // name that is no UTF-8 would not come back whole from its text.
    const QString texte = m_editFichier->text();
    const std::string chemin =
        !m_cheminFichier.empty() && texte == QFile::decodeName(m_cheminFichier.c_str())
            ? m_cheminFichier
            : QFile::encodeName(texte).toStdString();
    m_enCours = true;
    OnUpdateBouton();
    // The run counts as made whatever it achieves; its progress box gets its
    // Ok button on every exit, an error included.
    executerProtege([&] { m_reseau.EntrainerFichier(chemin); });
    m_enCours = false;
    OnUpdateBouton();
}

void ReseauxDlg::OnEcrirePoids()
{
    gerer([this] {
        std::string chemin;
        if (m_reseau.perceptron() == nullptr || !ChoisirFichier(false, kFiltrePoids, chemin)) {
            return;
        }
        // A failure keeps the previous file and says why.
        std::string raison;
        if (!m_reseau.EcrirePoids(chemin, &raison)) {
            montrer(QString::fromStdString(messageEcriture(chemin, raison)),
                    MessageIcon::Exclamation);
        }
    });
}

void ReseauxDlg::OnLirePoids()
{
    gerer([this] {
        std::string chemin;
        if (m_enCours || !ChoisirFichier(true, kFiltrePoids, chemin)) {
            return;
        }
        // A file that cannot be read leaves the current network in place.
        m_reseau.LirePoids(chemin);
    });
}

bool ReseauxDlg::Evaluer(double e1, double e2, double e3, Vecteur& resultat)
{
    return m_reseau.Evaluer(e1, e2, e3, resultat);
}

void ReseauxDlg::OnTester()
{
    gerer([this] {
        UpdateData(true);
        const ParametresReseau& p = m_reseau.parametres;
        Vecteur v;
        if (!Evaluer(p.DonneesTest1, p.DonneesTest2, p.DonneesTest3, v)) {
            montrer(QString::fromUtf8(kPasEntraine), MessageIcon::Exclamation);
            return;
        }
        // Both outputs are read before anything is shown: a network with a
        // single output fails here with the table's message.
        const double sortie1 = v[0];
        const double sortie2 = v[1];
        montrer(QString::asprintf(kValeurSortie, sortie1, sortie2), MessageIcon::Information);
    });
}

void ReseauxDlg::OnEnregistrer()
{
    gerer([this] {
        UpdateData(true);
        std::string chemin;
        if (!ChoisirFichier(false, kFiltreParametres, chemin)) {
            return;
        }
        // A failure keeps the previous file and says why.
        std::string raison;
        if (!m_reseau.EcrireParametres(chemin, &raison)) {
            montrer(QString::fromStdString(messageEcriture(chemin, raison)),
                    MessageIcon::Exclamation);
        }
    });
}

void ReseauxDlg::OnLireParametre()
{
    gerer([this] {
        std::string chemin;
        if (m_enCours || !ChoisirFichier(true, kFiltreParametres, chemin)) {
            return;
        }
        if (!m_reseau.LireParametres(chemin)) {
            montrer(
                QString::fromUtf8(kErreurOuvertureParametres).arg(QString::fromStdString(chemin)),
                MessageIcon::Exclamation);
            return;
        }
        UpdateData(false);
    });
}

void ReseauxDlg::OnTesterEnsemble()
{
    gerer([this] {
        if (m_enCours) {
            return;
        }
        if (m_reseau.perceptron() == nullptr) {
            montrer(QString::fromUtf8(kPasEntraine), MessageIcon::Exclamation);
            return;
        }
        std::string chemin;
        if (!ChoisirFichier(true, kFiltreEntrainement, chemin)) {
            return;
        }
        Table1D<Exemple> ensemble;
        {
            FichierTexteEntree fichier(chemin);
            if (!fichier.is_open()) {
                montrer(
                    QString::fromUtf8(kErreurOuvertureEnsemble).arg(QString::fromStdString(chemin)),
                    MessageIcon::Exclamation);
                return;
            }
            lireFichier(fichier, chemin, [&](std::istream& is) { ensemble = lireEnsemble(is); });
        }
        std::vector<ErreurExemple> resultats;
        testerEnsemble(m_reseau, ensemble, m_lectureSortie, resultats);
        // A window of its own beside the trainer, gone when closed.
        auto* carte = new CarteErreurDlg(
            std::move(resultats), QFileInfo(QString::fromStdString(chemin)).fileName(), this);
        carte->setAttribute(Qt::WA_DeleteOnClose);
        carte->open();
    });
}
