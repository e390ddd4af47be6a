#pragma once

#include <cstddef>

/**
 * The largest amount of memory one structure of the program may ask for: a
 * table, a matrix, a network with its scaling. A request beyond it is
 * refused with "Erreur d'allocation de memoire!" before anything is
 * allocated, instead of being granted by an overcommitting system and
 * filled until the system kills the program.
 *
 * The default is a quarter of the machine's physical memory. The
 * environment variable KIV_MEMORY_BUDGET sets it in bytes, with an optional
 * K, M or G suffix (powers of 1024); a program may also set it itself.
 */
std::size_t budgetMemoire();

/** Sets the budget in bytes; 0 goes back to the default (or KIV_MEMORY_BUDGET). */
void definirBudgetMemoire(std::size_t octets);

/**
 * Reads a budget written as KIV_MEMORY_BUDGET takes it ("512M", "2G",
 * "1048576"). 0 when the text is not such a size.
 */
std::size_t lireBudgetMemoire(const char* texte);

/** Throws "Erreur d'allocation de memoire!" when `octets` exceeds the budget (or is not finite). */
void verifierBudgetMemoire(double octets);
