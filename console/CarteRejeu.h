#pragma once

#include "world/Instantane.h"
#include "world/view/MapRenderer.h"

#include <QWidget>

/**
 * A replay window's map: the picture it is given, drawn by the map's own
 * renderer in the largest square the widget holds (half the map's size at
 * least). It reads nothing else and edits nothing: the mouse does nothing.
 */
class CarteRejeu : public QWidget {
public:
    explicit CarteRejeu(QWidget* parent = nullptr);

    /** Shows `monde` from the next paint on. */
    void montrer(const Instantane& monde);
    const Instantane& monde() const { return m_monde; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int largeur) const override { return largeur; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Instantane m_monde;
    RenduCarte m_rendu;
};
