#pragma once

#include <chrono>

/**
 * The world's worker threads: one navigation thread for the whole run and
 * one simulation thread per "Go!!!". They run at the lowest priority and are
 * stopped and joined before the program's shared objects go away.
 */

/** Starts the navigation thread unless it is already running. */
void StartNavigation();

/** Starts one more simulation thread. */
void StartSimulation();

/** Asks every world thread to stop, wakes them and waits until they have ended. */
void StopWorldThreads();

/** Clears the stop request when no world thread is left to stop (ResetWorld). */
void withdrawStopRequest();

/** Simulation threads whose run has not ended yet. */
int runningSimulations();

/** True once StopWorldThreads has been called (until the next start or ResetWorld). */
bool worldThreadsStopping();

/**
 * Thrown inside a world thread by a wait that sees the stop request; caught
 * at the top of the thread, never elsewhere.
 */
struct ArretDemande {};

/**
 * Blocks for `duree` of the world clock (WorldClock.h) or until a stop
 * request; throws ArretDemande on the latter.
 */
void dormirSaufArret(std::chrono::milliseconds duree);
