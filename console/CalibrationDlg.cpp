#include "console/CalibrationDlg.h"

#include "console/KIVView.h"
#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "console/PlacementACote.h"
#include "console/ReglageCalibration.h"
#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "link/RobotLink.h"
#include "trainer/ErreurEnsemble.h"
#include "trainer/ReseauNeurones.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/RobotReports.h"
#include "world/view/MapView.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <cmath>
#include <exception>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

constexpr const char* kFiltreEntrainement = "Fichier d'entrainement (*.dat)|*.dat||";

QString position(const balises::Position& p)
{
    return QStringLiteral("x = %1 cm, y = %2 cm")
        .arg(static_cast<int>(std::lround(p.x)))
        .arg(static_cast<int>(std::lround(p.y)));
}

QString texteSpread(double cm)
{
    return QString::number(cm, 'f', 1) + QStringLiteral(" cm");
}

/** "1 point", "2 points". */
QString nombrePoints(int n)
{
    return QString::number(n) + (n > 1 ? QStringLiteral(" points") : QStringLiteral(" point"));
}

/** Passes of a refinement unless the operator asks for others. */
constexpr int PassesAffinage = 2000;

void prevenir(const QString& texte)
{
    platform().messageBox(texte.toStdString(), platform().loadString(ids::AppTitle),
                          MessageButtons::Ok, MessageIcon::Exclamation);
}

/** Where the network puts the robot for three intervals, read as the console reads it. */
std::optional<balises::Position> estimation(ReseauxDlg& reseaux, const std::array<double, 3>& t)
{
    Vecteur sortie;
    try {
        if (!reseaux.Evaluer(t[0], t[1], t[2], sortie) || sortie.taille() < 2) {
            return std::nullopt;
        }
    } catch (const std::exception&) {
        return std::nullopt; // a network that does not take three inputs tells nothing here
    }
    if (!std::isfinite(sortie[0]) || !std::isfinite(sortie[1])) {
        return std::nullopt;
    }
    return balises::Position{static_cast<double>(CoordonneeDeSortie(sortie[1])),
                             static_cast<double>(CoordonneeDeSortie(sortie[0]))};
}

} // namespace

