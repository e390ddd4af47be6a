#pragma once

#include "calibration/SeanceCalibration.h"

#include <QDialog>
#include <QPointer>

class CKIVView;
class CMainFrame;
class QAction;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPainter;
class QPushButton;
class QSpinBox;
struct Instantane;

/**
 * "Calibration": the robot stands on a known point; the operator types its
 * true position or designates it on the map; "Mesurer" averages the
 * intervals of the next N frames there and keeps the point when they agree
 * (otherwise it says why). The points kept and the suggested grid are drawn
 * on the map; "Enregistrer..." writes the points as a training set for the
 * trainer window and kiv-train. Not modal: the console runs on beside it.
 */
class CalibrationDlg : public QDialog {
    Q_OBJECT

public:
    CalibrationDlg(CKIVView* view, QWidget* parent = nullptr);
    ~CalibrationDlg() override;

    calibration::SeanceCalibration& seance() { return m_seance; }

    /** Starts a measure at the typed position. */
    void mesurer();
    /** Fills the position with the next grid point not yet visited. */
    void pointSuggere();
    /** Asks for a file and writes the points there, safely; false when nothing was written. */
    bool enregistrer();

private:
    /** One frame's intervals, from the view. */
    void trame(double t1, double t2, double t3);
    void criteresChanges();
    void actualiserListe();
    void dessiner(QPainter& p, const Instantane& monde) const;
    void redessinerCarte();

    /** Null once the view is gone (the frame destroys it before its other children). */
    QPointer<CKIVView> m_view;
    calibration::SeanceCalibration m_seance;
    QSpinBox* m_x = nullptr;
    QSpinBox* m_y = nullptr;
    QSpinBox* m_trames = nullptr;
    QDoubleSpinBox* m_dispersion = nullptr;
    QSpinBox* m_grille = nullptr;
    QPushButton* m_mesurer = nullptr;
    QPushButton* m_designer = nullptr;
    QLabel* m_etat = nullptr;
    QListWidget* m_liste = nullptr;
};

/** Adds "Calibration..." to the frame's "Paramètres" menu; the dialog is made at first use. */
QAction* ajouterMenuCalibration(CMainFrame& frame);
