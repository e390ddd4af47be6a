// Fuzz target of the virtual robot's scenario reader: what it accepts is a
// scenario the robot can run (finite, in range, its start clear of every
// obstacle and side, not even touching one) with no line beyond the cap,
// its own text form reads back to the same scenario, what it refuses says
// where (a line refused for its length is that long) without a control
// character, and a robot started
// from it never leaves the field or enters an obstacle whatever commands
// it gets.
#include "LignesReference.h"
#include "robot/RobotVirtuel.h"
#include "robot/Scenario.h"
#include "robot/TerrainPhysique.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort(); // libFuzzer keeps the input that got here
    }
}

bool memes(const Scenario& a, const Scenario& b)
{
    return a.x == b.x && a.y == b.y && a.cap == b.cap && a.batterie == b.batterie &&
           a.bruit == b.bruit && a.periodeMs == b.periodeMs && a.graine == b.graine &&
           std::memcmp(a.obstacle, b.obstacle, sizeof a.obstacle) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string texte(reinterpret_cast<const char*>(data), size);
    const LectureScenario lu = lireScenario(texte);
    // The length of each line, its end (LF or CR LF) aside.
    const std::vector<std::size_t> longueurs = kiv_fuzz::longueursReference(texte);
    if (!lu.valide) {
        verifier(!lu.erreur.empty(), "a refusal says why");
        // Printed on a terminal: the file's words never drive it.
        for (const char c : lu.erreur) {
            const auto octet = static_cast<unsigned char>(c);
            verifier(octet >= 0x20 && octet != 0x7F, "a refusal holds no control character");
        }
        if (lu.erreur.rfind("ligne ", 0) == 0) {
            const long numero = std::strtol(lu.erreur.c_str() + 6, nullptr, 10);
            verifier(numero >= 1 && static_cast<std::size_t>(numero) <= longueurs.size(),
                     "the refused line exists");
            if (lu.erreur.find("plus de") != std::string::npos) {
                verifier(longueurs[static_cast<std::size_t>(numero) - 1] > LongueurLigneMax,
                         "a line refused for its length is too long");
            }
        }
        return 0;
    }
    for (const std::size_t n : longueurs) {
        verifier(n <= LongueurLigneMax, "no accepted line beyond the cap");
    }
    const Scenario& s = lu.scenario;
    verifier(std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.cap), "finite pose");
    verifier(s.x >= 0 && s.x <= 500 && s.y >= 0 && s.y <= 500, "start on the field");
    verifier(std::fabs(s.cap) < 360.0, "heading within a turn");
    verifier(s.batterie >= 0 && s.batterie <= 255, "battery byte");
    verifier(std::isfinite(s.bruit) && s.bruit >= 0 && s.bruit <= 50, "noise in range");
    verifier(s.periodeMs >= 20 && s.periodeMs <= 10000, "period in range");
    const robotsim::TerrainPhysique terrain(s.obstacle);
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 20; ++c) {
            verifier(s.obstacle[r][c] <= 2, "obstacle kinds");
        }
    }
    verifier(terrain.degage(s.x, s.y), "start clear of obstacles and sides, not touching");

    const LectureScenario relu = lireScenario(texteScenario(s));
    verifier(relu.valide && memes(relu.scenario, s), "the text form reads back the same");

    // The input's bytes as commands: the robot stays on the field and out of the obstacles.
    robotsim::RobotVirtuel robot(s);
    for (std::size_t k = 0; k < std::min<std::size_t>(size, 64); ++k) {
        robot.trame();
        robot.commande(static_cast<std::uint8_t>(data[k] | 0x80));
        robot.avancer();
        const robotsim::Pose& p = robot.pose();
        verifier(std::isfinite(p.x) && std::isfinite(p.y) && p.cap >= 0 && p.cap < 360,
                 "finite pose in motion");
        verifier(!terrain.contact(p.x, p.y).touche, "never inside an obstacle or a side");
    }
    return 0;
}
