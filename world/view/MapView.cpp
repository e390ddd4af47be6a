#include "world/view/MapView.h"

#include "world/GridEdits.h"
#include "world/WorldState.h"
#include "world/view/EchelleCarte.h"
#include "world/view/MapOwner.h"
#include "world/view/Pictures.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <utility>

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
    // Square, at the size its owner gives it (501 x 501 shows the map at scale 1).
    setMinimumSize(CoteMinimal, CoteMinimal);
    resize(echelle::CoteNaturel, echelle::CoteNaturel);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (::monde().drapeaux.miseEnPlaceAttendue) {
        InitWorld();
    }
    prendreMonde();
}

CMapView::~CMapView() = default;

QSize CMapView::sizeHint() const
{
    return {echelle::CoteNaturel, echelle::CoteNaturel};
}

int CMapView::cote() const
{
    return std::max(1, std::min(width(), height()));
}

QPoint CMapView::versCarte(QPoint fenetre) const
{
    const int c = cote();
    return {echelle::versCarte(fenetre.x(), c), echelle::versCarte(fenetre.y(), c)};
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

bool CMapView::rafraichir()
{
    AccrocherDestination();
    prendreInstantane(m_suivant);
    if (memeCarte(m_suivant, m_monde)) {
        // Nothing new on the map: the wheel codes and the version only.
        m_monde.roueGauche = m_suivant.roueGauche;
        m_monde.roueDroite = m_suivant.roueDroite;
        m_monde.version = m_suivant.version;
        return false;
    }
    // Only the robot moved, and no route starts from it: only its old and
    // new pictures are painted again (none when it stayed in its cell). An
    // overlay may draw anything anywhere: with one, the whole map.
    const bool robotSeul =
        m_surcouches.empty() && m_suivant.longueurChemin == 0 && memeFond(m_suivant, m_monde);
    // Painted with the rest of the window's changes of this turn.
    if (!robotSeul) {
        update();
    } else {
        const QRect avant = zoneRobot(m_monde);
        const QRect apres = zoneRobot(m_suivant);
        // Two rectangles, not the one around both: a jump across the map
        // would repaint most of it.
        QRegion region;
        if (m_suivant.cap != m_monde.cap || avant != apres) {
            region = QRegion(avant).united(apres);
        }
        if (!(m_suivant.brutPos == m_monde.brutPos)) {
            region = region.united(zoneBrut(m_monde)).united(zoneBrut(m_suivant));
        }
        if (!region.isEmpty()) {
            update(region);
        }
    }
    std::swap(m_monde, m_suivant);
    if (m_ownerView) {
        m_ownerView->ShowRobotPosition();
    }
    return true;
}

QRect CMapView::zoneCarte(int gauche, int haut, int droite, int bas) const
{
    // The map pixels [gauche, droite) x [haut, bas), scaled, with two pixels'
    // margin for the scaling's rounding and smoothing.
    const int c = cote();
    const auto avant = [c](int m) { return m * c / echelle::CoteNaturel - 2; };
    const auto apres = [c](int m) {
        return (m * c + echelle::CoteNaturel - 1) / echelle::CoteNaturel + 2;
    };
    return QRect(QPoint(avant(gauche), avant(haut)), QPoint(apres(droite), apres(bas)));
}

QRect CMapView::zoneRobot(const Instantane& monde) const
{
    const Point p = monde.robotPos;
    if (p.x < 0 || p.y < 0) {
        return {};
    }
    const int x = geo::coinDe(p.x) + 2;
    const int y = geo::coinDe(p.y) + 2;
    return zoneCarte(x, y, x + pictures::Size, y + pictures::Size);
}

QRect CMapView::zoneBrut(const Instantane& monde) const
{
    const Point p = monde.brutPos;
    if (p.x < 0 || p.y < 0) {
        return {};
    }
    return zoneCarte(p.x - RayonBrut, p.y - RayonBrut, p.x + RayonBrut + 1, p.y + RayonBrut + 1);
}

QImage CMapView::renderImage()
{
    prendreMonde();
    QImage image;
    renderMap(image, m_monde);
    if (!m_surcouches.empty()) {
        QPainter p(&image);
        for (const auto& [cle, dessin] : m_surcouches) {
            dessin(p, m_monde);
        }
    }
    return image;
}

void CMapView::poserBandeau(const QString& texte)
{
    if (texte == m_bandeau) {
        return;
    }
    const QRect avant = zoneBandeau();
    m_bandeau = texte;
    setToolTip(texte);
    update(avant.united(zoneBandeau()));
}

QRect CMapView::zoneBandeau() const
{
    QFont gras = font();
    gras.setPointSizeF(std::max(gras.pointSizeF(), 9.0));
    gras.setBold(true);
    const int c = cote();
    const int mur = echelle::premierPixel(geo::CellSize, c);
    return {0, 0, c, std::max(mur, QFontMetrics(gras).height() + 4)};
}

void CMapView::poserSurcouche(const void* cle, Surcouche dessin)
{
    for (auto k = m_surcouches.begin(); k != m_surcouches.end(); ++k) {
        if (k->first == cle) {
            if (dessin) {
                k->second = std::move(dessin);
            } else {
                m_surcouches.erase(k);
            }
            update();
            return;
        }
    }
    if (dessin) {
        m_surcouches.emplace_back(cle, std::move(dessin));
        update();
    }
}

void CMapView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Redraw();
}