CalibrationDlg::CalibrationDlg(CKIVView* view, QWidget* parent)
    : QDialog(parent)
    , m_view(view)
{
    setObjectName(QStringLiteral("CalibrationDlg"));
    setWindowTitle(QStringLiteral("Calibration"));
    setModal(false);

    auto* point = new QGroupBox(QStringLiteral("Position vraie du robot"), this);
    m_x = new QSpinBox(point);
    m_x->setObjectName(QStringLiteral("x"));
    m_y = new QSpinBox(point);
    m_y->setObjectName(QStringLiteral("y"));
    for (QSpinBox* boite : {m_x, m_y}) {
        boite->setRange(0, 500);
        boite->setSuffix(QStringLiteral(" cm"));
    }
    m_designer = new QPushButton(QStringLiteral("Désigner sur la carte"), point);
    m_designer->setObjectName(QStringLiteral("designer"));
    m_designer->setCheckable(true);
    auto* suggere = new QPushButton(QStringLiteral("Point suggéré"), point);
    suggere->setObjectName(QStringLiteral("suggere"));
    auto* formePoint = new QFormLayout(point);
    formePoint->addRow(QStringLiteral("En X:"), m_x);
    formePoint->addRow(QStringLiteral("En Y:"), m_y);
    auto* boutonsPoint = new QHBoxLayout;
    boutonsPoint->addWidget(m_designer);
    boutonsPoint->addWidget(suggere);
    formePoint->addRow(boutonsPoint);

    auto* criteres = new QGroupBox(QStringLiteral("Mesure"), this);
    m_trames = new QSpinBox(criteres);
    m_trames->setObjectName(QStringLiteral("trames"));
    m_trames->setRange(1, calibration::TramesMax);
    m_trames->setValue(m_seance.criteres().trames);
    m_dispersion = new QDoubleSpinBox(criteres);
    m_dispersion->setObjectName(QStringLiteral("dispersion"));
    m_dispersion->setRange(0.1, 100.0);
    m_dispersion->setDecimals(1);
    m_dispersion->setSuffix(QStringLiteral(" cm"));
    m_dispersion->setValue(m_seance.criteres().dispersionMaxCm);
    m_grille = new QSpinBox(criteres);
    m_grille->setObjectName(QStringLiteral("grille"));
    m_grille->setRange(calibration::CoteGrilleMin, calibration::CoteGrilleMax);
    m_grille->setValue(m_seance.coteGrille());
    m_grille->setSuffix(QStringLiteral(" points de côté"));
    auto* formeCriteres = new QFormLayout(criteres);
    formeCriteres->addRow(QStringLiteral("Trames par point :"), m_trames);
    formeCriteres->addRow(QStringLiteral("Dispersion admise :"), m_dispersion);
    formeCriteres->addRow(QStringLiteral("Grille suggérée :"), m_grille);

    auto* affinage = new QGroupBox(QStringLiteral("Réseau de position"), this);
    m_passes = new QSpinBox(affinage);
    m_passes->setObjectName(QStringLiteral("passes"));
    m_passes->setRange(1, 100000);
    m_passes->setValue(PassesAffinage);
    m_affiner = new QPushButton(QStringLiteral("A&ffiner le réseau"), affinage);
    m_affiner->setObjectName(QStringLiteral("affiner"));
    m_affiner->setToolTip(QStringLiteral(
        "Entraîne le réseau de la console sur les points gardés, à partir de ses poids"));
    auto* formeAffinage = new QFormLayout(affinage);
    formeAffinage->addRow(QStringLiteral("Passes d'affinage :"), m_passes);
    formeAffinage->addRow(m_affiner);

    m_mesurer = new QPushButton(QStringLiteral("&Mesurer"), this);
    m_mesurer->setObjectName(QStringLiteral("mesurer"));
    m_etat =
        new QLabel(QStringLiteral("Placez le robot sur un point connu, puis « Mesurer »."), this);
    m_etat->setObjectName(QStringLiteral("etat"));
    m_etat->setWordWrap(true);

    m_liste = new QListWidget(this);
    m_liste->setObjectName(QStringLiteral("liste"));
    auto* retirer = new QPushButton(QStringLiteral("&Retirer"), this);
    retirer->setObjectName(QStringLiteral("retirer"));
    auto* vider = new QPushButton(QStringLiteral("&Vider"), this);
    vider->setObjectName(QStringLiteral("vider"));
    auto* enregistrerBouton = new QPushButton(QStringLiteral("&Enregistrer..."), this);
    enregistrerBouton->setObjectName(QStringLiteral("enregistrer"));
    auto* fermer = new QPushButton(QStringLiteral("&Fermer"), this);
    fermer->setObjectName(QStringLiteral("fermer"));
    for (QPushButton* b :
         {m_mesurer, retirer, vider, enregistrerBouton, fermer, suggere, m_designer, m_affiner}) {
        b->setAutoDefault(false);
    }

    auto* boutonsListe = new QHBoxLayout;
    boutonsListe->addWidget(retirer);
    boutonsListe->addWidget(vider);
    boutonsListe->addStretch(1);
    boutonsListe->addWidget(enregistrerBouton);
    boutonsListe->addWidget(fermer);
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(point);
    colonne->addWidget(criteres);
    colonne->addWidget(m_mesurer);
    colonne->addWidget(m_etat);
    colonne->addWidget(new QLabel(QStringLiteral("Points gardés :"), this));
    colonne->addWidget(m_liste, 1);
    colonne->addLayout(boutonsListe);
    colonne->addWidget(affinage);

    connect(m_mesurer, &QPushButton::clicked, this, [this] {
        if (m_seance.mesureEnCours()) {
            m_seance.annuler();
            m_mesurer->setText(QStringLiteral("&Mesurer"));
            m_etat->setText(QStringLiteral("Mesure annulée."));
        } else {
            mesurer();
        }
    });
    connect(suggere, &QPushButton::clicked, this, &CalibrationDlg::pointSuggere);
    connect(m_designer, &QPushButton::toggled, this, [this](bool arme) {
        if (!m_view) {
            return;
        }
        if (!arme) {
            m_view->designerPoint(nullptr);
            return;
        }
        m_view->designerPoint([this](int x, int y) {
            m_x->setValue(x);
            m_y->setValue(y);
            m_designer->setChecked(false);
            redessinerCarte();
        });
    });
    connect(m_x, &QSpinBox::valueChanged, this, &CalibrationDlg::redessinerCarte);
    connect(m_y, &QSpinBox::valueChanged, this, &CalibrationDlg::redessinerCarte);
    connect(m_trames, &QSpinBox::valueChanged, this, &CalibrationDlg::criteresChanges);
    connect(m_dispersion, &QDoubleSpinBox::valueChanged, this, &CalibrationDlg::criteresChanges);
    connect(m_grille, &QSpinBox::valueChanged, this, [this](int cote) {
        m_seance.setCoteGrille(cote);
        redessinerCarte();
    });
    connect(retirer, &QPushButton::clicked, this, &CalibrationDlg::retirer);
    connect(vider, &QPushButton::clicked, this, &CalibrationDlg::vider);
    connect(enregistrerBouton, &QPushButton::clicked, this,
            [this] { executerProtege([this] { enregistrer(); }); });
    connect(m_affiner, &QPushButton::clicked, this, [this] {
        QPointer<CalibrationDlg> moi(this);
        if (!executerProtege([this] { affiner(); }) && moi) {
            m_etat->setText(QStringLiteral("Affinage impossible : le réseau reste celui d'avant."));
        }
    });
    connect(fermer, &QPushButton::clicked, this, &QDialog::close);
    if (m_view) {
        connect(m_view.data(), &CKIVView::intervallesLus, this, &CalibrationDlg::trame);
        if (CMapView* carte = m_view->mapView()) {
            carte->poserSurcouche(
                this, [this](QPainter& p, const Instantane& monde) { dessiner(p, monde); });
        }
    }
}

