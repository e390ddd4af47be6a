#pragma once

#include "calibration/SeanceCalibration.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>

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
 * (otherwise it says why), after asking the operator when the network puts
 * the robot far from it. The points kept and the suggested grid are drawn
 * on the map; "Enregistrer..." writes the points as a training set for the
 * trainer window and kiv-train; "Affiner le réseau" trains the console's
 * network further on them. The session's log follows the list (points
 * kept, removed, emptied). Not modal: the console runs on beside it, and it
 * opens beside the map.
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
    /**
     * Asks for a file and writes the points there, safely (a name without
     * an extension gets ".dat"); false when nothing was written.
     */
    bool enregistrer();
    /**
     * Trains the console's network further on the points, from its weights
     * (ReseauNeurones::Affiner), with the progress box; the refined network
     * takes over only when the run goes through. True when it did.
     */
    bool affiner();

private:
    /** One frame's intervals, from the view. */
    void trame(double t1, double t2, double t3);
    /** Asks whether the point waiting as `numero`, far from the estimate, is kept. */
    void demanderConfirmation(std::uint64_t numero, const calibration::ResultatPoint& resultat);
    /** A point that joined the list: recorded in the session's log, shown. */
    void pointGarde(const calibration::PointCalibration& point);
    void retirer();
    void vider();
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
    QSpinBox* m_passes = nullptr;
    QPushButton* m_affiner = nullptr;
    QLabel* m_etat = nullptr;
    QListWidget* m_liste = nullptr;
    bool m_affinageEnCours = false;
};

/**
 * Adds "Calibration..." to the frame's "Paramètres" menu; the dialog is made
 * at first use, and opens beside the map each time it is shown again.
 */
QAction* ajouterMenuCalibration(CMainFrame& frame);
