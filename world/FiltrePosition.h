#pragma once

/**
 * The robot's position filter: an extended Kalman filter over the pose
 * (x, y in cm, heading in radians, clockwise on the map as the heading
 * codes) and a speed factor, between the network's estimates and the world.
 *
 * Each frame the robot sends is measured where it stands when the console
 * answers it (it drives between two frames, on the command of the answer).
 * So each estimate first predicts the pose from the previous one by the
 * command that answered the previous frame (the turn in place, then the
 * wheel codes for one period, or the back-off after a contact, or nothing
 * while stopped), then corrects it with the estimate. An estimate that the
 * prediction makes impossible (beyond the gate of its spread) is refused
 * and counted; a run of them means the robot was moved by hand, and the
 * filter starts again from the estimates.
 *
 * The heading is unknown until the navigation has measured one (its probe):
 * until then the filter only averages the estimates, letting the robot
 * drift by as much as its wheel codes allow. The speed factor scales the
 * robot's wheel speeds per frame: the description gives them for its
 * period, and a robot that sends its frames faster or slower moves less or
 * more per frame; the filter learns the factor from the estimates while the
 * robot drives straight.
 *
 * Plain C++, no lock of its own: the world holds it under the robot's lock.
 */
namespace filtre {

/**
 * The heading of navigation code `code` (1 .. 8), radians clockwise from
 * the x axis: code 3 is the x axis, each code an eighth of a turn clockwise.
 */
double capDuCode(int code);

/** The robot's description, as the filter needs it. */
struct Parametres {
    /** Distance each wheel code moves a wheel in one frame, cm (codes 0 .. 3). */
    double pasRoue[4] = {0.0, 1.25, 2.5, 3.0};
    /** Distance between the wheels, cm. */
    double voie = 15.0;
    /** The body's radius, cm: what a bumper touches lies within it. */
    double rayon = 6.0;
    /** How far the robot backs off in the frame after a contact, cm. */
    double recul = 3.0;
    /** Spread (one standard deviation) of one estimate of the network, cm. */
    double ecartEstimation = 9.0;
    /** Gate on the squared distance of an estimate, in spreads (2 degrees of freedom). */
    double porte = 13.8;
    /** Refused estimates in a row after which the filter starts again from them. */
    int refusAvantReprise = 5;
};

/** What the filter made of one estimate. */
enum class Issue {
    Premiere, ///< the first estimate: the filter starts there
    Admise,   ///< corrected the prediction
    Refusee,  ///< beyond the gate: the prediction stands
    Reprise,  ///< one refusal too many: started again from this estimate
};

class FiltrePosition {
public:
    explicit FiltrePosition(const Parametres& parametres = {});

    /** Forgets everything: the next estimate starts the filter again. */
    void reinitialiser();

    /**
     * The command that answered the frame just received, which the robot
     * acts on until the next one: wheel codes 0 .. 3, turn code 0 .. 5, and
     * whether that frame reported a contact (the robot then backs off
     * instead of driving).
     */
    void commander(int gauche, int droite, int virage, bool contact);

    /**
     * The navigation's heading code (1 .. 8, 0 unknown), taken while the
     * filter's own heading is unknown; once it has one, it follows the
     * turns and the veer itself.
     */
    void indiquerCap(int code);

    /**
     * An estimate of the frame: predicts over `periodes` frames (more than
     * one when frames were lost in between), then corrects. Non-finite
     * values are refused.
     */
    Issue mesurer(double x, double y, int periodes = 1);

    const Parametres& parametres() const { return m_p; }
    bool demarre() const { return m_demarre; }
    bool capConnu() const { return m_capConnu; }
    double x() const { return m_s[0]; }
    double y() const { return m_s[1]; }
    /** Heading, radians in [0, 2 pi), clockwise from the x axis (map y downwards). */
    double cap() const;
    /** Speed factor (1: the description's speeds). */
    double facteurVitesse() const { return m_s[3]; }
    /** Spread of the position, cm: the square root of the larger variance of x and y. */
    double ecart() const;
    /** Estimates refused since the start. */
    long refus() const { return m_refus; }

private:
    void predire();
    void ajouterBruit(int i, double variance);

    Parametres m_p;
    bool m_demarre = false;
    bool m_capConnu = false;
    /** x, y, heading, speed factor. */
    double m_s[4] = {0.0, 0.0, 0.0, 1.0};
    double m_P[4][4] = {};
    int m_gauche = 0;
    int m_droite = 0;
    int m_virage = 0;
    bool m_contact = false;
    int m_refusDeSuite = 0;
    long m_refus = 0;
};

} // namespace filtre