CalibrationDlg::~CalibrationDlg()
{
    if (m_view) {
        m_view->designerPoint(nullptr);
        if (CMapView* carte = m_view->mapView()) {
            carte->poserSurcouche(this, nullptr);
        }
    }
}

void CalibrationDlg::criteresChanges()
{
    calibration::CriteresPoint c;
    c.trames = m_trames->value();
    c.dispersionMaxCm = m_dispersion->value();
    m_seance.setCriteres(c);
}

void CalibrationDlg::mesurer()
{
    criteresChanges();
    // The distance that asks is read at each measure: a change of the
    // settings store counts from the next point.
    if (m_view) {
        m_seance.setEstimateur(
            [this](const std::array<double, 3>& t) -> std::optional<balises::Position> {
                return m_view ? estimation(m_view->reseaux(), t) : std::nullopt;
            },
            ecartMaxCalibrationCm());
    }
    m_seance.commencer({static_cast<double>(m_x->value()), static_cast<double>(m_y->value())});
    m_mesurer->setText(QStringLiteral("&Annuler la mesure"));
    m_etat->setText(QStringLiteral("Mesure en %1 : 0 / %2 trames")
                        .arg(position(m_seance.positionMesuree()))
                        .arg(m_seance.criteres().trames));
    redessinerCarte();
}

void CalibrationDlg::pointSuggere()
{
    if (const auto p = m_seance.prochainPointGrille()) {
        m_x->setValue(static_cast<int>(std::lround(p->x)));
        m_y->setValue(static_cast<int>(std::lround(p->y)));
        m_etat->setText(QStringLiteral("Point suggéré : %1. Placez-y le robot, puis « Mesurer ».")
                            .arg(position(*p)));
    } else {
        m_etat->setText(QStringLiteral("Tous les points de la grille sont mesurés."));
    }
}

