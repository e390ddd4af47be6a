#pragma once

#include <QPixmap>
#include <QProxyStyle>

#include <cstdint>
#include <vector>

/**
 * The application's style for a few line edits, with their panel (the
 * background and the rounded, anti-aliased frame) drawn once and kept as a
 * picture. The boxes that follow the robot take a new value with each
 * picture of the map, and the style would stroke their frame anew at each
 * paint. The kept picture is drawn pixel for pixel as the style draws it;
 * at a fractional device pixel ratio, where a picture could not land on the
 * same pixels, the style draws as before. Everything else is the style's.
 */
class StyleCadreMemorise : public QProxyStyle {
public:
    StyleCadreMemorise();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    /** What the panel's picture depends on. */
    struct Cle {
        int largeur;
        int hauteur;
        int ratio;
        std::uint32_t etat;
        qint64 palette;
        int epaisseur;
        int epaisseurMilieu;
        int forme;
        int direction;
        bool operator==(const Cle&) const = default;
    };
    struct Panneau {
        Cle cle;
        QPixmap image;
    };
    /** A handful of panels (one a box size and state), the oldest replaced first. */
    mutable std::vector<Panneau> m_panneaux;
    mutable std::size_t m_prochain = 0;
};
