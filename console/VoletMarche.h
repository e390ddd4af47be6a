#pragma once

#include "console/SuiviMarche.h"

#include "console/VoletTexte.h"
#include <functional>

/**
 * Status-bar pane that tells how the run goes. A virtual run: "Simulation
 * en cours" after "Go!!!", "Arrivé" once the robot stands on the
 * destination; "Go!!!" without a destination says so. "Arrêté par
 * l'opérateur" while the operator holds the robot ("Arrêt", "Saisie", the
 * stop key), until "Reprendre" or "Go!!!". A robot on the line: "En route" while the navigation
 * steers it to the destination, "Arrivé", "En attente d'un chemin" when no route leads there,
 * "Robot perdu" when its link is lost on the way. The runs themselves are
 * started and stopped by the control view as always.
 */
class VoletMarche : public VoletTexte {
    Q_OBJECT

public:
    using Etat = EtatMarche;

    static constexpr const char* TexteEnCours = "Simulation en cours";
    static constexpr const char* TexteArrive = "Arrivé";
    static constexpr const char* TexteArrete = "Arrêté par l'opérateur";
    /** The map's band says the rest (BandeauChemin). */
    static constexpr const char* TexteSansDestination = "Pas de destination";
    static constexpr const char* TexteEnRoute = "En route";
    static constexpr const char* TextePasDeChemin = "En attente d'un chemin";
    static constexpr const char* TexteRobotPerdu = "Robot perdu";

    explicit VoletMarche(QWidget* parent = nullptr);

    /** Where the pane reads the link's health; without it the link counts as closed. */
    void setSanteLien(std::function<EtatSante()> sante) { m_sante = std::move(sante); }

    /** "Go!!!" was pressed (after the view started the run). */
    void surGo();
    /** "Arrêt" or "Saisie" was pressed (after the view held the robot). */
    void surArret();
    /** The map was shown afresh, or the link changed: the pane looks at the world again. */
    void actualiser();

    Etat etat() const { return m_suivi.etat(); }

private:
    void afficher();

    SuiviMarche m_suivi;
    std::function<EtatSante()> m_sante;
};
