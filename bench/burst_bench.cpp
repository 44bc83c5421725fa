// A burst of 10,000 distinct lookups through the Get button against the end-to-end DNS server, against
// the same number of names resolved one after another by direct resolver calls in the same run; once
// with a server that answers IPv6 questions and once with one that drops them, each in a process of its
// own, whose peak threads and memory are then compared. Behind the server that drops them, every
// description must settle within a minute of its answer lines, with no more threads than the pool's,
// and none may say that a question got no answer that was never asked.
// Run it inside the test network namespace: tests/e2e/netns-run --timeout 5 -- build/bench/burst_bench
#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench/in_namespace.h"
#include "bench/settling_dialog.h"
#include "bench/stall_meter.h"
#include "bench/windowless_lookup.h"
#include "tasks/questionpool.h"
#include "tests/e2e/burst_names.h"
#include "tests/support.h"

namespace {

constexpr int kLookups = 10000;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Peaks {
    int threads = 0;
    int memoryKiB = 0;
    double settleSeconds = -1;  // the longest a description took to settle after its answer lines; -1: some never did
    int poolThreads = -1;       // the most threads above the start once every answer line was in; -1: they never fell to the pool's
    int untrue = -1;            // descriptions that say an IPv6 question got no answer that was never asked
};

// Runs this program's burst in a process of its own, passing on what it prints; its peaks.
Peaks RunBurst(const char* program, const char* ipv6) {
    Peaks peaks;
    FILE* output = popen((std::string(program) + " " + ipv6).c_str(), "r");
    char line[512];
    while (output && std::fgets(line, sizeof line, output)) {
        std::printf("%s: %s", ipv6, line);
        std::sscanf(line, "peak threads %d; peak resident memory %d KiB", &peaks.threads, &peaks.memoryKiB);
        std::sscanf(line, "settled: longest %lf s after the answer lines; pool threads at most %d; untrue %d", &peaks.settleSeconds,
                    &peaks.poolThreads, &peaks.untrue);
    }
    if (output)
        pclose(output);
    return peaks;
}

// Notes when each lookup's answer lines came and when the last later part of its description did.
class TimingDialog : public SettlingDialog {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = SettlingDialog::WindowProc(message, wParam, lParam);
        if (message == WM_LOOKUP_DONE || message == WM_LATER_PART) {
            auto& [lines, last] = m_times[static_cast<std::uint32_t>(lParam)];
            last = Clock::now();
            if (message == WM_LOOKUP_DONE)
                lines = last;
        }
        return result;
    }
    // The longest time from a lookup's answer lines to the last later part of its description.
    double LongestSettleSeconds() const {
        double longest = 0;
        for (const auto& [id, times] : m_times)
            longest = std::max(longest, std::chrono::duration<double>(times.second - times.first).count());
        return longest;
    }

private:
    std::map<std::uint32_t, std::pair<Clock::time_point, Clock::time_point>> m_times;
};

const char* Met(bool met) { return met ? "met" : "NOT met"; }

int Compare(const char* program) {
    const Peaks answered = RunBurst(program, "answered");
    const Peaks dropped = RunBurst(program, "dropped");
    const int threadGoal = kLookups + int(QuestionPool::MAX_THREADS) + 16;
    const double memory = double(dropped.memoryKiB) / answered.memoryKiB;
    std::printf("IPv6 questions dropped: peak threads %d (goal: at most %d: %s); peak memory %.3f times the burst "
                "whose IPv6 questions are answered (goal: at most 1.1: %s)\n",
                dropped.threads, threadGoal, Met(dropped.threads <= threadGoal), memory, Met(memory <= 1.1));
    std::printf("IPv6 questions dropped: every description settled within %.1f s of its answer lines (goal: within 60 s: %s); "
                "then at most %d threads above the start (goal: at most %zu, the pool's: %s); %d say \"got no answer\" of a "
                "question never asked (goal: none: %s)\n",
                dropped.settleSeconds, Met(dropped.settleSeconds >= 0 && dropped.settleSeconds <= 60), dropped.poolThreads,
                QuestionPool::MAX_THREADS, Met(dropped.poolThreads >= 0 && dropped.poolThreads <= int(QuestionPool::MAX_THREADS)),
                dropped.untrue, Met(dropped.untrue == 0));
    return 0;
}

std::string NameOf(const std::filesystem::path& comm) {
    std::string name;
    std::getline(std::ifstream(comm), name);
    return name;
}

// The threads of this program's own, by their name: Qt starts and ends pooled threads of its own.
int OwnThreads() {
    const std::string name = NameOf("/proc/self/comm");
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        count += NameOf(task.path() / "comm") == name;
    return count;
}

// After the answer lines: waits for the resolver threads to end and every description to settle,
// and prints what the dropped burst's goals look at.
void Settle(TimingDialog& dialog, const UdpRelay& relay, const std::vector<std::string>& queries, int threadsBefore) {
    const auto threads = [&] { return OwnThreads() - threadsBefore; };
    int poolThreads = testing_support::PumpUntil([&] { return threads() <= int(QuestionPool::MAX_THREADS); }, 30000) ? 0 : -1;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (poolThreads >= 0 && !dialog.PumpUntilSettled(queries, 0) && std::chrono::steady_clock::now() < giveUp)
        poolThreads = std::max(poolThreads, threads());
    int untrue = 0;
    for (const std::string& query : queries)
        untrue += dialog.m_answerCache.Find(CString(query))->report.ipv6.state == Ipv6Answer::State::NoAnswer && relay.Queries(query) < 2;
    std::printf("settled: longest %.1f s after the answer lines; pool threads at most %d; untrue %d\n",
                dialog.Settled(queries) ? dialog.LongestSettleSeconds() : -1.0, poolThreads, untrue);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Compare(argv[0]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    UdpRelay relay;
    if (!InTestNamespace(relay))
        return 1;
    relay.SetDroppingIpv6(std::strcmp(argv[1], "dropped") == 0);
    TimingDialog dialog;
    QTimer::singleShot(0, [&] {
        const int threadsBefore = OwnThreads();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLookups; ++i)
            WindowlessLookup(burst::Name(i).c_str());
        const double direct = Seconds(start);

        int peakThreads = 0;
        StallMeter stalls([&] { peakThreads = std::max(peakThreads, testing_support::ProcessStatus("Threads:")); });
        std::vector<std::string> queries;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLookups; ++i) {
            queries.push_back(burst::Name(kLookups + i));
            dialog.Ask(queries.back());
            if (i % 200 == 199) {
                stalls.Restart();  // asking is the dialog's own work, not a stall
                QCoreApplication::processEvents();
            }
        }
        stalls.Restart();
        while (dialog.Pending() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double burst = Seconds(start);
        std::printf("%d lookups through Get: %.2f s; one after another by direct resolver calls: %.2f s; ratio %.2f\n",
                    kLookups, burst, direct, burst / direct);
        std::printf("peak threads %d; peak resident memory %d KiB; longest dialog-thread stall while completing %.2f ms\n",
                    peakThreads, testing_support::ProcessStatus("VmHWM:"), stalls.LongestMs());
        Settle(dialog, relay, queries, threadsBefore);
        dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    return 0;
}
