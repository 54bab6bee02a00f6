// One minute of the day-forest scene through our library and through OpenAL
// Soft, and how they compare: CPU time, speed against real time, and heap
// allocations on the thread that mixes. Ours runs twice: on the decoded frames
// OpenAL gets (the same work, the ratio) and on the clips as the player has them
// (decoded while mixing, or ahead on the library's worker: its real cost, every
// thread's CPU counted). OpenAL Soft resamples linearly by default, a far
// cheaper and coarser filter than our 16-tap one; it runs a second time with
// its shortest band-limited sinc filter (12 points), the same kind of work as ours, and the
// ratio is taken against that. On a busy machine, run with
// --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true: the
// summary keeps each renderer's best run.

#include "bench/audio/AllocationCounter.h"
#include "bench/audio/OpenAlRenderer.h"
#include "bench/audio/OurRenderer.h"
#include "bench/audio/Scene.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace audiobench {
namespace {

const char* const kOursSameData = "ours_same_data";
const char* const kOursAsPlayed = "ours_as_played";
const char* const kOpenAl = "openal_soft_sinc12";
const char* const kOpenAlLinear = "openal_soft_linear";
const char* const kMixAllocations = "mix_allocs";
constexpr double kRatioGoal = 0.5;    // of filtering OpenAL Soft's CPU on the same data
constexpr double kSpeedGoal = 500.0;  // times faster than real time, as played

// Renders the scene's minute period by period; the set-up and the tear-down are not timed.
template <typename Renderer, typename... Options>
void RenderOneMinute(benchmark::State& state, Options... options)
{
    const Scene& scene = DayForest();
    std::vector<float> period(kPeriodFrames * kOutputChannels);
    constexpr uint32_t kPeriods = kSceneSeconds * kOutputRate / kPeriodFrames;
    uint64_t allocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<Renderer> renderer;
        try {
            renderer.emplace(scene, options...);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
        state.ResumeTiming();
        const uint64_t before = AllocationsOnThisThread();
        for (uint32_t i = 0; i < kPeriods; ++i) {
            renderer->Render(period.data(), kPeriodFrames);
            benchmark::DoNotOptimize(period.data());
        }
        allocations += AllocationsOnThisThread() - before;
        state.PauseTiming();
        renderer.reset();
        state.ResumeTiming();
    }
    state.counters[kMixAllocations] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

struct Figures {
    double cpuSeconds = 0.0;  // per rendered minute, the best run
    double allocations = 0.0;
    int runs = 0;
};

// The console report, and the best figures of each renderer for the summary:
// with repetitions, the run least disturbed by the rest of the machine.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            Figures& figures = figures_[run.run_name.function_name];
            const double cpuSeconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            if (figures.runs == 0 || cpuSeconds < figures.cpuSeconds)
                figures.cpuSeconds = cpuSeconds;
            figures.allocations = std::max(figures.allocations, run.counters.at(kMixAllocations).value);
            ++figures.runs;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintSummary() const
    {
        std::printf("\nOne minute of the day forest, %u Hz stereo float in %u-frame periods, mixed on one thread:\n",
                    kOutputRate, kPeriodFrames);
        for (const char* name : {kOursSameData, kOursAsPlayed, kOpenAl, kOpenAlLinear}) {
            const auto found = figures_.find(name);
            if (found == figures_.end())
                continue;
            const Figures& figures = found->second;
            std::printf("  %-15s %8.1f ms CPU  %7.0fx real time  %.0f allocations while mixing  (best of %d)\n", name,
                        figures.cpuSeconds * 1000.0, kSceneSeconds / figures.cpuSeconds, figures.allocations,
                        figures.runs);
        }
        const auto same = figures_.find(kOursSameData);
        const auto asPlayed = figures_.find(kOursAsPlayed);
        const auto openAl = figures_.find(kOpenAl);
        if (same == figures_.end() || asPlayed == figures_.end() || openAl == figures_.end()) {
            std::printf("  no ratio: a renderer did not run\n");
            return;
        }
        const double ratio = same->second.cpuSeconds / openAl->second.cpuSeconds;
        const double speed = kSceneSeconds / asPlayed->second.cpuSeconds;
        const bool noAllocations = same->second.allocations == 0.0 && asPlayed->second.allocations == 0.0;
        std::printf("  CPU ours / OpenAL Soft on the same data, both filtering: %.2f\n", ratio);
        const auto linear = figures_.find(kOpenAlLinear);
        if (linear != figures_.end())
            std::printf("  CPU ours / OpenAL Soft interpolating linearly: %.2f\n",
                        same->second.cpuSeconds / linear->second.cpuSeconds);
        std::printf("  goals: at most %.1f of OpenAL Soft's CPU on the same data %s; %.0fx real time as played %s; "
                    "no allocations while mixing %s\n",
                    kRatioGoal, Verdict(ratio <= kRatioGoal), kSpeedGoal, Verdict(speed >= kSpeedGoal),
                    Verdict(noAllocations));
    }

private:
    static const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

    std::map<std::string, Figures> figures_;
};

}  // namespace
}  // namespace audiobench

int main(int argc, char** argv)
{
    using namespace audiobench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("Synthesising and encoding the scene's clips...\n");
    try {
        DayForest();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "The scene could not be made: %s\n", error.what());
        return 1;
    }
    for (auto* registered :
         {benchmark::RegisterBenchmark(kOursSameData, RenderOneMinute<OurRenderer, OurInput>, OurInput::Decoded),
          benchmark::RegisterBenchmark(kOursAsPlayed, RenderOneMinute<OurRenderer, OurInput>, OurInput::AsPlayed),
          benchmark::RegisterBenchmark(kOpenAl, RenderOneMinute<OpenAlRenderer, OpenAlResampler>,
                                       OpenAlResampler::Filtered),
          benchmark::RegisterBenchmark(kOpenAlLinear, RenderOneMinute<OpenAlRenderer, OpenAlResampler>,
                                       OpenAlResampler::Default)})
        registered->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
