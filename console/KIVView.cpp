#include "console/KIVView.h"

#include "console/BoiteTrafic.h"
#include "console/ConsoleState.h"
#include "console/EstimateurLien.h"
#include "console/NiveauBarre.h"
#include "console/ObservateurMonde.h"
#include "console/PorteAffichage.h"
#include "console/ReglageEvasion.h"
#include "console/ReglageFiltre.h"
#include "console/StyleCadreMemorise.h"
#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "ui_KIVView.h"
#include "world/EditionsMonde.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"
#include "world/view/MapView.h"

#include <QEvent>
#include <QScrollBar>
#include <QThread>
#include <limits>
#include <optional>

namespace {
const char* const ChoisirPoids = "Choisissez un fichier de poids pour le réseau de neurones";
}

CKIVView::CKIVView(QWidget* parent, OptionsConsole options)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::KIVView>())
    , m_chaine({[this](double t1, double t2, double t3) { return estimer(t1, t2, t3); }, true,
                [this](int brutX, int brutY, int x, int y) {
                    if (m_serialPort) {
                        m_serialPort->notePosition({brutX, brutY, x, y});
                    }
                }})
    , m_estimateur(std::make_shared<EstimateurLien>())
    , m_fabriqueLien(std::move(options.lien))
    , m_ouvrirPort(options.ouvrirPort)
{
    m_ui->setupUi(this);
    m_reelsButton = m_ui->id1020;
    m_batterie = m_ui->id1019;
    m_niveauBatterie = new NiveauBarre(m_batterie, this);
    m_wheelLeftBox = m_ui->id1008;
    m_wheelRightBox = m_ui->id1017;
    // The last 50,000 bytes received (one line each), the last 1,000
    // paragraphs of commands (about 100,000 commands).
    m_reception = new BoiteTrafic(m_ui->id1004, 50000, this);
    m_transmission = new BoiteTrafic(m_ui->id1011, 480, 1000, this);
    m_robotYBox = m_ui->id1006;
    m_robotXBox = m_ui->id1005;
    m_destYBox = m_ui->id1012;
    m_destXBox = m_ui->id1009;
    if (!m_fabriqueLien) {
        m_fabriqueLien = [] { return std::make_unique<UnavailableLink>(); };
    }
    setFocusPolicy(Qt::StrongFocus);
    connecterCommandes();
    preparerReconnexion();
    m_noteDebordement.setSingleShot(true);
    connect(&m_noteDebordement, &QTimer::timeout, this, [this] { noterDebordement(); });

    m_porte = std::make_unique<PorteAffichage>([this] { return attendReponse(); });
    m_reception->setPorte(m_porte.get());
    m_transmission->setPorte(m_porte.get());

    // The edits of the world go to the session's log through the link; one
    // made on another thread is noted on this one, in its turn.
    m_cleEditions = observerEditions([this](const EditionMonde& edition) {
        if (QThread::currentThread() == thread()) {
            noterEdition(edition);
        } else {
            QMetaObject::invokeMethod(
                this, [this, edition] { noterEdition(edition); }, Qt::QueuedConnection);
        }
    });

    m_reseaux = std::make_unique<ReseauxDlg>(this);
    if (options.poids.empty()) {
        platform().messageBox(ChoisirPoids, platform().loadString(ids::AppTitle),
                              MessageButtons::Ok, MessageIcon::None);
        m_reseaux->OnLirePoids();
    } else {
        // Chosen on the command line: loaded without asking; a file that
        // cannot be opened is told as such, with its name.
        executerProtege([&] { m_reseaux->reseau().LirePoidsNommes(options.poids); });
    }
}

CKIVView::~CKIVView()
{
    // A view made since keeps its own observer.
    finObservationEditions(m_cleEditions);
    // The link goes first: its thread answers the robot from the world, and
    // a robot must hear nothing more once the navigation has stopped (it
    // would drive on with the last wheel codes).
    if (m_serialPort && m_serialPort->threadAlive()) {
        m_serialPort->SuspendMonitor();
    }
    // Bytes lost since the last note of an overrun are noted before the log closes.
    if (const std::optional<std::string> texte =
            m_debordement.note(std::numeric_limits<std::int64_t>::max());
        texte && m_serialPort) {
        m_serialPort->noteLinkEvent(*texte);
    }
    m_serialPort.reset();
    // The world threads use the map and this view.
    StopWorldThreads();
    m_observateur.reset();
}

