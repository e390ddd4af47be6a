#include "world/view/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace pictures {
namespace {

/**
 * The robot for heading `code` (1 .. 8): a round body with its two wheels
 * across the direction of travel and an arrow pointing where it drives. The
 * picture is drawn upright and turned by 45 degrees per code, around the
 * centre, on a white square like the cells it covers.
 */
QImage dessinerRobot(int code)
{
    QImage image(Size, Size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(Size / 2.0, Size / 2.0);
    p.rotate(45.0 * (code - 1));

    // Wheels.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(QRectF(-9.0, -4.5, 3.0, 9.0), 1.0, 1.0);
    p.drawRoundedRect(QRectF(6.0, -4.5, 3.0, 9.0), 1.0, 1.0);

    // Body.
    p.setPen(QPen(QColor(0, 0, 128), 1.0));
    p.setBrush(QColor(64, 96, 224));
    p.drawEllipse(QPointF(0.0, 0.0), 6.5, 6.5);

    // Heading arrow.
    QPainterPath fleche;
    fleche.moveTo(0.0, -8.5);
    fleche.lineTo(4.0, -2.0);
    fleche.lineTo(1.3, -2.0);
    fleche.lineTo(1.3, 3.5);
    fleche.lineTo(-1.3, 3.5);
    fleche.lineTo(-1.3, -2.0);
    fleche.lineTo(-4.0, -2.0);
    fleche.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 0));
    p.drawPath(fleche);
    return image;
}

/** The bandit: a masked face with a hat, on white. */
QImage dessinerBandit()
{
    QImage image(Size, Size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Face.
    p.setPen(QPen(QColor(90, 50, 20), 1.0));
    p.setBrush(QColor(240, 200, 150));
    p.drawEllipse(QRectF(3.5, 4.5, 13.0, 14.0));

    // Hat: brim and crown.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(1.0, 5.0, 18.0, 2.0));
    p.drawRoundedRect(QRectF(5.0, 0.5, 10.0, 5.5), 2.0, 2.0);

    // Mask with eye holes.
    p.drawRect(QRectF(3.5, 8.5, 13.0, 3.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.0, 9.2, 2.6, 2.0));
    p.drawEllipse(QRectF(11.4, 9.2, 2.6, 2.0));

    // Red scarf over the mouth.
    QPainterPath foulard;
    foulard.moveTo(4.0, 14.0);
    foulard.lineTo(16.0, 14.0);
    foulard.lineTo(10.0, 19.5);
    foulard.closeSubpath();
    p.setBrush(QColor(200, 0, 0));
    p.drawPath(foulard);
    return image;
}

} // namespace

const QImage& robot(int heading)
{
    static const std::array<QImage, 8> images = [] {
        std::array<QImage, 8> tous;
        for (int code = 1; code <= 8; ++code) {
            tous[static_cast<std::size_t>(code - 1)] = dessinerRobot(code);
        }
        return tous;
    }();
    const int code = heading >= 1 && heading <= 8 ? heading : 1;
    return images[static_cast<std::size_t>(code - 1)];
}

const QImage& bandit()
{
    static const QImage image = dessinerBandit();
    return image;
}

} // namespace pictures