void CalibrationDlg::trame(double t1, double t2, double t3)
{
    if (!m_seance.mesureEnCours()) {
        return;
    }
    const auto resultat = m_seance.trame({t1, t2, t3});
    if (!resultat) {
        m_etat->setText(
            QStringLiteral("Mesure en %1 : %2 / %3 trames, dispersion %4")
                .arg(position(m_seance.positionMesuree()))
                .arg(m_seance.mesure().trames())
                .arg(m_seance.criteres().trames)
                .arg(texteSpread(m_seance.mesure().dispersionCm(m_seance.geometrie()))));
        return;
    }
    m_mesurer->setText(QStringLiteral("&Mesurer"));
    if (resultat->accepte && resultat->aConfirmer) {
        m_etat->setText(QStringLiteral("Point à confirmer : %1, à %2 cm de la position estimée "
                                       "par le réseau.")
                            .arg(position(resultat->point.position))
                            .arg(static_cast<long>(std::lround(resultat->ecartCm))));
        redessinerCarte();
        // Asked once the byte that closed the point is handled: the link
        // goes on reading and answering while the question is open.
        const std::uint64_t numero = m_seance.numeroAttente();
        QTimer::singleShot(0, this,
                           [this, numero, r = *resultat] { demanderConfirmation(numero, r); });
    } else if (resultat->accepte) {
        pointGarde(resultat->point);
    } else {
        m_etat->setText(
            QStringLiteral("Point refusé : %1.").arg(QString::fromStdString(resultat->refus)));
        redessinerCarte();
    }
}

void CalibrationDlg::demanderConfirmation(std::uint64_t numero,
                                          const calibration::ResultatPoint& resultat)
{
    if (!m_seance.enAttente() || m_seance.numeroAttente() != numero || !resultat.estimation) {
        return;
    }
    const QString question =
        QStringLiteral("Le point mesuré en %1 est à %2 cm de la position que le réseau estime "
                       "pour ses mesures (%3), plus que l'écart admis de %4 cm.\n\n"
                       "Le robot se trouvait-il bien en %1 ?\n"
                       "« Oui » garde le point, « Non » l'écarte.")
            .arg(position(resultat.point.position))
            .arg(static_cast<long>(std::lround(resultat.ecartCm)))
            .arg(position(*resultat.estimation))
            .arg(QString::number(m_seance.ecartMaxCm(), 'g', 6));
    const QPointer<CalibrationDlg> moi(this);
    const MessageAnswer reponse = platform().messageBox(
        question.toStdString(), "Calibration", MessageButtons::YesNo, MessageIcon::Question);
    if (!moi) {
        return;
    }
    const bool garder = reponse == MessageAnswer::Yes;
    if (!m_seance.confirmer(numero, garder)) {
        return; // another measure started meanwhile: this point is gone
    }
    if (garder) {
        pointGarde(resultat.point);
    } else {
        m_etat->setText(QStringLiteral("Point écarté : %1, à %2 cm de la position estimée par le "
                                       "réseau.")
                            .arg(position(resultat.point.position))
                            .arg(static_cast<long>(std::lround(resultat.ecartCm))));
        redessinerCarte();
    }
}

void CalibrationDlg::pointGarde(const calibration::PointCalibration& point)
{
    // The session's log keeps it: kiv-log --dat makes the set again.
    if (m_view && m_view->lien()) {
        journal::PointCalibre p;
        p.x = point.position.x;
        p.y = point.position.y;
        for (std::size_t k = 0; k < 3; ++k) {
            p.intervalles[k] = point.intervalles[k];
        }
        p.trames = static_cast<std::uint32_t>(point.trames);
        p.dispersionCm = point.dispersionCm;
        m_view->lien()->noteCalibration(p);
    }
    m_etat->setText(QStringLiteral("Point gardé : %1, dispersion %2.")
                        .arg(position(point.position))
                        .arg(texteSpread(point.dispersionCm)));
    actualiserListe();
}

