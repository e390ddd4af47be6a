#pragma once

#include <chrono>

/**
 * A counter that every writer of watched world state bumps, so that a thread
 * waiting for "something changed" blocks instead of polling. A waiter reads
 * the counter, checks its conditions, and if nothing is to be done waits for
 * the counter to move past the value it read; no change can be missed.
 *
 * Watched state: the robot's position and cell, the destination, the grid
 * and g_mapChanged, g_navActive, g_simRunning, g_turnPending, the time of a
 * manual world clock, and the stop request of the world threads.
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
