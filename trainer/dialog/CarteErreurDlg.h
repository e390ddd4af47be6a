#pragma once

#include "trainer/ErreurEnsemble.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QString>

#include <vector>

class QLabel;
class QPushButton;

/**
 * "Carte d'erreur": a network tested on a set of positions, drawn as the
 * field seen from above (x to the right, y downwards, 500 cm a side) with
 * each point of the set as a disc coloured by the network's error there,
 * a colour scale beside it and the statistics above. "Enregistrer
 * l'image..." saves the picture as PNG.
 */
class CarteErreurDlg : public QDialog {
    Q_OBJECT

public:
    /** `titre` names the set (its file). */
    CarteErreurDlg(std::vector<ErreurExemple> resultats, const QString& titre,
                   QWidget* parent = nullptr);

    const QImage& image() const { return m_image; }
    const StatistiquesErreur& statistiques() const { return m_statistiques; }

    /** Asks for a file and writes the picture there, safely; false when nothing was written. */
    bool enregistrerImage();

private:
    std::vector<ErreurExemple> m_resultats;
    StatistiquesErreur m_statistiques;
    QImage m_image;
    QLabel* m_texte = nullptr;
    QPushButton* m_enregistrer = nullptr;
};

/** The field's side in the picture, px. */
inline constexpr int CotePixelsCarte = 400;

/**
 * The top of the colour scale for a worst error: the first of 1, 2, 5, 10,
 * 25, 50, 100, 250, 500 cm at or above it, so that pictures of networks
 * alike share a scale; 500 for a worst error beyond (those points are drawn
 * in the top colour).
 */
double hautEchelle(double pire);

/** Green at 0, yellow at half the scale, red at its top and beyond. */
QColor couleurErreur(double erreur, double haut);

/** The picture: statistics, field, points, scale. Output 1 is x, output 0 is y. */
QImage dessinerCarteErreur(const std::vector<ErreurExemple>& resultats,
                           const StatistiquesErreur& statistiques, const QString& titre);

/** Where the point (x, y) cm of the field lands in the picture. */
QPointF pixelDuPoint(double x, double y);
