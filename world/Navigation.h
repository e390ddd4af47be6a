#pragma once

/**
 * The robot's behaviour: the navigation thread re-plans whenever the robot,
 * the destination or the grid changes, estimates the heading from the last
 * displacement, orders turns in place and chooses the wheel codes; the
 * simulation thread moves a virtual robot one cell along the path every
 * 1.5 s; the bumper handler marks obstacles ahead of the robot.
 *
 * Every wait blocks on the world-change notification (WorldChange.h) and
 * ends when the world threads are asked to stop (WorldThreads.h).
 */

/** The navigation loop; returns only when the world threads are stopped. */
void NavigationThread();

/**
 * The heading from the robot's displacement since (prevX, prevY), cm
 * (strict sectors): sets the heading (fixerCap), or leaves it when the robot has not
 * moved.
 */
void UpdateHeading(double prevX, double prevY);

/** Orders the turn that brings the heading onto the first step, with its beeps. */
void AlignHeading();

/** Orders a turn in place (degrees, clockwise positive) and waits until it is sent. */
void RequestTurn(int angle);

/**
 * The same, the heading becoming `capApres` (1 .. 8) as if the turn were
 * made: the new heading, the order and the heading before it are published
 * in one write (monde().ordres), so that no other thread sees one without
 * the others, nor a heading outside 1 .. 8.
 */
void RequestTurn(int angle, int capApres);

/** The wheel codes the navigation chose, left and right (0 .. 3). */
struct CodesRoues {
    int gauche = 0;
    int droite = 0;
    bool operator==(const CodesRoues&) const = default;
};

/** Wheel codes that steer from heading `cap` towards first step `premierPas` (0: none, stopped). */
CodesRoues ChooseWheelCommands(int cap, int premierPas);

/** One virtual run: a cell along the path every 1500 ms while monde().drapeaux.simulation is set.
 */
void SimulationThread();

/**
 * Bumper bits of a status byte: marks the cell ahead, ahead-left or
 * ahead-right. When the navigation's mends are allowed (monde().drapeaux.evasionPermise):
 * one side pressed on a cell already marked marks the cell straight ahead
 * instead; a contact that marks nothing at all (cells already marked, the
 * field's wall, or the heading still unknown) raises monde().drapeaux.contactRepete, and
 * the navigation turns the robot away from it.
 */
void HandleBumpers(int bit0, int bit1);
