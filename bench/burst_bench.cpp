// A burst of 10,000 distinct lookups through the Get button against the end-to-end DNS server, against
// the same number of names resolved one after another by direct resolver calls in the same run; once
// with a server that answers IPv6 questions and once with one that drops them, each in a process of its
// own, whose peak threads and memory are then compared.
// Run it inside the test network namespace: tests/e2e/netns-run --timeout 5 -- build/bench/burst_bench
#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/stall_meter.h"
#include "tasks/questionpool.h"
#include "tests/e2e/burst_names.h"
#include "tests/e2e/relay.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

namespace {

constexpr int kLookups = 10000;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Peaks {
    int threads = 0;
    int memoryKiB = 0;
};

// Runs this program's burst in a process of its own, passing on what it prints; its peaks.
Peaks RunBurst(const char* program, const char* ipv6) {
    Peaks peaks;
    FILE* output = popen((std::string(program) + " " + ipv6).c_str(), "r");
    char line[512];
    while (output && std::fgets(line, sizeof line, output)) {
        std::printf("%s: %s", ipv6, line);
        std::sscanf(line, "peak threads %d; peak resident memory %d KiB", &peaks.threads, &peaks.memoryKiB);
    }
    if (output)
        pclose(output);
    return peaks;
}

int Compare(const char* program) {
    const Peaks answered = RunBurst(program, "answered");
    const Peaks dropped = RunBurst(program, "dropped");
    const int threadGoal = kLookups + int(QuestionPool::MAX_THREADS) + 16;
    const double memory = double(dropped.memoryKiB) / answered.memoryKiB;
    std::printf("IPv6 questions dropped: peak threads %d (goal: at most %d: %s); peak memory %.3f times the burst "
                "whose IPv6 questions are answered (goal: at most 1.1: %s)\n",
                dropped.threads, threadGoal, dropped.threads <= threadGoal ? "met" : "NOT met", memory,
                memory <= 1.1 ? "met" : "NOT met");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Compare(argv[0]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    UdpRelay relay;
    if (!relay.Listening()) {
        std::fputs("run inside tests/e2e/netns-run\n", stderr);
        return 1;
    }
    relay.SetDroppingIpv6(std::strcmp(argv[1], "dropped") == 0);
    TestableDialog dialog;
    QTimer::singleShot(0, [&] {
        auto start = std::chrono::steady_clock::now();
        std::vector<CString> answers;
        std::shared_ptr<Ipv6Question> late;
        for (int i = 0; i < kLookups; ++i)
            ResolveWithIpv6(burst::Name(i).c_str(), answers, late);
        const double direct = Seconds(start);

        int peakThreads = 0;
        StallMeter stalls([&] { peakThreads = std::max(peakThreads, testing_support::ProcessStatus("Threads:")); });
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLookups; ++i) {
            dialog.Ask(burst::Name(kLookups + i));
            if (i % 200 == 199) {
                stalls.Restart();  // asking is the dialog's own work, not a stall
                QCoreApplication::processEvents();
            }
        }
        stalls.Restart();
        while (dialog.m_pendingRequests.Size() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double burst = Seconds(start);
        std::printf("%d lookups through Get: %.2f s; one after another by direct resolver calls: %.2f s; ratio %.2f\n",
                    kLookups, burst, direct, burst / direct);
        std::printf("peak threads %d; peak resident memory %d KiB; longest dialog-thread stall while completing %.2f ms\n",
                    peakThreads, testing_support::ProcessStatus("VmHWM:"), stalls.LongestMs());
        dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    return 0;
}
