#include "console/Impression.h"

#include <QPainter>
#include <QPrinter>
#include <QWidget>

#include <algorithm>

bool imprimerFormulaire(QPrinter& imprimante, QWidget& formulaire)
{
    const QSize taille = formulaire.size();
    if (taille.isEmpty()) {
        return false;
    }
    QPainter peintre;
    if (!peintre.begin(&imprimante)) {
        return false;
    }
    // The painter's origin is already the printable area's corner.
    const QRectF page = imprimante.pageLayout().paintRectPixels(imprimante.resolution());
    const double echelle = std::min(page.width() / taille.width(), page.height() / taille.height());
    peintre.scale(echelle, echelle);
    formulaire.render(&peintre, QPoint(), QRegion(), QWidget::DrawChildren);
    return peintre.end();
}
