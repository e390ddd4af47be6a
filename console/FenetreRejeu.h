#pragma once

#include "link/rejeu/ModeleRejeu.h"
#include "world/Instantane.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <string>

class CarteRejeu;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

/**
 * A replay window: a recorded session played back from its log alone, in a
 * window of its own ("Rejeu : NAME.kivlog"), beside the live console and
 * never touching it. Its map shows the field as it was recorded, the robot
 * where the network placed it, the destination and the planner's route to
 * it; beside it the recorded telemetry (position, wheel codes of the last
 * command byte, battery, bumpers, link and run events, the last bytes
 * received and sent). Under it the controls: play / pause (space), the
 * timeline to seek, the recorded time (elapsed / total) with the session's
 * wall time, the speed, changed while it plays. It says "Rejeu terminé"
 * once the log has played to its end, and why when the log is damaged or
 * holds no field for its start.
 *
 * The model (ModeleRejeu) does the work, a turn of at most 20 ms at a time,
 * from this window's timer: the window stays live at any speed.
 */
class FenetreRejeu : public QWidget {
    Q_OBJECT

public:
    /** `minuterie` false: nothing plays by itself, the caller calls tour() (tests). */
    explicit FenetreRejeu(const OptionsRejeu& options, QWidget* parent = nullptr,
                          bool minuterie = true);
    ~FenetreRejeu() override;

    /** Opens the log and starts playing; false (erreur() says why) when it is not one. */
    bool ouvrir();
    /** Why the log cannot be replayed (French). */
    const std::string& erreur() const { return m_modele.erreur(); }
    /** The log played, as given. */
    const std::string& fichier() const { return m_fichier; }

    /** One turn of the replay's work, then the display. */
    void tour();

    const ModeleRejeu& modele() const { return m_modele; }
    /** The picture of the replayed world the map shows. */
    const Instantane& image() const { return m_image; }

    /** "H:MM:SS.d" of a log time in us. */
    static QString texteTemps(std::uint64_t us);

signals:
    /** The window shows the model's state afresh (after a turn that changed it). */
    void affiche();

private:
    void construire();
    void afficher();
    void basculer();
    void chercherCurseur(int valeur);
    void choisirVitesse(int index);
    /** Work is due: the next turn at once. */
    void relancer();
    void programmer(const ModeleRejeu::Tour& tour);
    int versCurseur(std::uint64_t temps) const;
    std::uint64_t depuisCurseur(int valeur) const;

    ModeleRejeu m_modele;
    std::string m_fichier;
    bool m_avecMinuterie;
    QTimer m_minuterie;
    std::uint64_t m_vu = UINT64_MAX;
    /** Log time of one step of the timeline, us. */
    std::uint64_t m_pasCurseur = 1000;
    Instantane m_image;
    Itineraire m_itineraire;

    CarteRejeu* m_carte = nullptr;
    QPushButton* m_lecture = nullptr;
    QSlider* m_chronologie = nullptr;
    QLabel* m_temps = nullptr;
    QLabel* m_heure = nullptr;
    QComboBox* m_vitesse = nullptr;
    QLabel* m_etat = nullptr;
    QLabel* m_note = nullptr;
    QLabel* m_robot = nullptr;
    QLabel* m_destination = nullptr;
    QLabel* m_roues = nullptr;
    QProgressBar* m_batterie = nullptr;
    QLabel* m_parechocs = nullptr;
    QLabel* m_trames = nullptr;
    QLabel* m_lien = nullptr;
    QLabel* m_marche = nullptr;
    QLabel* m_recus = nullptr;
    QLabel* m_commandes = nullptr;
};
