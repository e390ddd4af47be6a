// The program's pictures, drawn at start-up rather than shipped as bitmaps.
#include "console/Icones.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

/** A transparent picture of `taille` with a painter ready to draw on it. */
template <class Dessin>
QPixmap dessiner(QSize taille, Dessin dessin)
{
    QPixmap image(taille);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    dessin(p);
    return image;
}

QIcon iconeBarre(void (*dessin)(QPainter&))
{
    return QIcon(dessiner(TailleIconeBarre, dessin));
}

void robot(QPainter& p, int cote)
{
    // Drawn on a 48-unit grid, scaled to the asked size.
    p.scale(cote / 48.0, cote / 48.0);
    // Wheels on both sides.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(QRectF(3, 14, 8, 20), 3, 3);
    p.drawRoundedRect(QRectF(37, 14, 8, 20), 3, 3);
    // Round body.
    p.setPen(QPen(QColor(20, 50, 110), 2.5));
    p.setBrush(QColor(70, 130, 210));
    p.drawEllipse(QRectF(9, 6, 30, 36));
    // Bumper at the front and the heading mark.
    p.setPen(QPen(QColor(230, 160, 20), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(11, 8, 26, 26), 40 * 16, 100 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath fleche;
    fleche.moveTo(24, 14);
    fleche.lineTo(30, 26);
    fleche.lineTo(18, 26);
    fleche.closeSubpath();
    p.drawPath(fleche);
    // Sensor eye at the back.
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(QPointF(24, 34), 3, 3);
}

} // namespace

QIcon iconeApplication()
{
    QIcon icone;
    for (int cote : {16, 24, 32, 48}) {
        icone.addPixmap(dessiner(QSize(cote, cote), [cote](QPainter& p) { robot(p, cote); }));
    }
    return icone;
}

QImage imageRobot(int cote)
{
    QImage image(cote, cote, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    robot(p, cote);
    return image;
}

QIcon iconeImprimer()
{
    return iconeBarre([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        // Sheet coming out of the top.
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 1.5, 8, 6));
        // Body.
        p.setBrush(QColor(180, 180, 180));
        p.drawRoundedRect(QRectF(1.5, 6.5, 16, 7), 1.5, 1.5);
        // Printed sheet in front.
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 11.5, 10, 5));
        p.drawLine(QPointF(6, 13.5), QPointF(13, 13.5));
        // Power light.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 170, 0));
        p.drawEllipse(QPointF(15, 9), 1, 1);
    });
}

QIcon iconeQuadrillage()
{
    return iconeBarre([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(0, 0, 128));
        p.setBrush(Qt::white);
        p.drawRect(2, 1, 15, 15);
        for (int k = 1; k < 5; ++k) {
            p.drawLine(2 + 3 * k, 1, 2 + 3 * k, 16);
            p.drawLine(2, 1 + 3 * k, 17, 1 + 3 * k);
        }
        // One filled cell, as an obstacle on the map.
        p.fillRect(9, 7, 2, 2, QColor(200, 0, 0));
    });
}

QIcon iconePortSerie()
{
    return iconeBarre([](QPainter& p) {
        // A nine-pin connector, its cable leaving to the right.
        p.setPen(QPen(QColor(50, 50, 50), 1));
        p.setBrush(QColor(190, 190, 200));
        QPainterPath coque;
        coque.moveTo(1.5, 4.5);
        coque.lineTo(13.5, 4.5);
        coque.lineTo(12.0, 13.5);
        coque.lineTo(3.0, 13.5);
        coque.closeSubpath();
        p.drawPath(coque);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (int k = 0; k < 5; ++k) {
            p.drawEllipse(QPointF(3.5 + 2 * k, 7.5), 0.8, 0.8);
        }
        for (int k = 0; k < 4; ++k) {
            p.drawEllipse(QPointF(4.5 + 2 * k, 10.5), 0.8, 0.8);
        }
        p.setPen(QPen(QColor(40, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath cable;
        cable.moveTo(13.5, 9);
        cable.cubicTo(16, 9, 15, 15, 18, 15);
        p.drawPath(cable);
    });
}

QIcon iconeAPropos()
{
    return iconeBarre([](QPainter& p) {
        p.setPen(QPen(QColor(0, 0, 140), 1));
        p.setBrush(QColor(255, 255, 210));
        p.drawEllipse(QRectF(1.5, 0.5, 16, 16));
        QFont police = p.font();
        police.setBold(true);
        police.setPixelSize(13);
        p.setFont(police);
        p.drawText(QRectF(1.5, 0.5, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    });
}
