#include "robot/RobotVirtuel.h"

#include "link/protocol/RobotProtocol.h"
#include "robot/Caracteristiques.h"
#include "world/BeaconModel.h"

#include <algorithm>
#include <cmath>

namespace robotsim {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Radians = Pi / 180.0;
/** The turn of each turn code, degrees clockwise. */
constexpr double Virages[6] = {0.0, 90.0, 135.0, 180.0, -135.0, -90.0};

} // namespace

double normaliserCap(double a)
{
    a = std::fmod(a, 360.0);
    if (a < 0.0) {
        a += 360.0;
    }
    // A tiny negative angle plus 360 rounds to 360 itself.
    return a >= 360.0 ? 0.0 : a;
}

RobotVirtuel::RobotVirtuel(const Scenario& scenario, const balises::Geometrie& geometrie)
    : m_terrain(scenario.obstacle)
    , m_geometrie(geometrie)
    , m_pose{scenario.x, scenario.y, normaliserCap(scenario.cap)}
    , m_batterie(scenario.batterie)
    , m_periode(scenario.periodeMs / 1000.0)
    , m_bruit(scenario.bruit / geometrie.vitesseSon)
    , m_alea(scenario.graine)
{}

std::array<std::uint8_t, 10> RobotVirtuel::trame()
{
    // The counter runs freely: its value at the cycle start is anything.
    const std::uint32_t phase = m_alea();
    std::array<double, 4> retards{};
    for (double& r : retards) {
        r = m_bruit * m_gauss(m_alea);
    }
    const auto t = balises::horodatages(m_geometrie, {m_pose.x, m_pose.y}, phase, retards);
    const auto octets = protocole::encoderTrame(
        t, m_etat, static_cast<std::uint8_t>(std::lround(std::clamp(m_batterie, 0.0, 255.0))));
    m_etat = 0;
    return octets;
}

bool RobotVirtuel::commande(std::uint8_t octet)
{
    const auto c = protocole::decoderCommande(octet);
    if (!c) {
        return false;
    }
    m_pose.cap = normaliserCap(m_pose.cap + Virages[c->virage]);
    m_droite = c->droite;
    m_gauche = c->gauche;
    return true;
}

void RobotVirtuel::arreterRoues()
{
    m_gauche = 0;
    m_droite = 0;
}

void RobotVirtuel::avancer()
{
    double parcouru = 0.0;
    if (m_reculer) {
        m_reculer = false;
        parcouru = rouler(-Recul / m_periode, -Recul / m_periode, m_periode);
    } else {
        parcouru = rouler(Vitesses[m_gauche], Vitesses[m_droite], m_periode);
    }
    m_temps += m_periode;
    m_batterie = std::max(0.0, m_batterie - DrainParSeconde * m_periode - DrainParCm * parcouru);
}

RobotVirtuel::Placement RobotVirtuel::placer(const Pose& pose)
{
    if (!(pose.x >= 0.0 && pose.x <= Cote && pose.y >= 0.0 && pose.y <= Cote) ||
        !std::isfinite(pose.cap)) {
        return Placement::HorsTerrain;
    }
    if (!(pose.x > Rayon && pose.y > Rayon && pose.x < Cote - Rayon && pose.y < Cote - Rayon)) {
        return Placement::Bord;
    }
    if (!m_terrain.degage(pose.x, pose.y)) {
        return Placement::Obstacle;
    }
    m_pose = {pose.x, pose.y, normaliserCap(pose.cap)};
    arreterRoues();
    m_etat = 0;
    m_reculer = false;
    return Placement::Fait;
}

double RobotVirtuel::rouler(double vg, double vd, double duree)
{
    const double plusRapide = std::max(std::fabs(vg), std::fabs(vd));
    if (plusRapide == 0.0) {
        return 0.0;
    }
    const int pas = std::max(1, static_cast<int>(std::ceil(plusRapide * duree / PasMaximal)));
    const double dt = duree / pas;
    const double v = (vg + vd) / 2.0;
    // Clockwise on the map (y downwards) when the left wheel is the faster.
    const double w = (vg - vd) / Voie;
    double parcouru = 0.0;
    for (int k = 0; k < pas; ++k) {
        const double cap = m_pose.cap * Radians;
        const double milieu = cap + w * dt / 2.0;
        const double x = m_pose.x + v * dt * std::cos(milieu);
        const double y = m_pose.y + v * dt * std::sin(milieu);
        const Contact c = m_terrain.contact(x, y);
        if (c.touche) {
            // Stopped against it. Only a forward drive presses the bumper.
            const std::uint8_t b = v > 0.0 ? bits(c.x, c.y) : 0;
            if (b != 0) {
                m_etat = b;
                m_reculer = true;
                ++m_contacts;
            }
            break;
        }
        m_pose = {x, y, normaliserCap((cap + w * dt) / Radians)};
        parcouru += std::fabs(v) * dt;
    }
    return parcouru;
}

std::uint8_t RobotVirtuel::bits(double px, double py) const
{
    const double direction = std::atan2(py - m_pose.y, px - m_pose.x) / Radians;
    double relatif = normaliserCap(direction - m_pose.cap);
    if (relatif > 180.0) {
        relatif -= 360.0;
    }
    if (std::fabs(relatif) <= ConeFrontal) {
        return 0x03;
    }
    if (std::fabs(relatif) > 90.0) {
        return 0;
    }
    // Bit 0 is the right bumper, bit 1 the left; clockwise is to the right.
    return relatif > 0.0 ? 0x01 : 0x02;
}

} // namespace robotsim
