#include "console/CarteRejeu.h"

#include "world/view/EchelleCarte.h"
#include "world/view/MapView.h"

#include <QPainter>

CarteRejeu::CarteRejeu(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("carteRejeu"));
    setMinimumSize(CMapView::CoteMinimal, CMapView::CoteMinimal);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_monde.destPos = {-25, -25};
}

void CarteRejeu::montrer(const Instantane& monde)
{
    m_monde = monde;
    update();
}

QSize CarteRejeu::sizeHint() const
{
    return {echelle::CoteNaturel, echelle::CoteNaturel};
}

void CarteRejeu::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int cote = std::max(1, std::min(width(), height()));
    m_rendu.rendre(p, m_monde, cote);
    // Row and column 500 close the map's frame; the rest is the window's.
    const int bord = echelle::premierPixel(geo::MapSize, cote);
    p.fillRect(QRect(bord, 0, cote - bord, cote), Qt::black);
    p.fillRect(QRect(0, bord, bord, cote - bord), Qt::black);
    if (width() > cote || height() > cote) {
        p.fillRect(QRect(cote, 0, width() - cote, height()), palette().window());
        p.fillRect(QRect(0, cote, cote, height() - cote), palette().window());
    }
}
