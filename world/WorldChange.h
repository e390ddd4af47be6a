#pragma once

/**
 * A counter that every writer of watched world state bumps, so that a thread
 * waiting for "something changed" blocks instead of polling. A waiter reads
 * the counter, checks its conditions, and if nothing is to be done waits for
 * the counter to move past the value it read; no change can be missed.
 */
unsigned worldChangeCount();

/** Records a change and wakes every waiter. */
void notifyWorldChange();

/** Blocks until the counter differs from `seen`. */
void waitWorldChange(unsigned seen);
