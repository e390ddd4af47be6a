#include "world/view/MapRenderer.h"

#include "world/Instantane.h"
#include "world/view/EchelleCarte.h"
#include "world/view/Pictures.h"

#include <QImage>
#include <QPainter>

namespace {

const QColor Rouge(255, 0, 0);
const QColor Vert(0, 255, 0);
const QColor Gris(142, 142, 142);

/** Rectangle (l, t) - (r, b), outlined with the pen and filled with the brush. */
void rectangle(QPainter& p, int l, int t, int r, int b)
{
    p.drawRect(l, t, r - l - 1, b - t - 1);
}

/** Ellipse inscribed in (l, t) - (r, b). */
void ellipse(QPainter& p, int l, int t, int r, int b)
{
    p.drawEllipse(l, t, r - l - 1, b - t - 1);
}

/** Line from (x1, y1) towards (x2, y2), the end point left out. */
void ligne(QPainter& p, int x1, int y1, int x2, int y2)
{
    const int dx = (x2 > x1) - (x2 < x1);
    const int dy = (y2 > y1) - (y2 < y1);
    if (x1 == x2 && y1 == y2) {
        return;
    }
    if (x1 == x2 || y1 == y2 || std::abs(x2 - x1) == std::abs(y2 - y1)) {
        p.drawLine(x1, y1, x2 - dx, y2 - dy);
    } else {
        p.drawLine(x1, y1, x2, y2);
    }
}

void coucheCellules(QPainter& p, const GrilleMonde& grille)
{
    struct Passe {
        int valeur;
        QPen pen;
        QBrush brush;
    };
    const Passe passes[3] = {
        {1, QPen(Qt::black), QBrush(Qt::black)},
        {2, QPen(Gris, 1), QBrush(Gris, Qt::BDiagPattern)},
        {3, QPen(Vert, 1), QBrush(Vert, Qt::DiagCrossPattern)},
    };
    for (const Passe& passe : passes) {
        p.setPen(passe.pen);
        p.setBrush(passe.brush);
        for (int r = 1; r <= geo::Cells; ++r) {
            for (int c = 1; c <= geo::Cells; ++c) {
                if (grille[r][c] == passe.valeur) {
                    rectangle(p, 25 * (c - 1), 25 * (r - 1), 25 * c, 25 * r);
                }
            }
        }
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    ligne(p, 0, 0, 0, 501);
    ligne(p, 0, 501, 502, 501);
    ligne(p, 502, 501, 501, 0);
    ligne(p, 501, 0, 0, 0);
}

void coucheQuadrillage(QPainter& p)
{
    p.setPen(Qt::black);
    for (int v = 25; v <= 475; v += 25) {
        ligne(p, v, 0, v, 500);
        ligne(p, 0, v, 500, v);
    }
}

void coucheDestination(QPainter& p, Point d)
{
    // Drawn at its cell's centre (AccrocherDestination stores it there).
    if (d.x >= 0 && d.y >= 0) {
        d = {geo::centreDe(d.x), geo::centreDe(d.y)};
    }
    if (d.x < 0 || d.x > 500 || d.y < 0 || d.y > 500) {
        return;
    }
    p.setPen(QPen(Rouge, 1));
    p.setBrush(Qt::white);
    ellipse(p, d.x - 14, d.y - 14, d.x + 14, d.y + 14);
    ellipse(p, d.x - 10, d.y - 10, d.x + 10, d.y + 10);
    ligne(p, d.x, d.y + 18, d.x, d.y - 18);
    ligne(p, d.x - 18, d.y, d.x + 18, d.y);
    ellipse(p, d.x - 6, d.y - 6, d.x + 6, d.y + 6);
    p.setBrush(Qt::black);
    ellipse(p, d.x - 3, d.y - 3, d.x + 3, d.y + 3);
}

void coucheChemin(QPainter& p, const Instantane& monde)
{
    // An escape out of the margins is dashed: it is no route to the goal.
    p.setPen(QPen(Rouge, 1, monde.evasion ? Qt::DashLine : Qt::SolidLine));
    int cx = geo::coinDe(monde.robotPos.x);
    int cy = geo::coinDe(monde.robotPos.y);
    for (int n = monde.longueurChemin; n > 0; --n) {
        const PathNode& e = monde.chemin[static_cast<std::size_t>(n - 1)];
        ligne(p, cx + 12, cy + 12, 25 * e.x + 12, 25 * e.y + 12);
        cx = 25 * e.x;
        cy = 25 * e.y;
    }
}

/**
 * The frame's raw estimate, where the network put the robot before the
 * filter: a faint ring, over the robot's picture (in the same cell most
 * of the time).
 */
void coucheBrut(QPainter& p, const Point& brut)
{
    if (brut.x < 0 || brut.y < 0) {
        return;
    }
    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.setBrush(Qt::NoBrush);
    ellipse(p, brut.x - RayonBrut, brut.y - RayonBrut, brut.x + RayonBrut, brut.y + RayonBrut);
}

void coucheImage(QPainter& p, const Point& position, const QImage& image)
{
    if (position.x < 0 || position.y < 0) {
        return;
    }
    p.drawImage(geo::coinDe(position.x) + 2, geo::coinDe(position.y) + 2, image);
}

} // namespace

namespace {

/** The field, its cells and the grid lines. */
void peindreFond(QPainter& p, const Instantane& monde)
{
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Qt::white);
    // The client rectangle is 501 x 501: its right and bottom outline fall
    // outside the image.
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    rectangle(p, 0, 0, 501, 501);
    coucheCellules(p, monde.grille);
    if (monde.quadrillage) {
        coucheQuadrillage(p);
    }
}

/** The markers over the field: destination, route, robot, bandit. */
void peindreMarqueurs(QPainter& p, const Instantane& monde)
{
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Qt::white);
    coucheDestination(p, monde.destPos);
    coucheChemin(p, monde);
    coucheImage(p, monde.robotPos, pictures::robot(monde.cap));
    coucheBrut(p, monde.brutPos);
    if (monde.banditVisible) {
        coucheImage(p, monde.banditPos, pictures::bandit());
    }
}