void CKIVView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The boxes that follow the robot draw their panels once and keep them:
    // the style would stroke the rounded frame again at every paint, twice
    // a picture. Set before the filling below: after a change of style, Qt
    // takes the box for transparent again, and each new value would repaint
    // the group box and the view behind it.
    if (m_styleCadres == nullptr) {
        m_styleCadres = new StyleCadreMemorise;
        m_styleCadres->setParent(this);
        for (QLineEdit* boite : {m_robotXBox, m_robotYBox, m_wheelLeftBox, m_wheelRightBox}) {
            boite->setStyle(m_styleCadres);
        }
    }
    // They fill their whole rectangle, in the colour around them: a new
    // value repaints the box alone, not the group box and the view behind
    // it (their frames and titles, at every picture). Set once shown: the
    // window's set-up clears it before.
    for (QWidget* boite : std::initializer_list<QWidget*>{m_robotXBox, m_robotYBox, m_wheelLeftBox,
                                                          m_wheelRightBox, m_batterie}) {
        boite->setBackgroundRole(QPalette::Window);
        boite->setAutoFillBackground(true);
    }
    // Their texts ("123 cm", "3") and the traffic boxes' need no shaping:
    // the font's characters as they stand, without a shaping pass at every
    // new value (a third of the interface thread's work at 384 frames/s).
    for (QWidget* boite :
         std::initializer_list<QWidget*>{m_robotXBox, m_robotYBox, m_wheelLeftBox, m_wheelRightBox,
                                         m_ui->id1004, m_ui->id1011}) {
        QFont police = boite->font();
        police.setStyleStrategy(QFont::PreferNoShaping);
        boite->setFont(police);
    }
    // Activation comes once the frame is on screen: the set-up may show a
    // message box, which must not be the only window at that moment.
    QMetaObject::invokeMethod(this, &CKIVView::OnActivateView, Qt::QueuedConnection);
}

void CKIVView::OnActivateView()
{
    if (!monde().drapeaux.miseEnPlaceAttendue || m_mapView != nullptr) {
        return;
    }
    g_portOpen = 0;
    CreateMapView();
    m_serialPort = m_fabriqueLien();
    if (m_ouvrirPort) {
        OpenRobotPort();
    }
    appliquerReglageEvasion();
    appliquerReglageFiltre();
    StartNavigation();
    m_batterie->setRange(0, 230);
    m_batterie->setValue(0);
    emit misEnPlace();
}

void CKIVView::CreateMapView()
{
    m_mapView = new CMapView(this);
    m_mapView->setEnabled(false);
    m_mapView->m_ownerView = this;
    m_observateur = std::make_unique<ObservateurMonde>(*this, *m_mapView, m_porte.get());

    monde().bandit.modifier([](MarqueBandit& b) { b.placee = false; });
    m_ui->id1024->setChecked(true);

    placerCarte();
    m_mapView->setEnabled(true);
    m_mapView->show();
    m_mapView->raise();
    m_mapView->Redraw();

    // The form's layout may move the frame; the map follows it.
    m_ui->id1001->installEventFilter(this);
}

void CKIVView::placerCarte()
{
    m_mapRect = m_ui->id1001->geometry();
    const int cote =
        std::max(CMapView::CoteMinimal, std::min(m_mapRect.width(), m_mapRect.height()));
    m_mapView->setGeometry(m_mapRect.x(), m_mapRect.y(), cote, cote);
}

QSize CKIVView::minimumSizeHint() const
{
    // The smallest form: the whole map at its smallest beside the controls,
    // which scroll in their own column when they are taller (the layout
    // would take the map's current size for it). Asked afresh each time:
    // the controls' width depends on the style and fonts in force.
    const QMargins bords = m_ui->formLayout->contentsMargins();
    return {bords.left() + CMapView::CoteMinimal + m_ui->formLayout->spacing() +
                largeurControles(true) + bords.right(),
            bords.top() + CMapView::CoteMinimal + bords.bottom()};
}

