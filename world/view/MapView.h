#pragma once

#include "world/Instantane.h"
#include "world/MapEditing.h"
#include "world/view/MapRenderer.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

class MapOwner;

/**
 * The map window over the control view's map frame: a square whose side its
 * owner sets, 501 pixels showing the map at one pixel per centimetre, any
 * other side at the scale that fills it (echelle::versCarte maps a window
 * pixel to the map pixel painted there, for the mouse too). It paints the last picture of the world
 * it took (Redraw), through an off-screen image, and edits the world with the mouse according to
 * the owner's "Sélection" group. Painting reads that picture only: it never reads the world while
 * other threads change it, never writes it, and never calls its owner. The world never calls the
 * window: the console's display takes a new picture when the world says it changed. Every call
 * comes on the user-interface thread.
 */
class CMapView : public QWidget {
    Q_OBJECT

public:
    /** Creates the window; the first creation in the program runs InitWorld. */
    explicit CMapView(QWidget* parent = nullptr);
    ~CMapView() override;

    /** The control view, set by it right after creating the map. */
    MapOwner* m_ownerView = nullptr;
    /** A drawing over the map's layers, in map pixels (the robot's trail, the calibration points).
     */
    using Surcouche = std::function<void(QPainter&, const Instantane&)>;
    /**
     * Sets the drawing known by `cle` (added after the others the first
     * time), or removes it when `dessin` is empty. The window repaints.
     */
    void poserSurcouche(const void* cle, Surcouche dessin);

    /**
     * A line of text for the operator across the top of the map (over the
     * field's outer wall, which it hides nothing of), in the window's
     * pixels at any scale, cut with "…" when the map is narrower and whole
     * in the map's tooltip; empty removes it.
     */
    void poserBandeau(const QString& texte);
    const QString& bandeau() const { return m_bandeau; }

    /**
     * Shows the world afresh: the destination marker goes to its cell's
     * centre (AccrocherDestination), a new picture of the world is taken and
     * painted at once, and the owner's position boxes follow.
     */
    void Redraw();

    /**
     * The display's refresh: a new picture of the world, painted (with the
     * owner's position boxes) only when the map it shows changed. True when
     * it was painted.
     */
    bool rafraichir();

    /** Clears every sensor obstacle, then redraws. */
    void RemoveRealObstacles();
    /** Erases every operator obstacle, then redraws. */
    void RemoveVirtualObstacles();

    /** The picture of the world the window paints now. */
    const Instantane& monde() const { return m_monde; }
    /** The picture a repaint shows, of the world as it is now (a new picture is taken). */
    QImage renderImage();

    QSize sizeHint() const override;

    /** The smallest side the window takes (half the map's). */
    static constexpr int CoteMinimal = 251;
    /** The side of the square the map fills (the window's smaller dimension). */
    int cote() const;
    /** The map pixel painted at window pixel `fenetre` (echelle::versCarte). */
    QPoint versCarte(QPoint fenetre) const;

protected:
    /** Shown: a first picture of the world, as Redraw takes it. */
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void appliquer(const MapEdit& edit);
    Selection selection() const;
    /** Takes the world's picture (the destination snapped first). */
    void prendreMonde();
    /** The window pixels that cover the map pixels [gauche, droite) x [haut, bas). */
    QRect zoneCarte(int gauche, int haut, int droite, int bas) const;
    /** The window pixels the robot's picture covers in `monde` (empty when it is off the map). */
    QRect zoneRobot(const Instantane& monde) const;
    /** The window pixels the raw estimate's ring covers in `monde` (empty when none). */
    QRect zoneBrut(const Instantane& monde) const;

    /** The band's rectangle in the window (the wall's row, or one line of text if taller). */
    QRect zoneBandeau() const;

    std::vector<std::pair<const void*, Surcouche>> m_surcouches;
    QString m_bandeau;
    Instantane m_monde;
    /** The next picture, taken before it is known whether it shows anything new. */
    Instantane m_suivant;
    RenduCarte m_rendu;
};
