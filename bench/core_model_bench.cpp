#include <benchmark/benchmark.h>

#include "core/clock_text.h"
#include "core/cue_deck.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

void BM_ClockText(benchmark::State& state) {
    const LocalTime t{2026, 12, 8, 13, 23, 45};
    for (auto _ : state) benchmark::DoNotOptimize(ClockText(t));
}
BENCHMARK(BM_ClockText);

// The cue player's own work per call, with a backend that does nothing.
void BM_CueDeckPlayCue(benchmark::State& state) {
    testing::FakeSoundBackend backend;
    testing::FakeDialogs dialogs;
    CueDeck deck("/opt/sorelka/", backend, dialogs);
    deck.SetSoundEnabled(true);
    unsigned n = 11;
    for (auto _ : state) {
        deck.PlayCue(Cue{n});
        n = n == 19 ? 11 : n + 1;
        if (backend.log.size() > 4096) backend.log.clear();
    }
}
BENCHMARK(BM_CueDeckPlayCue);

}  // namespace
}  // namespace sorelka