void dimensionner(QImage& image)
{
    if (image.size() != QSize(geo::MapSize, geo::MapSize)) {
        image = QImage(geo::MapSize, geo::MapSize, QImage::Format_RGB32);
    }
}

} // namespace

void renderMap(QImage& image, const Instantane& monde)
{
    dimensionner(image);
    QPainter p(&image);
    peindreFond(p, monde);
    peindreMarqueurs(p, monde);
}

void RenduCarte::rendre(QPainter& p, const Instantane& monde, int cote)
{
    bool neuf = false;
    if (!m_valide || m_quadrillage != monde.quadrillage || m_grille != monde.grille) {
        // The field at scale 1, its closing frame included (row and column 500).
        if (m_fond.size() != QSize(echelle::CoteNaturel, echelle::CoteNaturel)) {
            m_fond = QImage(echelle::CoteNaturel, echelle::CoteNaturel, QImage::Format_RGB32);
        }
        QPainter fond(&m_fond);
        peindreFond(fond, monde);
        fond.fillRect(QRect(geo::MapSize, 0, 1, echelle::CoteNaturel), Qt::black);
        fond.fillRect(QRect(0, geo::MapSize, geo::MapSize, 1), Qt::black);
        m_grille = monde.grille;
        m_quadrillage = monde.quadrillage;
        m_valide = true;
        neuf = true;
    }
    if (cote == echelle::CoteNaturel) {
        p.drawImage(0, 0, m_fond);
        p.save();
        peindreMarqueurs(p, monde);
        p.restore();
        return;
    }
    if (neuf || m_cote != cote) {
        mettreAEchelle(cote);
    }
    p.drawImage(0, 0, m_fondEchelle);
    p.save();
    const double k = static_cast<double>(cote) / echelle::CoteNaturel;
    p.scale(k, k);
    peindreMarqueurs(p, monde);
    p.restore();
}

