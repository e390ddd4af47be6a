#pragma once

#include <QPointF>
#include <QVector>
#include <QWidget>

/**
 * The course of the training error: one point per reported pass, the
 * passes run so far across, error up. The error axis turns logarithmic once the error
 * spans more than a decade, so that the slow end of a training stays
 * readable after the first steep fall.
 */
class CourbeErreur : public QWidget {
    Q_OBJECT

public:
    explicit CourbeErreur(QWidget* parent = nullptr);

    /** Forgets the points of the previous run; the passes of the next start at `premiere`. */
    void recommencer(int premiere);
    /** Adds the error of pass `passe`; an error that is not a finite number is left out. */
    void ajouter(int passe, double erreur);

    const QVector<QPointF>& points() const { return m_points; }
    /** True when the error axis is logarithmic. */
    bool echelleLogarithmique() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<QPointF> m_points;
    int m_premiere = 0;
    double m_min = 0.0;
    double m_max = 0.0;
};