void CalibrationDlg::retirer()
{
    const int i = m_liste->currentRow();
    const int taille = m_seance.liste().taille();
    if (i < 0 || i >= taille) {
        return;
    }
    // Recorded with the list's size: kiv-log --dat removes the same point.
    if (m_view && m_view->lien()) {
        m_view->lien()->noteCalibrationEdit({journal::OperationListe::Retrait,
                                             static_cast<std::uint32_t>(i),
                                             static_cast<std::uint32_t>(taille)});
    }
    m_seance.liste().retirer(i);
    actualiserListe();
}

void CalibrationDlg::vider()
{
    const int taille = m_seance.liste().taille();
    if (taille == 0) {
        return;
    }
    if (m_view && m_view->lien()) {
        m_view->lien()->noteCalibrationEdit(
            {journal::OperationListe::Vidage, 0, static_cast<std::uint32_t>(taille)});
    }
    m_seance.liste().vider();
    actualiserListe();
}

void CalibrationDlg::actualiserListe()
{
    m_liste->clear();
    const auto& points = m_seance.liste().points();
    for (std::size_t k = 0; k < points.size(); ++k) {
        m_liste->addItem(QStringLiteral("%1. %2 : %3 trames, dispersion %4")
                             .arg(k + 1)
                             .arg(position(points[k].position))
                             .arg(points[k].trames)
                             .arg(texteSpread(points[k].dispersionCm)));
    }
    redessinerCarte();
}

