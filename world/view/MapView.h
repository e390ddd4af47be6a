#pragma once

#include "world/MapDisplay.h"
#include "world/MapEditing.h"

#include <QImage>
#include <QWidget>
#include <atomic>
#include <functional>

class MapOwner;

/**
 * The map window: 501 x 501 pixels over the control view's map frame, one
 * pixel per centimetre. It draws the world through an off-screen image and
 * edits it with the mouse according to the owner's "Sélection" group.
 *
 * Redraw may be called from any thread. On the user-interface thread it
 * repaints at once; from a worker it posts one repaint (several requests
 * made before it runs collapse into one) and returns without waiting.
 */
class CMapView : public QWidget, public MapDisplay {
    Q_OBJECT

public:
    /** Creates the window; the first creation in the program runs InitWorld. */
    explicit CMapView(QWidget* parent = nullptr);
    ~CMapView() override;

    /** The control view, set by it right after creating the map. */
    MapOwner* m_ownerView = nullptr;
    /** Drawn over the map's layers at every rendering, when set (the robot's trail). */
    std::function<void(QImage&)> m_surcouche;

    void Redraw() override;
    void ShowWheelSpeeds() override;

    /** Clears every sensor obstacle, then redraws. */
    void RemoveRealObstacles();
    /** Erases every operator obstacle, then redraws. */
    void RemoveVirtualObstacles();

    /** The picture a repaint shows now (renders the world afresh). */
    QImage renderImage();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void appliquer(const MapEdit& edit);
    Selection selection() const;

    QImage m_image;
    std::atomic<bool> m_redrawPosted{false};
};
