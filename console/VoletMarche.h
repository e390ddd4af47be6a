#pragma once

#include <QLabel>

/**
 * Status-bar pane that tells whether a virtual run goes on: "Simulation en
 * cours" after "Go!!!", "Arrivé" once the robot stands on the destination,
 * "Arrêté" after "Arrêt". "Go!!!" without a destination says so; the run
 * itself is started and stopped by the control view as always.
 */
class VoletMarche : public QLabel {
    Q_OBJECT

public:
    enum class Etat { Repos, SansDestination, EnCours, Arrive, Arrete };

    static constexpr const char* TexteEnCours = "Simulation en cours";
    static constexpr const char* TexteArrive = "Arrivé";
    static constexpr const char* TexteArrete = "Arrêté";
    static constexpr const char* TexteSansDestination =
        "Pas de destination : placez-en une sur la carte avant « Go!!! »";

    explicit VoletMarche(QWidget* parent = nullptr);

    /** "Go!!!" was pressed (after the view started the run). */
    void surGo();
    /** "Arrêt" was pressed. */
    void surArret();
    /** The map was shown afresh: the robot may have arrived, the run ended. */
    void actualiser();

    Etat etat() const { return m_etat; }

private:
    void passer(Etat etat);

    Etat m_etat = Etat::Repos;
};
