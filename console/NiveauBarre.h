#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QProgressBar;

/**
 * Sets a progress bar's value at once and paints it at most 60 times a
 * second. QProgressBar::setValue paints the bar, and the box behind it, on
 * the spot whenever the drawn bar changes; the battery byte comes with every
 * frame, hundreds a second on a fast line or a noisy one. Here the value is
 * the new one at once (a reader of value() sees it), and the bar is painted
 * with the window's next update once the short pause is over.
 */
class NiveauBarre : public QObject {
public:
    NiveauBarre(QProgressBar* barre, QObject* parent);

    /** The bar shows `valeur` (clamped by the bar as setValue does). */
    void poser(int valeur);
    /** Ends the pause now when one is under way: the bar goes with the window's next update. */
    void peindreSiEnAttente();

private:
    void peindre();

    QPointer<QProgressBar> m_barre;
    QTimer m_pause;
};
