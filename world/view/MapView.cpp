#include "world/view/MapView.h"

#include "world/GridEdits.h"
#include "world/WorldState.h"
#include "world/view/MapOwner.h"
#include "world/view/MapRenderer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QThread>

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
}

CMapView::~CMapView()
{
    MapDisplay* self = this;
    g_mapView.compare_exchange_strong(self, nullptr);
}

QSize CMapView::sizeHint() const
{
    return {geo::MapSize + 1, geo::MapSize + 1};
}

void CMapView::Redraw()
{
    if (QThread::currentThread() == thread()) {
        repaint();
        return;
    }
    if (!m_redrawPosted.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_redrawPosted = false;
                repaint();
            },
            Qt::QueuedConnection);
    }
}

void CMapView::ShowWheelSpeeds()
{
    if (m_ownerView) {
        m_ownerView->ShowWheelSpeeds();
    }
}

QImage CMapView::renderImage()
{
    QImage image;
    renderMap(image);
    if (m_surcouche) {
        m_surcouche(image);
    }
    if (m_ownerView) {
        m_ownerView->ShowRobotPosition();
    }
    return image;
}

void CMapView::paintEvent(QPaintEvent*)
{
    renderMap(m_image);
    if (m_surcouche) {
        m_surcouche(m_image);
    }
    if (m_ownerView) {
        m_ownerView->ShowRobotPosition();
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