int CKIVView::largeurControles(bool defilent) const
{
    const int barre =
        defilent ? m_ui->defilementControles->verticalScrollBar()->sizeHint().width() : 0;
    return m_ui->controls->minimumSize().width() + barre;
}

void CKIVView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The map's frame is the square the form leaves beside its controls:
    // as tall as the form, as wide as the controls allow (with their scroll
    // bar when they are taller than the form).
    const QMargins bords = m_ui->formLayout->contentsMargins();
    const int hauteur = height() - bords.top() - bords.bottom();
    const bool defilent = hauteur < m_ui->controls->minimumSize().height();
    const int largeur = width() - bords.left() - bords.right() - m_ui->formLayout->spacing() -
                        largeurControles(defilent);
    const int cote = std::max(CMapView::CoteMinimal, std::min(largeur, hauteur));
    if (m_ui->id1001->size() != QSize(cote, cote)) {
        m_ui->id1001->setFixedSize(cote, cote);
        m_ui->formLayout->activate();
    }
    if (m_mapView) {
        placerCarte();
    }
}

bool CKIVView::eventFilter(QObject* watched, QEvent* event)
{
    if (m_mapView && watched == m_ui->id1001 &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        placerCarte();
    }
    return QWidget::eventFilter(watched, event);
}

bool CKIVView::prendreClic(int x, int y)
{
    if (!m_designation) {
        return false;
    }
    const auto suite = std::move(m_designation);
    m_designation = nullptr;
    suite(x, y);
    return true;
}

Selection CKIVView::selection() const
{
    if (m_ui->id1022->isChecked()) {
        return Selection::Destination;
    }
    if (m_ui->id1023->isChecked()) {
        return Selection::Obstacle;
    }
    if (m_ui->id1024->isChecked()) {
        return Selection::Robot;
    }
    if (m_ui->id1025->isChecked()) {
        return Selection::Bandit;
    }
    return Selection::None;
}

void CKIVView::ShowRobotPosition()
{
    const Point p = monde().robot.position();
    // A box is laid out again at each setText: only a new text is set.
    const auto poser = [](QLineEdit* boite, int cm) {
        const QString texte = QString::asprintf("%i cm", cm);
        if (boite->text() != texte) {
            boite->setText(texte);
        }
    };
    poser(m_robotXBox, p.x);
    poser(m_robotYBox, p.y);
    // Called by every repaint of the map: the status panes look again.
    emit mondeAffiche();
}

void CKIVView::marquerPerimees(bool perimees)
{
    if (perimees == m_perimees) {
        return;
    }
    m_perimees = perimees;
    const QString bulle =
        perimees ? QStringLiteral("Dernière valeur connue : le lien avec le robot est perdu, "
                                  "elle n'est peut-être plus vraie.")
                 : QString();
    for (QLineEdit* boite : {m_robotXBox, m_robotYBox, m_wheelLeftBox, m_wheelRightBox}) {
        QPalette couleurs = boite->palette();
        couleurs.setColor(QPalette::Text,
                          perimees ? QColor(Qt::gray) : palette().color(QPalette::Text));
        boite->setPalette(couleurs);
        QFont police = boite->font();
        police.setItalic(perimees);
        boite->setFont(police);
        boite->setToolTip(bulle);
    }
}

void CKIVView::peindreEnAttente()
{
    m_niveauBatterie->peindreSiEnAttente();
}

void CKIVView::ShowDestination()
{
    const Point p = monde().destination.lire().marque;
    m_destXBox->setText(QString::asprintf("%i cm", p.x));
    m_destYBox->setText(QString::asprintf("%i cm", p.y));
}

void CKIVView::ShowWheelSpeeds()
{
    const QString gauche = m_wheelLeftBox->text();
    const QString droite = m_wheelRightBox->text();
    const OrdresRobot ordres = monde().ordres.lire();
    const int left = ordres.roueGauche;
    const int right = ordres.roueDroite;
    if (gauche == QLatin1String("0") && droite == QLatin1String("0") && left == 0 && right == 0) {
        return;
    }
    m_wheelRightBox->setText(QString::asprintf("%i", right));
    m_wheelLeftBox->setText(QString::asprintf("%i", left));
}
