#include "console/VoletTexte.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
/** Room left and right of the text. */
constexpr int Marge = 4;
} // namespace

VoletTexte::VoletTexte(QWidget* parent)
    : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void VoletTexte::setGabarits(const QStringList& gabarits)
{
    // Measured unrounded: a width rounded down would cut the pattern itself.
    const QFontMetricsF mesure(font());
    qreal largeur = 0;
    for (const QString& gabarit : gabarits) {
        largeur = std::max(largeur, mesure.horizontalAdvance(gabarit));
    }
    m_largeur = static_cast<int>(std::ceil(largeur)) + 1 + 2 * Marge;
    updateGeometry();
}

QSize VoletTexte::sizeHint() const
{
    const int hauteur = QLabel::sizeHint().height();
    if (text().isEmpty()) {
        return {0, hauteur};
    }
    return {m_largeur > 0 ? m_largeur : QLabel::sizeHint().width(), hauteur};
}

QSize VoletTexte::minimumSizeHint() const
{
    return {0, QLabel::minimumSizeHint().height()};
}

QString VoletTexte::texteAffiche() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight,
                                    std::max(0, contentsRect().width() - 2 * Marge));
}

bool VoletTexte::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && texteAffiche() != text()) {
        // Cut short: the whole text, and the pane's own tooltip under it.
        QString bulle = text();
        if (!toolTip().isEmpty()) {
            bulle += QLatin1Char('\n') + toolTip();
        }
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), bulle, this);
        return true;
    }
    return QLabel::event(event);
}

void VoletTexte::paintEvent(QPaintEvent*)
{
    QPainter peintre(this);
    const QRect zone = contentsRect().adjusted(Marge, 0, -Marge, 0);
    style()->drawItemText(&peintre, zone, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                          texteAffiche(), foregroundRole());
}