bool CalibrationDlg::enregistrer()
{
    if (m_seance.liste().taille() == 0) {
        platform().messageBox("Aucun point gardé : rien à enregistrer.",
                              platform().loadString(ids::AppTitle), MessageButtons::Ok,
                              MessageIcon::Exclamation);
        return false;
    }
    auto choix = platform().chooseFile(FileDialogKind::Save, kFiltreEntrainement);
    if (!choix) {
        return false;
    }
    // A name typed without an extension gets the training sets' own.
    if (std::filesystem::path(*choix).extension().empty()) {
        *choix += ".dat";
    }
    std::string raison;
    if (!m_seance.liste().ecrireFichier(*choix, &raison)) {
        platform().messageBox(messageEcriture(*choix, raison), platform().loadString(ids::AppTitle),
                              MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    const int n = m_seance.liste().taille();
    m_etat->setText((n > 1 ? QStringLiteral("%1 points enregistrés dans « %2 ».")
                           : QStringLiteral("%1 point enregistré dans « %2 »."))
                        .arg(n)
                        .arg(QString::fromStdString(*choix)));
    return true;
}

bool CalibrationDlg::affiner()
{
    if (m_affinageEnCours || !m_view) {
        return false;
    }
    const int points = m_seance.liste().taille();
    if (points == 0) {
        prevenir(QStringLiteral("Aucun point gardé : rien pour affiner le réseau."));
        return false;
    }
    ReseauxDlg& reseaux = m_view->reseaux();
    if (reseaux.entrainementEnCours()) {
        prevenir(QStringLiteral("Le réseau s'entraîne dans la fenêtre du réseau : affinez-le "
                                "une fois cet entraînement terminé."));
        return false;
    }
    ReseauNeurones& reseau = reseaux.reseau();
    if (reseau.perceptron() == nullptr) {
        prevenir(QStringLiteral("Aucun réseau à affiner : lisez d'abord ses poids (« &Lire "
                                "Poids » dans la fenêtre du réseau, ou kiv --weights)."));
        return false;
    }
    // The error over the points, as the console reads positions, before and after.
    const Table1D<Exemple> ensemble = m_seance.liste().ensemble();
    std::vector<ErreurExemple> resultats;
    testerEnsemble(reseau, ensemble, CoordonneeDeSortie, resultats);
    const double avant = statistiquesErreur(resultats).rms;

    struct EnCours {
        CalibrationDlg& dlg;
        QPointer<CalibrationDlg> vivant;
        explicit EnCours(CalibrationDlg& d)
            : dlg(d)
            , vivant(&d)
        {
            dlg.m_affinageEnCours = true;
            dlg.m_affiner->setEnabled(false);
        }
        ~EnCours()
        {
            if (vivant) {
                dlg.m_affinageEnCours = false;
                dlg.m_affiner->setEnabled(true);
            }
        }
    } enCours(*this);
    m_etat->setText(QStringLiteral("Affinage du réseau sur %1...").arg(nombrePoints(points)));
    const BilanAffinage bilan = reseau.Affiner(ensemble, m_passes->value());
    if (!enCours.vivant) {
        return bilan.remplace;
    }
    if (bilan.annule) {
        m_etat->setText(QStringLiteral("Affinage annulé après %1 passes : le réseau reste celui "
                                       "d'avant.")
                            .arg(bilan.passes));
        return false;
    }
    if (!bilan.remplace) {
        m_etat->setText(QStringLiteral("Le réseau a été remplacé pendant l'affinage : le réseau "
                                       "affiné est abandonné."));
        return false;
    }
    testerEnsemble(reseau, ensemble, CoordonneeDeSortie, resultats);
    const double apres = statistiquesErreur(resultats).rms;
    m_etat->setText(
        QStringLiteral("Réseau affiné sur %1 en %2 passes : écart sur ces points %3 cm "
                       "avant, %4 cm après. Il estime désormais la position du robot ; « Ecrire "
                       "Poids » dans la fenêtre du réseau l'enregistre.")
            .arg(nombrePoints(points))
            .arg(bilan.passes)
            .arg(QString::number(avant, 'f', 1))
            .arg(QString::number(apres, 'f', 1)));
    return true;
}

void CalibrationDlg::redessinerCarte()
{
    if (m_view && m_view->mapView()) {
        m_view->mapView()->update();
    }
}

void CalibrationDlg::dessiner(QPainter& p, const Instantane&) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // The grid to visit: grey rings, filled once a kept point stands there.
    const auto& grille = m_seance.grille();
    for (std::size_t k = 0; k < grille.size(); ++k) {
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        p.setBrush(m_seance.pointGrilleVisite(k) ? QBrush(QColor(90, 90, 90)) : Qt::NoBrush);
        p.drawEllipse(QPointF(grille[k].x, grille[k].y), 5.0, 5.0);
    }
    // The points kept: blue discs.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 90, 220));
    for (const auto& point : m_seance.liste().points()) {
        p.drawEllipse(QPointF(point.position.x, point.position.y), 3.5, 3.5);
    }
    // The point typed or being measured: a blue cross.
    const QPointF ici(m_x->value(), m_y->value());
    p.setPen(QPen(QColor(0, 90, 220), m_seance.mesureEnCours() ? 2.5 : 1.5));
    p.drawLine(ici - QPointF(8, 0), ici + QPointF(8, 0));
    p.drawLine(ici - QPointF(0, 8), ici + QPointF(0, 8));
    p.restore();
}

QAction* ajouterMenuCalibration(CMainFrame& frame)
{
    QMenu* parametres = frame.menuDe(cmd::PortSerie);
    if (!parametres || !frame.view()) {
        return nullptr;
    }
    auto* action = new QAction(QStringLiteral("&Calibration..."), &frame);
    action->setObjectName(QStringLiteral("calibration"));
    action->setStatusTip(
        QStringLiteral("Mesure des points connus du terrain pour entraîner le réseau de position"));
    parametres->addAction(action);
    CKIVView* view = frame.view();
    QObject::connect(action, &QAction::triggered, &frame, [&frame, view] {
        auto* dialogue = frame.findChild<CalibrationDlg*>();
        if (!dialogue) {
            dialogue = new CalibrationDlg(view, &frame);
        }
        // Beside the map, never over it: the operator designates points there.
        if (!dialogue->isVisible() && view->mapView()) {
            placerACote(*dialogue, frame, *view->mapView());
        }
        dialogue->show();
        dialogue->raise();
        dialogue->activateWindow();
    });
    return action;
}
