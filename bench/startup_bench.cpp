// Start-up cost: start a program on a virtual display, wait until its window is there, close it with
// Escape, wait for the exit. The real program against the same dialog written directly against Qt,
// and against an empty Qt dialog, in one run: wall time and peak resident memory, as ratios.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/desktop.h"

namespace {

std::map<std::string, double> g_milliseconds, g_peakKiB;
std::map<std::string, int> g_notShown, g_badExits;

// One start, show and close; returns the program's peak resident memory in KiB and counts an
// iteration whose window never showed or whose exit was not 0.
long StartShowClose(const std::string& name, const std::string& program) {
    const pid_t child = desktop::Start({program}, {{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", ""}});
    const bool shown = !desktop::FocusedWindow("Nomvara").empty();
    if (shown)
        std::system("xdotool key Escape");
    else
        kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    g_notShown[name] += !shown;
    g_badExits[name] += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return usage.ru_maxrss;
}

void Measure(benchmark::State& state, const std::string& name, const std::string& program) {
    long peak = 0;
    for (auto _ : state)
        peak = std::max(peak, StartShowClose(name, program));
    state.counters["peak_rss_KiB"] = double(peak);
    g_peakKiB[name] = double(peak);
}

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                g_milliseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void Compare(const char* what, const std::string& baseline, double timeGoal, double memoryGoal) {
    std::printf("Against %s: start, show, close, exit %.0f ms against %.0f ms, ratio %.2f (goal <= %.2f); "
                "peak resident memory %.0f KiB against %.0f KiB, ratio %.2f (goal <= %.2f)\n",
                what, g_milliseconds["nomvara"], g_milliseconds[baseline], g_milliseconds["nomvara"] / g_milliseconds[baseline],
                timeGoal, g_peakKiB["nomvara"], g_peakKiB[baseline], g_peakKiB["nomvara"] / g_peakKiB[baseline], memoryGoal);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path here = std::filesystem::canonical("/proc/self/exe").parent_path();
    const std::map<std::string, std::string> programs{{"nomvara", (here.parent_path() / "nomvara").string()},
                                                      {"plain_dialog", (here / "plain_dialog").string()},
                                                      {"bare_dialog", (here / "bare_dialog").string()}};
    const desktop::VirtualDisplay display;
    if (display.Name().empty()) {
        std::fputs("Xvfb did not start\n", stderr);
        return 1;
    }
    setenv("DISPLAY", display.Name().c_str(), 1);

    for (const char* name : {"bare_dialog", "plain_dialog", "nomvara"})
        benchmark::RegisterBenchmark(name, [name, &programs](benchmark::State& state) { Measure(state, name, programs.at(name)); })
            ->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n");
    Compare("the same dialog written directly against Qt", "plain_dialog", 1.05, 1.05);
    Compare("an empty Qt dialog", "bare_dialog", 1.25, 1.2);
    bool allWell = true;
    for (const auto& [name, program] : programs) {
        if (g_notShown[name] || g_badExits[name]) {
            std::printf("%s: %d iterations showed no window, %d did not exit with 0: its figures are not sound\n",
                        name.c_str(), g_notShown[name], g_badExits[name]);
            allWell = false;
        }
    }
    if (allWell)
        std::printf("Every iteration of each program showed its window and exited with 0.\n");
    return allWell ? 0 : 1;
}