void RenduCarte::mettreAEchelle(int cote)
{
    m_cote = cote;
    if (cote < echelle::CoteNaturel) {
        reduire(cote);
        return;
    }
    // Larger: each window pixel takes the map pixel the mouse reads there.
    if (m_fondEchelle.size() != QSize(cote, cote)) {
        m_fondEchelle = QImage(cote, cote, QImage::Format_RGB32);
    }
    m_colonnes.resize(static_cast<std::size_t>(cote));
    for (int x = 0; x < cote; ++x) {
        m_colonnes[static_cast<std::size_t>(x)] = echelle::versCarte(x, cote);
    }
    for (int y = 0; y < cote; ++y) {
        const auto* source =
            reinterpret_cast<const QRgb*>(m_fond.constScanLine(echelle::versCarte(y, cote)));
        auto* cible = reinterpret_cast<QRgb*>(m_fondEchelle.scanLine(y));
        for (int x = 0; x < cote; ++x) {
            cible[x] = source[m_colonnes[static_cast<std::size_t>(x)]];
        }
    }
}

void RenduCarte::reduire(int cote)
{
    // Smaller than the map: each window pixel the mean of the map pixels
    // whose centres fall in it (one at least), rows then columns, so no
    // grid line nor cell border drops out. Done here, on this thread: Qt's
    // smooth scaling would share the work with its thread pool.
    const int n = echelle::CoteNaturel;
    m_debuts.resize(static_cast<std::size_t>(cote) + 1);
    for (int x = 0; x <= cote; ++x) {
        m_debuts[static_cast<std::size_t>(x)] = echelle::premierPixelCarte(x, cote);
    }
    m_lignes.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(cote) * 3, 0);
    for (int y = 0; y < n; ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(m_fond.constScanLine(y));
        for (int x = 0; x < cote; ++x) {
            const int debut = m_debuts[static_cast<std::size_t>(x)];
            const int fin = std::max(debut + 1, m_debuts[static_cast<std::size_t>(x) + 1]);
            int r = 0;
            int g = 0;
            int b = 0;
            for (int k = debut; k < fin; ++k) {
                r += qRed(source[k]);
                g += qGreen(source[k]);
                b += qBlue(source[k]);
            }
            const auto i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(cote) +
                            static_cast<std::size_t>(x)) *
                           3;
            const int compte = fin - debut;
            m_lignes[i] = (r + compte / 2) / compte;
            m_lignes[i + 1] = (g + compte / 2) / compte;
            m_lignes[i + 2] = (b + compte / 2) / compte;
        }
    }
    if (m_fondEchelle.size() != QSize(cote, cote)) {
        m_fondEchelle = QImage(cote, cote, QImage::Format_RGB32);
    }
    for (int y = 0; y < cote; ++y) {
        const int debut = m_debuts[static_cast<std::size_t>(y)];
        const int fin = std::max(debut + 1, m_debuts[static_cast<std::size_t>(y) + 1]);
        const int compte = fin - debut;
        auto* cible = reinterpret_cast<QRgb*>(m_fondEchelle.scanLine(y));
        for (int x = 0; x < cote; ++x) {
            int somme[3] = {0, 0, 0};
            for (int k = debut; k < fin; ++k) {
                const auto i = (static_cast<std::size_t>(k) * static_cast<std::size_t>(cote) +
                                static_cast<std::size_t>(x)) *
                               3;
                somme[0] += m_lignes[i];
                somme[1] += m_lignes[i + 1];
                somme[2] += m_lignes[i + 2];
            }
            cible[x] = qRgb((somme[0] + compte / 2) / compte, (somme[1] + compte / 2) / compte,
                            (somme[2] + compte / 2) / compte);
        }
    }
}
