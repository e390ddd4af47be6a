#pragma once

#include "robot/Scenario.h"
#include "robot/TerrainPhysique.h"
#include "world/BeaconModel.h"

#include <array>
#include <cstdint>
#include <random>

namespace robotsim {

/** The robot's true pose: centre in cm, heading in degrees clockwise from the x axis, [0, 360). */
struct Pose {
    double x = 0.0;
    double y = 0.0;
    double cap = 0.0;
};

/**
 * The virtual robot, without its link: the true pose on the physical field,
 * the two wheels, the bumper, the battery and the beacon timings.
 *
 * One period goes: `trame` (the sensor frame of the present state), then
 * `commande` for each command byte received (a turn is made at once, the
 * wheel codes are kept), then `avancer` (the wheels act for one period).
 * A contact is reported in the next frame only; the period after it is
 * spent backing off (Caracteristiques.h).
 */
class RobotVirtuel {
public:
    /** On a field whose beacons stand as `geometrie` says (the bundled model by default). */
    explicit RobotVirtuel(const Scenario& scenario, const balises::Geometrie& geometrie = {});

    /** The ten bytes of the sensor frame for the present state; the contact bits are sent once. */
    std::array<std::uint8_t, 10> trame();

    /**
     * A command byte: bit 7 set, turn code 0 .. 5 in bits 6 .. 4, right wheel
     * in bits 3 .. 2, left in 1 .. 0. Returns false, changing nothing, for a
     * byte that is not a command (bit 7 clear or turn code 6 or 7).
     */
    bool commande(std::uint8_t octet);

    /** Both wheels stop (the console did not answer). */
    void arreterRoues();

    /** One period of motion: the back-off after a contact, or the wheels; the battery drains. */
    void avancer();

    /** Why the robot cannot be put somewhere (placer). */
    enum class Placement {
        Fait,        ///< it stands there now
        HorsTerrain, ///< a coordinate outside 0 .. 500 cm, or not a number
        Bord,        ///< its body would touch a side of the field
        Obstacle,    ///< its body would touch an obstacle
    };
    /**
     * Picks the robot up and puts it down at `pose` (the heading in degrees,
     * any finite value, brought into [0, 360)), as an operator moves it by
     * hand: its wheels stop, and a contact not yet reported and the back-off
     * that follows one are forgotten. Where its body would not be clear of
     * the sides and the obstacles (touching counts), nothing changes.
     */
    Placement placer(const Pose& pose);

    const Pose& pose() const { return m_pose; }
    int gauche() const { return m_gauche; }
    int droite() const { return m_droite; }
    double batterie() const { return m_batterie; }
    /** Contacts reported so far. */
    long contacts() const { return m_contacts; }
    /** Simulated time since the start, s. */
    double temps() const { return m_temps; }
    /** Frame period, s. */
    double periode() const { return m_periode; }
    const balises::Geometrie& geometrie() const { return m_geometrie; }

private:
    /** Drives along an arc for `duree` s at wheel speeds vg, vd (cm/s); returns the distance. */
    double rouler(double vg, double vd, double duree);
    /** The bumper bits for a contact at (px, py); 0 behind the bumper. */
    std::uint8_t bits(double px, double py) const;

    TerrainPhysique m_terrain;
    balises::Geometrie m_geometrie;
    Pose m_pose;
    int m_gauche = 0;
    int m_droite = 0;
    double m_batterie;
    double m_periode;
    /** Standard deviation of a ping's arrival, s. */
    double m_bruit;
    std::mt19937 m_alea;
    std::normal_distribution<double> m_gauss{0.0, 1.0};
    /** Bumper bits waiting for the next frame. */
    std::uint8_t m_etat = 0;
    bool m_reculer = false;
    long m_contacts = 0;
    double m_temps = 0.0;
};

/** `a` brought into [0, 360). */
double normaliserCap(double a);

} // namespace robotsim
