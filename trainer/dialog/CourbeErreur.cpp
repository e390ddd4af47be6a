#include "trainer/dialog/CourbeErreur.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

QString nombreCourt(double v)
{
    return QString::number(v, 'g', 3);
}

} // namespace

CourbeErreur::CourbeErreur(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CourbeErreur::recommencer(int premiere)
{
    m_points.clear();
    m_premiere = premiere;
    m_min = m_max = 0.0;
    update();
}

void CourbeErreur::ajouter(int passe, double erreur)
{
    if (!std::isfinite(erreur)) {
        return;
    }
    if (m_points.isEmpty()) {
        m_min = m_max = erreur;
    } else {
        m_min = std::min(m_min, erreur);
        m_max = std::max(m_max, erreur);
    }
    m_points.append(QPointF(passe, erreur));
    update();
}

bool CourbeErreur::echelleLogarithmique() const
{
    return !m_points.isEmpty() && m_min > 0.0 && m_max > 10.0 * m_min;
}

void CourbeErreur::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const QFontMetrics fm = fontMetrics();
    const QString titre = QStringLiteral("Erreur quadratique");
    if (m_points.isEmpty()) {
        p.setPen(Qt::gray);
        p.drawText(rect(), Qt::AlignCenter, titre);
        return;
    }

    // Plot area: room for the error labels on the left and the pass labels below.
    const bool log = echelleLogarithmique();
    double haut = log ? m_max : (m_max > 0.0 ? m_max : 1.0);
    double bas = log ? m_min : 0.0;
    const QString etiquetteHaut = nombreCourt(haut);
    const QString etiquetteBas = nombreCourt(bas);
    const int gauche =
        6 + std::max(fm.horizontalAdvance(etiquetteHaut), fm.horizontalAdvance(etiquetteBas));
    const QRect zone(gauche, fm.height() + 4, width() - gauche - 8, height() - 2 * fm.height() - 8);
    if (zone.width() < 10 || zone.height() < 10) {
        return;
    }
    if (log) {
        haut = std::log10(haut);
        bas = std::log10(bas);
    }
    const double etendueY = haut > bas ? haut - bas : 1.0;
    // Across, the passes run so far: the bar already shows the share of the run.
    const int derniere = std::max(static_cast<int>(m_points.back().x()), m_premiere + 1);
    const double etendueX = derniere - m_premiere;
    auto versEcran = [&](const QPointF& pt) {
        const double y = log ? std::log10(pt.y()) : pt.y();
        return QPointF(zone.left() + (pt.x() - m_premiere) / etendueX * zone.width(),
                       zone.bottom() - (y - bas) / etendueY * zone.height());
    };

    // Axes and a light grid at the quarters.
    p.setPen(QColor(225, 225, 225));
    for (int i = 1; i < 4; ++i) {
        const int y = zone.top() + zone.height() * i / 4;
        const int x = zone.left() + zone.width() * i / 4;
        p.drawLine(zone.left(), y, zone.right(), y);
        p.drawLine(x, zone.top(), x, zone.bottom());
    }
    p.setPen(Qt::black);
    p.drawLine(zone.bottomLeft(), zone.bottomRight());
    p.drawLine(zone.bottomLeft(), zone.topLeft());
    p.drawText(QRect(0, zone.top() - fm.height() / 2, gauche - 3, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, etiquetteHaut);
    p.drawText(QRect(0, zone.bottom() - fm.height() / 2, gauche - 3, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, etiquetteBas);
    const int basTexte = zone.bottom() + 3;
    p.drawText(QRect(zone.left(), basTexte, zone.width(), fm.height()), Qt::AlignLeft,
               QString::number(m_premiere));
    p.drawText(QRect(zone.left(), basTexte, zone.width(), fm.height()), Qt::AlignRight,
               QString::number(derniere));
    p.drawText(QRect(zone.left(), basTexte, zone.width(), fm.height()), Qt::AlignHCenter,
               QStringLiteral("Passe"));
    p.drawText(QRect(gauche, 2, zone.width(), fm.height()), Qt::AlignLeft,
               log ? titre + QStringLiteral(" (log)") : titre);

    // The course itself, and the last value at its end.
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(zone.adjusted(-2, -2, 2, 2));
    QPainterPath trace(versEcran(m_points.front()));
    for (int i = 1; i < m_points.size(); ++i) {
        trace.lineTo(versEcran(m_points[i]));
    }
    p.setPen(QPen(QColor(0, 90, 200), 1.5));
    p.drawPath(trace);
    const QPointF dernier = versEcran(m_points.back());
    p.setBrush(QColor(0, 90, 200));
    p.drawEllipse(dernier, 2.5, 2.5);
    p.setClipping(false);
    p.setPen(QColor(0, 60, 150));
    p.drawText(QRect(gauche, 2, zone.width(), fm.height()), Qt::AlignRight,
               QString::number(m_points.back().y(), 'f', 4));
}
