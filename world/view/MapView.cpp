#include "world/view/MapView.h"

#include "world/GridEdits.h"
#include "world/WorldState.h"
#include "world/view/MapOwner.h"
#include "world/view/MapRenderer.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

/** Button and key flags of a Qt mouse event, as the editing logic knows them. */
unsigned drapeaux(const QMouseEvent* event)
{
    unsigned flags = 0;
    const Qt::MouseButtons boutons = event->buttons();
    if (boutons & Qt::LeftButton) {
        flags |= MouseLeft;
    }
    if (boutons & Qt::RightButton) {
        flags |= MouseRight;
    }
    if (boutons & Qt::MiddleButton) {
        flags |= MouseMiddle;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        flags |= MouseShift;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        flags |= MouseControl;
    }
    return flags;
}

} // namespace

CMapView::CMapView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CMapView"));
    setFixedSize(geo::MapSize + 1, geo::MapSize + 1);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (g_setupPending) {
        InitWorld();
    }
    prendreMonde();
}

CMapView::~CMapView() = default;

QSize CMapView::sizeHint() const
{
    return {geo::MapSize + 1, geo::MapSize + 1};
}

void CMapView::prendreMonde()
{
    AccrocherDestination();
    prendreInstantane(m_monde);
}

void CMapView::Redraw()
{
    prendreMonde();
    repaint();
    // Every picture of the map refreshes the robot position boxes.
    if (m_ownerView) {
        m_ownerView->ShowRobotPosition();
    }
}

QImage CMapView::renderImage()
{
    prendreMonde();
    QImage image;
    renderMap(image, m_monde);
    if (m_surcouche) {
        m_surcouche(image);
    }
    return image;
}

void CMapView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Redraw();
}

void CMapView::paintEvent(QPaintEvent*)
{
    renderMap(m_image, m_monde);
    if (m_surcouche) {
        m_surcouche(m_image);
    }
    QPainter p(this);
    // Row and column 500 lie outside the map proper; they close its frame.
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, m_image);
}

Selection CMapView::selection() const
{
    return m_ownerView ? m_ownerView->selection() : Selection::None;
}

void CMapView::appliquer(const MapEdit& edit)
{
    if (m_ownerView && edit.showDestination) {
        m_ownerView->ShowDestination();
    }
    if (m_ownerView && edit.showRobotPosition) {
        m_ownerView->ShowRobotPosition();
    }
    if (edit.redraw) {
        Redraw();
    }
}

void CMapView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        appliquer(OnMapLeftButtonDown(selection(), pos.x(), pos.y()));
    } else if (event->button() == Qt::RightButton) {
        appliquer(OnMapRightButtonDown(selection(), pos.x(), pos.y()));
    }
    QWidget::mousePressEvent(event);
}

void CMapView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    appliquer(OnMapMouseMove(selection(), drapeaux(event), pos.x(), pos.y()));
    QWidget::mouseMoveEvent(event);
}

void CMapView::RemoveRealObstacles()
{
    for (int r = 1; r <= geo::Cells; ++r) {
        for (int c = 1; c <= geo::Cells; ++c) {
            if (g_grid[r][c] == 3) {
                ClearObstacle(r, c);
            }
        }
    }
    Redraw();
}

void CMapView::RemoveVirtualObstacles()
{
    for (int r = 1; r <= geo::Cells; ++r) {
        for (int c = 1; c <= geo::Cells; ++c) {
            if (g_grid[r][c] == 1) {
                EraseObstacle(25 * c - 1, 25 * r - 1);
            }
        }
    }
    Redraw();
}
