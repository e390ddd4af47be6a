// Fuzz target of the commands typed to a running virtual robot: the lines
// read from its standard input (through a pipe, as the robot reads them,
// never waiting) and carried out. Every answer is one line of the known
// kinds, without a control character; a refused or unknown command leaves
// the robot where it was; an accepted "aller" puts it where it said, on the
// field, its body clear of the sides and of every obstacle, its wheels
// stopped; no line beyond the cap reaches the interpreter.
#include "robot/CommandesRobot.h"
#include "robot/EntreeCommandes.h"
#include "robot/RobotVirtuel.h"
#include "robot/Scenario.h"
#include "robot/TerrainPhysique.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort(); // libFuzzer keeps the input that got here
    }
}

bool commencePar(const std::string& texte, const char* debut)
{
    return texte.rfind(debut, 0) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A field with a wall, the robot clear of it.
    const LectureScenario lu = lireScenario("depart 62 62 0\ncache 8 0 8 12\nmur 2 15 17 15\n");
    verifier(lu.valide, "the field of the target reads");
    robotsim::RobotVirtuel robot(lu.scenario);
    const robotsim::TerrainPhysique terrain(lu.scenario.obstacle);

    // Through a pipe, as the robot's standard input; the input is cut to
    // what a pipe holds without blocking the writer.
    int tube[2];
    if (::pipe(tube) != 0) {
        return 0;
    }
    const std::size_t n = size < 60000 ? size : 60000;
    if (n > 0 && ::write(tube[1], data, n) != static_cast<ssize_t>(n)) {
        ::close(tube[0]);
        ::close(tube[1]);
        return 0;
    }
    ::close(tube[1]);
    robotsim::EntreeCommandes entree(tube[0]);
    std::vector<robotsim::CommandeTapee> lignes;
    for (int tour = 0; tour < 64 && entree.lire(lignes); ++tour) {
    }
    verifier(!entree.ouverte(), "the end of the input is seen");
    ::close(tube[0]);

    for (const robotsim::CommandeTapee& ligne : lignes) {
        verifier(ligne.texte.size() <= robotsim::LongueurCommandeMax,
                 "no line beyond the cap reaches the interpreter");
        verifier(ligne.texte.find('\n') == std::string::npos, "a line holds no line end");
        if (ligne.tropLongue) {
            verifier(ligne.texte.empty(), "a line too long is dropped whole");
            continue;
        }
        const robotsim::Pose avant = robot.pose();
        const std::string reponse = robotsim::executerCommande(ligne.texte, robot);
        for (const char c : reponse) {
            verifier(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
                     "an answer holds no control character");
        }
        const bool fait = commencePar(reponse, "fait : ");
        verifier(reponse.empty() || fait || commencePar(reponse, "refusé : ") ||
                     commencePar(reponse, "position : ") || commencePar(reponse, "commandes : "),
                 "an answer is of a known kind");
        const robotsim::Pose& apres = robot.pose();
        if (fait) {
            verifier(terrain.degage(apres.x, apres.y), "a robot put down is clear of everything");
            verifier(apres.cap >= 0.0 && apres.cap < 360.0, "its heading is within [0, 360)");
            verifier(robot.gauche() == 0 && robot.droite() == 0, "its wheels stop");
        } else {
            verifier(apres.x == avant.x && apres.y == avant.y && apres.cap == avant.cap,
                     "a command not carried out moves nothing");
        }
    }
    return 0;
}
