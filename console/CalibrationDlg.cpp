#include "console/CalibrationDlg.h"

#include "console/KIVView.h"
#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "link/RobotLink.h"
#include "trainer/ReseauNeurones.h"
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
#include <QVBoxLayout>

#include <cmath>

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
         {m_mesurer, retirer, vider, enregistrerBouton, fermer, suggere, m_designer}) {
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
    connect(retirer, &QPushButton::clicked, this, [this] {
        m_seance.liste().retirer(m_liste->currentRow());
        actualiserListe();
    });
    connect(vider, &QPushButton::clicked, this, [this] {
        m_seance.liste().vider();
        actualiserListe();
    });
    connect(enregistrerBouton, &QPushButton::clicked, this,
            [this] { executerProtege([this] { enregistrer(); }); });
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
    if (resultat->accepte) {
        // The session's log keeps it: kiv-log --dat makes the set again.
        if (m_view && m_view->lien()) {
            journal::PointCalibre p;
            p.x = resultat->point.position.x;
            p.y = resultat->point.position.y;
            for (std::size_t k = 0; k < 3; ++k) {
                p.intervalles[k] = resultat->point.intervalles[k];
            }
            p.trames = static_cast<std::uint32_t>(resultat->point.trames);
            p.dispersionCm = resultat->point.dispersionCm;
            m_view->lien()->noteCalibration(p);
        }
        m_etat->setText(QStringLiteral("Point gardé : %1, dispersion %2.")
                            .arg(position(resultat->point.position))
                            .arg(texteSpread(resultat->point.dispersionCm)));
        actualiserListe();
    } else {
        m_etat->setText(
            QStringLiteral("Point refusé : %1.").arg(QString::fromStdString(resultat->refus)));
        redessinerCarte();
    }
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
    const auto choix = platform().chooseFile(FileDialogKind::Save, kFiltreEntrainement);
    if (!choix) {
        return false;
    }
    std::string raison;
    if (!m_seance.liste().ecrireFichier(*choix, &raison)) {
        platform().messageBox(messageEcriture(*choix, raison), platform().loadString(ids::AppTitle),
                              MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    m_etat->setText(QStringLiteral("%1 points enregistrés dans « %2 ».")
                        .arg(m_seance.liste().taille())
                        .arg(QString::fromStdString(*choix)));
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
        dialogue->show();
        dialogue->raise();
        dialogue->activateWindow();
    });
    return action;
}
