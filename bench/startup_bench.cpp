// Start-up cost: start a program on a virtual display, wait until its window is there, close it with
// Escape, wait for the exit. The real program against a bare Qt dialog of the same size, in one run:
// wall time and peak resident memory, as ratios.
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

namespace {

std::string g_display;
std::map<std::string, double> g_milliseconds, g_peakKiB;

pid_t Spawn(std::vector<std::string> command) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", g_display.c_str(), 1);
        unsetenv("QT_QPA_PLATFORM");
        std::vector<char*> arguments;
        for (std::string& each : command)
            arguments.push_back(each.data());
        arguments.push_back(nullptr);
        if (!freopen("/dev/null", "w", stderr))
            _exit(126);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    return child;
}

int RunToEnd(std::vector<std::string> command) {
    int status = 0;
    waitpid(Spawn(std::move(command)), &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One start, show and close; returns the program's peak resident memory in KiB. The window is looked
// for every 5 ms (xdotool's own --sync looks only twice a second, which would hide the difference).
long StartShowClose(const std::string& program) {
    const pid_t child = Spawn({program});
    for (int i = 0; i < 4000 && RunToEnd({"xdotool", "search", "--onlyvisible", "--name", "^Nomvara$"}) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    RunToEnd({"xdotool", "search", "--onlyvisible", "--name", "^Nomvara$", "windowfocus", "--sync", "key", "Escape"});
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss;
}

void Measure(benchmark::State& state, const std::string& name, const std::string& program) {
    long peak = 0;
    for (auto _ : state)
        peak = std::max(peak, StartShowClose(program));
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

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path here = std::filesystem::canonical("/proc/self/exe").parent_path();
    const std::string nomvara = (here.parent_path() / "nomvara").string();
    const std::string bare = (here / "bare_dialog").string();
    int screen = 150;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(screen)))
        ++screen;
    g_display = ":" + std::to_string(screen);
    const pid_t xvfb = Spawn({"Xvfb", g_display, "-screen", "0", "1024x600x24", "-nolisten", "tcp"});
    for (int i = 0; i < 100 && !std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(screen)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    benchmark::RegisterBenchmark("bare_dialog", [&](benchmark::State& state) { Measure(state, "bare_dialog", bare); })
        ->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("nomvara", [&](benchmark::State& state) { Measure(state, "nomvara", nomvara); })
        ->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);

    std::printf("\nStart, show, close, exit: %.0f ms against %.0f ms for a bare Qt dialog; ratio %.2f (goal <= 1.25)\n",
                g_milliseconds["nomvara"], g_milliseconds["bare_dialog"], g_milliseconds["nomvara"] / g_milliseconds["bare_dialog"]);
    std::printf("Peak resident memory: %.0f KiB against %.0f KiB; ratio %.2f (goal <= 1.2)\n", g_peakKiB["nomvara"],
                g_peakKiB["bare_dialog"], g_peakKiB["nomvara"] / g_peakKiB["bare_dialog"]);
    return 0;
}
