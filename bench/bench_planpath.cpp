// Time of one route search on the empty field and on a maze of walls.
#include "world/GridEdits.h"
#include "world/PlanPath.h"
#include "world/WorldState.h"

#include <benchmark/benchmark.h>

namespace {

/** Walls across the field every four rows, their openings on alternate sides. */
void construireLabyrinthe()
{
    InitWorld();
    bool ouvertADroite = true;
    for (int y = 4; y <= 16; y += 4) {
        const int debut = ouvertADroite ? 1 : 4;
        const int fin = ouvertADroite ? 14 : 18;
        for (int x = debut; x <= fin; ++x) {
            PlaceObstacle(y + 1, x + 1);
        }
        ouvertADroite = !ouvertADroite;
    }
}

void chercher(benchmark::State& state, int gx, int gy)
{
    int longueur = 0;
    for (auto _ : state) {
        PlanPath(1, 1, gx, gy);
        longueur =
            monde().route.consulter([](const RoutePlanifiee& r) { return r.chemin.taille(); });
        benchmark::DoNotOptimize(longueur);
    }
    state.counters["steps"] = longueur;
    if (longueur == 0) {
        state.SkipWithError("no route");
    }
}

void BM_PlanPathEmptyField(benchmark::State& state)
{
    InitWorld();
    chercher(state, 18, 18);
}

void BM_PlanPathMaze(benchmark::State& state)
{
    construireLabyrinthe();
    chercher(state, 18, 18);
}

} // namespace

BENCHMARK(BM_PlanPathEmptyField)
    ->Repetitions(30)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlanPathMaze)
    ->Repetitions(30)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
