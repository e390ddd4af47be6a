#include "console/PlacementACote.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>
#include <limits>

namespace {

/** Space left between two windows, pixels. */
constexpr int Ecart = 4;

/** `r` moved as little as it takes to lie within `ecran` (its top-left kept in when too big). */
QRect dansEcran(QRect r, const QRect& ecran)
{
    r.moveRight(std::min(r.right(), ecran.right()));
    r.moveLeft(std::max(r.left(), ecran.left()));
    r.moveBottom(std::min(r.bottom(), ecran.bottom()));
    r.moveTop(std::max(r.top(), ecran.top()));
    return r;
}

long long aire(const QRect& r)
{
    return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

} // namespace

QRect placeACote(const QRect& fenetre, const QRect& carte, const QSize& taille,
                 const QSize& tailleMin, const QRect& ecran)
{
    const int l = std::min(taille.width(), ecran.width());
    const int h = std::min(taille.height(), ecran.height());
    // Beside the main window: it stays whole too.
    for (const QRect& r : {QRect(fenetre.right() + 1 + Ecart, fenetre.top(), l, h),
                           QRect(fenetre.left() - Ecart - l, fenetre.top(), l, h)}) {
        const QRect place = dansEcran(r, ecran);
        if (place.left() == r.left() && !place.intersects(fenetre)) {
            return place;
        }
    }
    // Beside the map, over the rest of the main window, as wide (or as
    // high) as the room there allows, down to the window's least size.
    const int droite = ecran.right() - (carte.right() + Ecart);
    const int gauche = carte.left() - Ecart - ecran.left();
    const int dessous = ecran.bottom() - (carte.bottom() + Ecart);
    const int dessus = carte.top() - Ecart - ecran.top();
    const auto large = [&](int place) { return std::max(std::min(l, place), tailleMin.width()); };
    const auto haut = [&](int place) { return std::max(std::min(h, place), tailleMin.height()); };
    const std::array<QRect, 4> contre = {
        QRect(carte.right() + 1 + Ecart, carte.top(), large(droite), h),
        QRect(carte.left() - Ecart - large(gauche), carte.top(), large(gauche), h),
        QRect(carte.left(), carte.bottom() + 1 + Ecart, l, haut(dessous)),
        QRect(carte.left(), carte.top() - Ecart - haut(dessus), l, haut(dessus)),
    };
    for (const QRect& r : contre) {
        const QRect place = dansEcran(r, ecran);
        if (!place.intersects(carte)) {
            return place;
        }
    }
    // No room anywhere: the place that hides the least of the map.
    const QSize plein(l, h);
    const std::array<QRect, 8> essais = {
        contre[0],
        contre[1],
        contre[2],
        contre[3],
        QRect(ecran.topRight() - QPoint(l - 1, 0), plein),
        QRect(ecran.bottomRight() - QPoint(l - 1, h - 1), plein),
        QRect(ecran.bottomLeft() - QPoint(0, h - 1), plein),
        QRect(ecran.topLeft(), plein),
    };
    QRect meilleure = dansEcran(essais[0], ecran);
    long long moins = std::numeric_limits<long long>::max();
    for (const QRect& r : essais) {
        const QRect place = dansEcran(r, ecran);
        const long long cache = aire(place.intersected(carte));
        if (cache < moins) {
            moins = cache;
            meilleure = place;
        }
    }
    return meilleure;
}

void placerACote(QWidget& fenetre, const QWidget& principale, const QWidget& carte)
{
    const QScreen* ecran = principale.screen();
    if (ecran == nullptr) {
        return;
    }
    // The window's frame is not known before it is shown: as thick as the main window's.
    const QSize bords = principale.frameGeometry().size() - principale.geometry().size();
    const QSize taille = fenetre.size().expandedTo(fenetre.sizeHint()) + bords;
    const QSize tailleMin = fenetre.minimumSizeHint().expandedTo(fenetre.minimumSize()) + bords;
    const QRect surLaCarte(carte.mapToGlobal(QPoint(0, 0)), carte.size());
    const QRect place = placeACote(principale.frameGeometry(), surLaCarte, taille, tailleMin,
                                   ecran->availableGeometry());
    fenetre.resize(place.size() - bords);
    fenetre.move(place.topLeft());
}
