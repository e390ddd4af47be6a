#pragma once

#include <QWidget>

class QToolButton;

/**
 * A pair of arrow buttons that sets no value itself: each press (or the Up
 * and Down keys while it has the focus) reports a step, -1 for the up arrow
 * and +1 for the down arrow, and the owner decides what it changes.
 */
class BoutonFleches : public QWidget {
    Q_OBJECT

public:
    explicit BoutonFleches(QWidget* parent = nullptr);

    QToolButton* flecheHaut() const { return m_haut; }
    QToolButton* flecheBas() const { return m_bas; }

signals:
    void deltaPos(int delta);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_haut;
    QToolButton* m_bas;
};