void CMapView::paintEvent(QPaintEvent*)
{
    // The window's backing store is the off-screen picture: the map is
    // painted into it in one go and shown once whole.
    QPainter p(this);
    const int c = cote();
    m_rendu.rendre(p, m_monde, c);
    if (!m_surcouches.empty()) {
        p.save();
        if (c != echelle::CoteNaturel) {
            const double k = static_cast<double>(c) / echelle::CoteNaturel;
            p.scale(k, k);
        }
        for (const auto& [cle, dessin] : m_surcouches) {
            dessin(p, m_monde);
        }
        p.restore();
    }
    if (!m_bandeau.isEmpty()) {
        const QRect zone = zoneBandeau();
        p.fillRect(zone, QColor(255, 255, 255, 235));
        p.setPen(QColor(190, 0, 0));
        p.drawLine(zone.bottomLeft(), zone.bottomRight());
        QFont gras = font();
        gras.setPointSizeF(std::max(gras.pointSizeF(), 9.0));
        gras.setBold(true);
        p.setFont(gras);
        const QRect texte = zone.adjusted(6, 0, -6, -1);
        p.drawText(texte, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(gras).elidedText(m_bandeau, Qt::ElideRight, texte.width()));
    }
    // Row and column 500 lie outside the map proper; they close its frame.
    const int bord = echelle::premierPixel(geo::MapSize, c);
    p.fillRect(QRect(bord, 0, c - bord, c), Qt::black);
    p.fillRect(QRect(0, bord, bord, c - bord), Qt::black);
    // A window wider or taller than the map: the rest is the form's.
    if (width() > c || height() > c) {
        p.fillRect(QRect(c, 0, width() - c, height()), palette().window());
        p.fillRect(QRect(0, c, c, height() - c), palette().window());
    }
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
    const QPoint pos = versCarte(event->position().toPoint());
    if (event->button() == Qt::LeftButton && m_ownerView && pos.x() >= 0 && pos.y() >= 0 &&
        pos.x() <= geo::MapSize && pos.y() <= geo::MapSize &&
        m_ownerView->prendreClic(std::min(pos.x(), geo::MapSize - 1),
                                 std::min(pos.y(), geo::MapSize - 1))) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        appliquer(OnMapLeftButtonDown(selection(), pos.x(), pos.y()));
    } else if (event->button() == Qt::RightButton) {
        appliquer(OnMapRightButtonDown(selection(), pos.x(), pos.y()));
    }
    QWidget::mousePressEvent(event);
}

void CMapView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = versCarte(event->position().toPoint());
    appliquer(OnMapMouseMove(selection(), drapeaux(event), pos.x(), pos.y()));
    QWidget::mouseMoveEvent(event);
}

void CMapView::RemoveRealObstacles()
{
    for (int r = 1; r <= geo::Cells; ++r) {
        for (int c = 1; c <= geo::Cells; ++c) {
            if (::monde().grille[r][c] == 3) {
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
            if (::monde().grille[r][c] == 1) {
                EraseObstacle(25 * c - 1, 25 * r - 1);
            }
        }
    }
    Redraw();
}
