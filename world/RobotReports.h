#pragma once

#include <functional>

/**
 * What the robot's sensor frames do to the world. The frame parser
 * (link/protocol) reads the bytes; these apply its events to the shared
 * state with the world's locks, whoever runs the parser (the console, a
 * replay, a virtual robot).
 */

/**
 * A network output as a coordinate in cm: below 0 or not a number gives 0,
 * above 499 gives 499, and the rest is truncated toward zero.
 */
int CoordonneeDeSortie(double sortie);

/**
 * A frame's position estimate: x from output 1, y from output 0. Under
 * the robot's lock the robot moves there only when the estimate lies more than
 * 25 cm away (squared distance above 625). Returns true when the robot moved;
 * the world's waiters and the display have then been told.
 */
bool ReportRobotPosition(double sortie0, double sortie1);

/** Sends one command byte made of the left, right and turn codes. */
using EnvoiCommande = std::function<void(int gauche, int droite, int virage)>;

/**
 * A frame's status byte: HandleBumpers with (bit0, bit1) when either is set;
 * then the current wheel and turn codes taken and the turn order cleared in
 * one write (monde().ordres), so that a turn goes out exactly once, and that
 * one reply sent through `envoyer`, with no lock held; then, when a turn was
 * pending, the world's waiters are woken (a turn request waits for its
 * transmission). While the operator holds the robot
 * (OrdresRobot::arretOperateur) the reply is the neutral command and a
 * pending turn stays pending.
 */
void ReportRobotStatus(int bit0, int bit1, const EnvoiCommande& envoyer);
