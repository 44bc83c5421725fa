// The speed goals of the Get button, each as a ratio against a baseline measured in the same run:
//  - one lookup's own cost, Get to answers in the list, against the resolver asked directly, and what
//    the facts of a name beyond ASCII add to it once ICU's data is loaded;
//  - a cache hit with 100,000 cached texts against one with 10;
//  - the dialog thread's longest stall while 500 lookups that take a second each are in flight.
#include <netdb.h>

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "bench/stall_meter.h"
#include "lookup/resolvequery.h"
#include "platform/winapp.h"
#include "platform/winsock.h"
#include "tests/scriptedresolver.h"
#include "tests/ui/dialog_access.h"

namespace {

// Answers every name with one address, at once or after `delay`.
void AnswerEveryNameWithOneAddress(testing_support::ScriptedResolver& resolver, std::chrono::milliseconds delay = {}) {
    resolver.AnswerEverything({0, "fixed", {0x0100007F}});
    resolver.SetDelay(delay);
}

class BenchDialog : public TestableDialog {
public:
    void Cache(std::size_t count) {
        for (; m_cached < count; ++m_cached) {
            const std::size_t i = m_cached;
            LookupRequest request;
            request.query = CString("cached-" + std::to_string(i) + ".example");
            request.answers = {"192.0.2.1", "192.0.2.2"};
            m_answerCache.InsertIfAbsent(request);
        }
    }

private:
    std::size_t m_cached = 0;
};

BenchDialog* g_dialog = nullptr;
std::map<std::string, double> g_seconds;  // median real time per iteration, by benchmark name

void PumpUntilIdle() {
    while (g_dialog->Pending() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

void BM_ResolverDirect(benchmark::State& state) {
    winsock::SetResolver(nullptr);  // the C library's resolver
    std::vector<CString> answers;
    for (auto _ : state)
        ResolveQuery(QueryKind::Name, "localhost", answers);  // an /etc/hosts name through the C library
    benchmark::DoNotOptimize(answers);
}

void BM_GetToAnswers(benchmark::State& state) {
    testing_support::ScriptedResolver resolver;
    AnswerEveryNameWithOneAddress(resolver);  // at once, so what is timed is the lookup's own cost
    int next = 0;
    for (auto _ : state) {
        g_dialog->Ask("host-" + std::to_string(next++) + ".example");
        PumpUntilIdle();
    }
}

// The same for names beyond ASCII, whose letters are checked for look-alikes; ICU's data is loaded first.
void BM_GetToAnswersBeyondAscii(benchmark::State& state) {
    testing_support::ScriptedResolver resolver;
    AnswerEveryNameWithOneAddress(resolver);
    g_dialog->Ask("b\u00fccher-first.example");
    PumpUntilIdle();
    int next = 0;
    for (auto _ : state) {
        g_dialog->Ask("b\u00fccher-" + std::to_string(next++) + ".example");
        PumpUntilIdle();
    }
}

void BM_CacheHit(benchmark::State& state) {
    g_dialog->Cache(static_cast<std::size_t>(state.range(0)));
    const std::string query = "cached-" + std::to_string(state.range(0) / 2) + ".example";
    for (auto _ : state) {
        g_dialog->Ask(query);
        state.PauseTiming();  // the list box's own repaints are not part of the hit
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// The longest time the dialog thread could not run an event, while 500 one-second lookups run.
void BM_LongestStall(benchmark::State& state) {
    testing_support::ScriptedResolver resolver;
    AnswerEveryNameWithOneAddress(resolver, std::chrono::milliseconds(1000));
    double longest = 0;
    for (auto _ : state) {
        const int lookups = std::getenv("STALL_LOOKUPS") ? std::atoi(std::getenv("STALL_LOOKUPS")) : 500;
        for (int i = 0; i < lookups; ++i)
            g_dialog->Ask("slow-" + std::to_string(i) + "-" + std::to_string(state.iterations()) + ".example");
        const StallMeter stalls;
        PumpUntilIdle();
        longest = std::max(longest, stalls.LongestMs());
    }
    state.counters["longest_stall_ms"] = longest;
    g_seconds["BM_LongestStall"] = longest / 1000.0;
}

BENCHMARK(BM_ResolverDirect)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GetToAnswers)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GetToAnswersBeyondAscii)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CacheHit)->Arg(10)->Arg(100000)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LongestStall)->Iterations(1)->Unit(benchmark::kMillisecond);

// Keeps the median of each repeated benchmark for the ratios printed at the end.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                g_seconds[run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)] =
                    run.GetAdjustedRealTime() * 1e-9;
        ConsoleReporter::ReportRuns(runs);
    }
};

void PrintRatios() {
    const double direct = g_seconds["BM_ResolverDirect"];
    const double full = g_seconds["BM_GetToAnswers"];
    const double small = g_seconds["BM_CacheHit/10"];
    const double large = g_seconds["BM_CacheHit/100000"];
    std::printf("\nGet to answers, own cost: %.1f us median; the resolver alone (localhost): %.1f us; ratio %.2f (goal: own cost <= 100 us)\n",
                full * 1e6, direct * 1e6, direct > 0 ? full / direct : 0.0);
    const double beyond = g_seconds["BM_GetToAnswersBeyondAscii"];
    std::printf("Get to answers for a name beyond ASCII: %.1f us median, %.1f us more than an ASCII name's (goal: at most 100 us more)\n",
                beyond * 1e6, (beyond - full) * 1e6);
    std::printf("Cache hit: %.2f us with 100,000 texts, %.2f us with 10; ratio %.2f (goal: <= 1.5, under 50 us)\n", large * 1e6,
                small * 1e6, small > 0 ? large / small : 0.0);
    std::printf("Longest dialog-thread stall with 500 one-second lookups in flight: %.2f ms (goal: under 10 ms)\n",
                g_seconds["BM_LongestStall"] * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    BenchDialog dialog;
    g_dialog = &dialog;
    QTimer::singleShot(0, [&] {
        MedianReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        PrintRatios();
        dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    return 0;
}
