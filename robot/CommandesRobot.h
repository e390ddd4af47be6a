#pragma once

#include "robot/RobotVirtuel.h"

#include <string>
#include <string_view>

namespace robotsim {

/** The longest command line, in characters (its line end aside); a longer one is refused whole. */
inline constexpr std::size_t LongueurCommandeMax = 1000;

/**
 * Carries out one command line typed to a running robot and returns the
 * line that answers it (French, for the operator; empty for a blank line or
 * a comment). Numbers use '.' whatever the locale.
 *
 *     aller X Y CAP   puts the robot down at (X, Y) cm, heading CAP degrees
 *                     clockwise from the x axis (0 right, 90 down), as a
 *                     scenario's `depart` says it (RobotVirtuel::placer):
 *                     "fait : x 130.0 y 370.0 cap 90.0", or "refusé : "
 *                     and why (outside the field, against a side, inside
 *                     an obstacle, a wrong syntax)
 *     position        where the robot stands: "position : x ... y ... cap ..."
 *     aide            the commands
 */
std::string executerCommande(std::string_view ligne, RobotVirtuel& robot);

/** The answer to a line longer than LongueurCommandeMax. */
std::string refusLigneTropLongue();

} // namespace robotsim
