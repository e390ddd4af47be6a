// The control view's commands: the form's buttons, the menu's grid lines,
// the keys and the mouse on the form's own surface.
#include "console/ConsoleState.h"
#include "console/KIVView.h"
#include "console/PretraductionClavier.h"
#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "link/dialog/CommDlg.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "ui_KIVView.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"
#include "world/view/MapView.h"

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
    connect(m_ui->id1043, &QPushButton::clicked, this, &CKIVView::OnEntrainer);
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
    if (m_serialPort) {
        const Point robot = g_robotPos.get();
        const Point destination = g_destPos.get();
        m_serialPort->noteEvent(
            "go robot " + std::to_string(robot.x) + " " + std::to_string(robot.y) +
            " destination " + std::to_string(destination.x) + " " + std::to_string(destination.y));
    }
    SetSimRunning(1);
    StartSimulation();
}

void CKIVView::OnArret()
{
    if (m_serialPort) {
        m_serialPort->noteEvent("arrêt");
    }
    SetSimRunning(0);
    SendWheelCommand(0, 0, 0);
}

void CKIVView::OnSaisie()
{
    SendWheelCommand(0, 0, 0);
}

void CKIVView::OnPortSerie()
{
    CommDlg dialogue;
    dialogue.setProprietaire(this);
    dialogue.exec();
}

void CKIVView::OnEntrainer()
{
    executerProtege([this] { m_reseaux->exec(); });
}

void CKIVView::OnQuadrillage(bool coche)
{
    g_gridLines = coche ? 1 : 0;
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
