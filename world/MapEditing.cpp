#include "world/MapEditing.h"

#include "world/GridEdits.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

namespace {

/**
 * Asks for a re-plan. The flag is raised before the edit, as the operator's
 * edits always did, and again after it (a search that took the flag in
 * between plans once more); the waiting navigation is woken only after it,
 * so that its search sees the new grid.
 */
struct ReplanApresEdition {
    ReplanApresEdition() { monde().grille.modifiee = 1; }
    ~ReplanApresEdition()
    {
        monde().grille.modifiee = 1;
        notifyWorldChange();
    }
    ReplanApresEdition(const ReplanApresEdition&) = delete;
    ReplanApresEdition& operator=(const ReplanApresEdition&) = delete;
};

int grilleDe(int p)
{
    return p / geo::CellSize + 1;
}

/** The edits shared by a left click and a drag in the marker modes. */
MapEdit placerMarqueur(Selection selection, int x, int y)
{
    MapEdit edit;
    switch (selection) {
    case Selection::Destination:
        SetDestination(x, y);
        edit.showDestination = true;
        edit.redraw = true;
        break;
    case Selection::Robot:
        SetRobotPosition(x, y);
        edit.showRobotPosition = true;
        edit.redraw = true;
        break;
    case Selection::Bandit:
        monde().bandit.ecrire({{x, y}, true});
        edit.redraw = true;
        break;
    case Selection::Obstacle:
    case Selection::None:
        break;
    }
    return edit;
}

} // namespace

bool ClampMapPoint(int& x, int& y)
{
    if (x < 0 || y < 0 || x > geo::MapSize || y > geo::MapSize) {
        return false;
    }
    if (x == geo::MapSize) {
        x = geo::MapSize - 1;
    }
    if (y == geo::MapSize) {
        y = geo::MapSize - 1;
    }
    return true;
}

MapEdit OnMapLeftButtonDown(Selection selection, int x, int y)
{
    if (!ClampMapPoint(x, y)) {
        return {};
    }
    if (selection == Selection::Obstacle) {
        const ReplanApresEdition replan;
        PlaceObstacle(grilleDe(y), grilleDe(x));
        return {false, false, true};
    }
    return placerMarqueur(selection, x, y);
}

MapEdit OnMapRightButtonDown(Selection selection, int x, int y)
{
    if (selection != Selection::Obstacle || !ClampMapPoint(x, y)) {
        return {};
    }
    const ReplanApresEdition replan;
    EraseObstacle(x, y);
    return {false, false, true};
}

MapEdit OnMapMouseMove(Selection selection, unsigned flags, int x, int y)
{
    constexpr unsigned tous = MouseLeft | MouseRight | MouseShift | MouseControl | MouseMiddle;
    if ((flags & tous) == 0 || !ClampMapPoint(x, y)) {
        return {};
    }
    if (selection == Selection::Obstacle) {
        const ReplanApresEdition replan;
        if (flags == MouseLeft) {
            PlaceObstacle(grilleDe(y), grilleDe(x));
        } else if (flags == MouseRight) {
            EraseObstacle(x, y);
        }
        return {false, false, true};
    }
    return placerMarqueur(selection, x, y);
}
