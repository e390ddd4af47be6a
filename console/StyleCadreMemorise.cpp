#include "console/StyleCadreMemorise.h"

#include <QPaintDevice>
#include <QPainter>
#include <QStyleOptionFrame>

#include <cmath>

namespace {

/** Panels kept: the boxes of one view in their few states. */
constexpr std::size_t PanneauxMax = 16;

} // namespace

StyleCadreMemorise::StyleCadreMemorise()
{
    m_panneaux.reserve(PanneauxMax);
}

void StyleCadreMemorise::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const
{
    const auto* cadre = qstyleoption_cast<const QStyleOptionFrame*>(option);
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1.0;
    const QTransform& vers = painter->deviceTransform();
    // Only where the picture lands on the very pixels the style would fill.
    const bool memorisable = element == PE_PanelLineEdit && cadre != nullptr &&
                             !option->rect.isEmpty() && ratio >= 1.0 &&
                             ratio == std::floor(ratio) && vers.type() <= QTransform::TxTranslate &&
                             vers.dx() == std::floor(vers.dx()) &&
                             vers.dy() == std::floor(vers.dy()) && painter->opacity() == 1.0 &&
                             painter->compositionMode() == QPainter::CompositionMode_SourceOver;
    if (!memorisable) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const Cle cle{option->rect.width(),
                  option->rect.height(),
                  static_cast<int>(ratio),
                  static_cast<std::uint32_t>(option->state),
                  option->palette.cacheKey(),
                  cadre->lineWidth,
                  cadre->midLineWidth,
                  static_cast<int>(cadre->frameShape),
                  static_cast<int>(option->direction)};
    const Panneau* trouve = nullptr;
    for (const Panneau& p : m_panneaux) {
        if (p.cle == cle) {
            trouve = &p;
            break;
        }
    }
    if (trouve == nullptr) {
        // Drawn by the style at the origin, on a transparent picture of the
        // device's resolution.
        QPixmap image(option->rect.size() * cle.ratio);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QStyleOptionFrame origine(*cadre);
        origine.rect.moveTo(0, 0);
        {
            QPainter p(&image);
            QProxyStyle::drawPrimitive(element, &origine, &p, widget);
        }
        if (m_panneaux.size() < PanneauxMax) {
            m_panneaux.push_back({cle, std::move(image)});
            trouve = &m_panneaux.back();
        } else {
            m_panneaux[m_prochain] = {cle, std::move(image)};
            trouve = &m_panneaux[m_prochain];
            m_prochain = (m_prochain + 1) % PanneauxMax;
        }
    }
    painter->drawPixmap(option->rect.topLeft(), trouve->image);
}
