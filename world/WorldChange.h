#pragma once

#include <chrono>
#include <functional>

/**
 * A counter that every writer of watched world state bumps, so that a thread
 * waiting for "something changed" blocks instead of polling. A waiter reads
 * the counter, checks its conditions, and if nothing is to be done waits for
 * the counter to move past the value it read; no change can be missed.
 *
 * Watched state: the robot's position and cell, the destination (placed or
 * not), the grid and monde().grille.modifiee, monde().drapeaux.simulation, the turn order's pending
 * flag and the operator's hold (monde().ordres), the time of a manual world
 * clock, and the stop request of the world threads.
 */
unsigned worldChangeCount();

/** Records a change and wakes every waiter. */
void notifyWorldChange();

/** Blocks until the counter differs from `seen`. */
void waitWorldChange(unsigned seen);

/**
 * Blocks until the counter differs from `seen` or `duree` has passed.
 * Returns true when the counter moved.
 */
bool waitWorldChangeFor(unsigned seen, std::chrono::milliseconds duree);

/**
 * Threads blocked in one of the waits above that no change has released
 * since they began to wait. When it equals the number of world threads,
 * each of them has handled every change so far and sleeps until the next
 * one: tests wait for that state before they act, instead of sleeping.
 */
int blockedWorldWaiters();

/**
 * Records a change that only the display cares about (the planned route, the
 * wheel codes, the heading, the bandit, the grid lines): the display's
 * listeners hear of it, the world threads' waits are not woken (a pass of
 * the navigation that changes the route would otherwise wake itself).
 */
void signalerAffichage();

/** Moves with every change of either kind: the display compares it with the one it showed. */
unsigned versionAffichage();

/**
 * `ecouteur` is called after every change of either kind, on the thread that
 * made it, holding no world lock. It must return at once (post an event,
 * raise a flag) and never call back into the world. Returns the key that
 * ends the subscription.
 */
int abonnerAffichage(std::function<void()> ecouteur);

/** Ends a subscription; when it returns, the listener is not running and will not run again. */
void desabonnerAffichage(int cle);
