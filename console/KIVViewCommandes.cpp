// The control view's commands: the form's buttons, the menu's grid lines,
// the keys and the mouse on the form's own surface.
#include "console/ConsoleState.h"
#include "console/KIVView.h"
#include "console/PlacementACote.h"
#include "console/PretraductionClavier.h"
#include "core/Platform.h"
#include "core/StringTable.h"
#include "link/dialog/CommDlg.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "ui_KIVView.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"
#include "world/view/MapView.h"

#include <QAction>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

void CKIVView::connecterCommandes()
{
    connect(m_ui->id1007, &QPushButton::clicked, this, &CKIVView::OnEtatPort);
    connect(m_ui->id1020, &QPushButton::clicked, this, &CKIVView::OnReels);
    connect(m_ui->id1033, &QPushButton::clicked, this, &CKIVView::OnVirtuels);
    connect(m_ui->id159, &QPushButton::clicked, this, &CKIVView::OnGo);
    connect(m_ui->id1027, &QPushButton::clicked, this, &CKIVView::OnArret);
    connect(m_ui->id1042, &QPushButton::clicked, this, &CKIVView::OnSaisie);
    connect(m_ui->reprendre, &QPushButton::clicked, this, &CKIVView::OnReprendre);
    connect(m_ui->id1043, &QPushButton::clicked, this, &CKIVView::OnEntrainer);
    m_ui->id1027->setToolTip(
        QStringLiteral("Arrête le robot et le garde arrêté jusqu'à « Reprendre » (Échap)"));
    m_ui->id1042->setToolTip(
        QStringLiteral("Arrête le robot et le garde arrêté jusqu'à « Reprendre »"));
    m_ui->reprendre->setToolTip(QStringLiteral("Le robot repart vers la destination"));
    // The stop key works wherever the keyboard is in the main window, and
    // before the key messages: a stop never waits behind a box.
    auto* arret = new QAction(this);
    arret->setObjectName(QStringLiteral("toucheArret"));
    arret->setShortcut(QKeySequence(Qt::Key_Escape));
    arret->setShortcutContext(Qt::WindowShortcut);
    addAction(arret);
    connect(arret, &QAction::triggered, m_ui->id1027, &QPushButton::click);
    // "Bandit" hands the keyboard to the view.
    connect(m_ui->id1025, &QRadioButton::clicked, this, [this] { setFocus(); });
}

void CKIVView::OnEtatPort()
{
    if (g_portOpen == 1 && m_serialPort && m_serialPort->threadAlive()) {
        platform().messageBox("Le port série est en fonction", "État du port série",
                              MessageButtons::Ok, MessageIcon::Information);
    } else {
        platform().messageBox("Le port série n'est pas en fonction", "Attention!",
                              MessageButtons::Ok, MessageIcon::Stop);
    }
}

void CKIVView::OnReels()
{
    if (m_mapView) {
        m_mapView->RemoveRealObstacles();
    }
}

void CKIVView::OnVirtuels()
{
    if (m_mapView) {
        m_mapView->RemoveVirtualObstacles();
    }
}

void CKIVView::OnGo()
{
    lacherRobot();
    if (m_serialPort) {
        const Point robot = monde().robot.position();
        const Point destination = monde().destination.lire().marque;
        m_serialPort->noteEvent(
            "go robot " + std::to_string(robot.x) + " " + std::to_string(robot.y) +
            " destination " + std::to_string(destination.x) + " " + std::to_string(destination.y));
    }
    SetSimRunning(1);
    StartSimulation();
}

void CKIVView::OnArret()
{
    SetSimRunning(0);
    retenirRobot("arrêt");
}

void CKIVView::OnSaisie()
{
    retenirRobot("saisie");
}

void CKIVView::OnReprendre()
{
    lacherRobot();
}

void CKIVView::retenirRobot(const char* evenement)
{
    // Held before the neutral byte leaves: the link's thread answers the
    // next status byte with the neutral command too, and so on until the
    // operator resumes.
    ArreterOperateur();
    m_ui->reprendre->setEnabled(true);
    if (m_serialPort) {
        m_serialPort->noteEvent(evenement);
    }
    SendWheelCommand(0, 0, 0);
}

void CKIVView::lacherRobot()
{
    m_ui->reprendre->setEnabled(false);
    if (ReprendreOperateur() && m_serialPort) {
        m_serialPort->noteEvent("reprendre");
    }
}

void CKIVView::OnPortSerie()
{
    CommDlg dialogue;
    dialogue.setProprietaire(this);
    dialogue.exec();
}

void CKIVView::OnEntrainer()
{
    // Beside the console, not over it: the operator keeps "Arrêt" and the
    // map while the network is set up or trained.
    if (!m_reseaux->isVisible() && m_mapView) {
        placerACote(*m_reseaux, *window(), *m_mapView);
    }
    m_reseaux->show();
    m_reseaux->raise();
    m_reseaux->activateWindow();
}

void CKIVView::OnQuadrillage(bool coche)
{
    monde().drapeaux.quadrillage = coche ? 1 : 0;
    if (m_mapView) {
        m_mapView->Redraw();
    }
}

void CKIVView::keyPressEvent(QKeyEvent* event)
{
    if (toucheSysteme(*event) || !messagesClavierActifs()) {
        // F10 and Alt keys belong to the menus, as for the frame; without
        // the key messages every key goes on without a box.
        QWidget::keyPressEvent(event);
        return;
    }
    const std::string titre = platform().loadString(ids::AppTitle);
    platform().messageBox("Keydown", titre, MessageButtons::Ok, MessageIcon::None);
    // A key that types a character, a control character included, also
    // sends the character.
    if (toucheCaractere(*event)) {
        platform().messageBox("YES!!!", titre, MessageButtons::Ok, MessageIcon::None);
    }
    QWidget::keyPressEvent(event);
}

bool CKIVView::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* touche = static_cast<QKeyEvent*>(event);
        const bool tabulation = touche->key() == Qt::Key_Tab || touche->key() == Qt::Key_Backtab;
        if (tabulation && !(touche->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Tab types a character like any other key: the view reports it
            // first and leaves it unhandled, so that its parent still moves
            // the focus with it.
            keyPressEvent(touche);
            return touche->isAccepted();
        }
    }
    return QWidget::event(event);
}

void CKIVView::mousePressEvent(QMouseEvent* event)
{
    // The form's own surface ignores the left button, without default handling.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CKIVView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
