#include "trainer/dialog/ReseauxDlg.h"

#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "trainer/FichierParametres.h"
#include "trainer/dialog/BoutonFleches.h"
#include "trainer/dialog/EchangeDonnees.h"
#include "trainer/dialog/ProgDlg.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

#include <climits>

namespace {

constexpr const char* kFiltreEntrainement = "Fichier d'entrainement (*.dat)|*.dat||";
constexpr const char* kFiltrePoids = "Fichier de poids (*.wgh)|*.wgh||";
constexpr const char* kFiltreParametres = "Fichier de paramètres (*.prm)|*.prm||";
constexpr const char* kValeurSortie = "Valeur de sortie: 1-> %.3f, 2-> %.3f";
constexpr const char* kPasEntraine =
    "Le perceptron n'est pas encore entrainé ou aucun poid n'a été lu";
constexpr const char* kErreurEcriture = "Erreur d'écriture du fichier (%1)";
constexpr const char* kErreurOuvertureParametres =
    "Erreur d'ouverture du fichier de paramètres (%1)";

/** The fields in the order of their exchange with the edits. */
struct Champ {
    int id;
    int ParametresReseau::*entier;
    double ParametresReseau::*reel;
};
using P = ParametresReseau;
constexpr Champ kEchange[] = {
    {1001, &P::NeuroneEntree, nullptr}, {1002, &P::NeuroneSortie, nullptr},
    {1003, &P::CoucheCache, nullptr},   {1004, &P::NeuroneCoucheCache, nullptr},
    {1000, nullptr, &P::Gain},          {1009, nullptr, &P::Momentum},
    {1017, nullptr, &P::MaxOutput},     {1016, nullptr, &P::MinOutput},
    {1018, nullptr, &P::Epsilon},       {1020, nullptr, &P::ErreurMax},
    {1019, nullptr, &P::Tolerance},     {1021, &P::IterMax, nullptr},
    {1022, nullptr, &P::DonneesTest1},  {1023, nullptr, &P::DonneesTest2},
    {1024, nullptr, &P::DonneesTest3},
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

    for (int spin = 1005; spin <= 1008; ++spin) {
        auto* fleches = findChild<BoutonFleches*>(QStringLiteral("id%1").arg(spin));
        connect(fleches, &BoutonFleches::deltaPos, this,
                [this, spin](int delta) { OnDeltaPosSpin(spin, delta); });
    }
    connect(bouton(1011), &QPushButton::clicked, this, &ReseauxDlg::OnParcourir);
    connect(bouton(1014), &QPushButton::clicked, this, &ReseauxDlg::OnEntrainer);
    connect(bouton(1013), &QPushButton::clicked, this, &ReseauxDlg::OnEcrirePoids);
    connect(bouton(1012), &QPushButton::clicked, this, &ReseauxDlg::OnLirePoids);
    connect(bouton(1015), &QPushButton::clicked, this, &ReseauxDlg::OnTester);
    connect(bouton(1025), &QPushButton::clicked, this, &ReseauxDlg::OnEnregistrer);
    connect(bouton(1026), &QPushButton::clicked, this, &ReseauxDlg::OnLireParametre);
    connect(edit(1003), &QLineEdit::textChanged, this, &ReseauxDlg::OnChangeCouches);
    connect(edit(1004), &QLineEdit::textChanged, this, &ReseauxDlg::OnChangeCouches);
}

ReseauxDlg::~ReseauxDlg() = default;

QLineEdit* ReseauxDlg::edit(int id) const
{
    return findChild<QLineEdit*>(QStringLiteral("id%1").arg(id));
}

QPushButton* ReseauxDlg::bouton(int id) const
{
    return findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
}

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
    edit(1010)->clear();
    setWindowIcon(m_hIcon);
    for (int id : {1015, 1013, 1014}) {
        bouton(id)->setEnabled(false);
    }
    // The input and output counts come from a parameter file only.
    for (int id : {1001, 1002, 1005, 1006}) {
        findChild<QWidget*>(QStringLiteral("id%1").arg(id))->setEnabled(false);
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
    ParametresReseau& p = m_reseau.parametres;
    for (const Champ& c : kEchange) {
        QLineEdit* e = edit(c.id);
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

void ReseauxDlg::OnDeltaPosSpin(int spin, int delta)
{
    QLineEdit* e = edit(spin - 4);
    int valeur = texteVersEntier(e->text().toStdString());
    if (delta < 0) {
        if (valeur < INT_MAX) {
            ++valeur;
        }
    } else if (valeur > 0) {
        --valeur;
    }
    e->setText(texteEntier(valeur));
    if (spin == 1007 || spin == 1008) {
        m_reseau.m_structureModifiee = true;
    }
}

void ReseauxDlg::OnChangeCouches()
{
    m_reseau.m_structureModifiee = true;
}

void ReseauxDlg::OnUpdateBouton()
{
    bouton(1013)->setEnabled(m_reseau.m_entraine);
    bouton(1015)->setEnabled(m_reseau.m_entraine);
    bouton(1014)->setEnabled(m_reseau.m_fichierChoisi && !m_enCours);
    // These would replace the network or its scaling under the running training.
    for (int id : {1011, 1012, 1026}) {
        bouton(id)->setEnabled(!m_enCours);
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
            edit(1010)->setText(QString::fromStdString(chemin));
            m_reseau.oublierPerceptron();
            m_reseau.m_fichierChoisi = true;
        } else {
            edit(1010)->clear();
            m_reseau.m_fichierChoisi = false;
        }
    });
}

void ReseauxDlg::OnEntrainer()
{
    if (m_enCours) {
        return;
    }
    UpdateData(true);
    const std::string chemin = edit(1010)->text().toStdString();
    m_enCours = true;
    OnUpdateBouton();
    const bool termine = executerProtege([&] { m_reseau.EntrainerFichier(chemin); });
    m_enCours = false;
    m_reseau.m_entraine = true;
    if (!termine) {
        // The run stopped on an error in the middle: its box must still close.
        ProgDlg::terminerTravauxInterrompus();
    }
    OnUpdateBouton();
}

void ReseauxDlg::OnEcrirePoids()
{
    gerer([this] {
        std::string chemin;
        if (m_reseau.perceptron() == nullptr || !ChoisirFichier(false, kFiltrePoids, chemin)) {
            return;
        }
        if (!m_reseau.EcrirePoids(chemin)) {
            montrer(QString::fromUtf8(kErreurEcriture).arg(QString::fromStdString(chemin)),
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
        m_reseau.m_entraine = true;
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
        if (!m_reseau.EcrireParametres(chemin)) {
            montrer(QString::fromUtf8(kErreurEcriture).arg(QString::fromStdString(chemin)),
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
