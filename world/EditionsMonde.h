#pragma once

#include <functional>

/**
 * What the operator sees change on the map, told to one observer (the
 * console records it in the session's log, which a replay plays back on a
 * field of its own). The world keeps no record itself and never calls the
 * display or the recorder: the observer is a plain function the console
 * installs.
 */

/** What an edit did. */
enum class GenreEditionMonde {
    Destination, ///< destination placed at (x, y) cm
    Peinte,      ///< operator obstacle painted on the cell (x column, y row)
    Effacee,     ///< operator obstacle erased from the cell
    Trouvee,     ///< obstacle found by the robot (a bumper mark) on the cell
    Retiree,     ///< found obstacle removed from the cell
    Terrain,     ///< the whole field replaced at once (appliquerTerrain); x, y unused
};

/** One edit: a destination in cm (0 .. 500), a field cell (0 .. 19 each), or the whole field. */
struct EditionMonde {
    GenreEditionMonde genre = GenreEditionMonde::Destination;
    int x = 0;
    int y = 0;

    bool operator==(const EditionMonde&) const = default;
};

using ObservateurEditions = std::function<void(const EditionMonde&)>;

/**
 * Installs the observer of every edit that changed the world, in place of
 * the one before; the key that ends it. It is called on the thread that
 * made the edit, after it, holding no world lock; it must return at once
 * and never edit the world. When this returns, the previous observer is not
 * running and will not run again.
 */
int observerEditions(ObservateurEditions observateur);

/**
 * Ends the observer installed with `cle`, if it is still the one (a newer
 * one stays); when this returns it is not running and will not run again.
 */
void finObservationEditions(int cle);

/** Tells the observer of `edition`, when there is one. */
void signalerEdition(const EditionMonde& edition);
