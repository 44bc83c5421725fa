// A soak: 100,000 lookups through the Get button against the end-to-end DNS server, a thousand at a
// time: names it answers, names it does not know, and every tenth thousand while it drops IPv6
// questions. Once every description has settled and the question threads have gone idle, the
// process's threads and open descriptors are back where they started, and the memory it holds (the
// allocator's count of bytes in use) is back within a margin, the answer cache's own entries aside:
// those are measured apart, in a copy, and printed per entry. Once the window has closed, taking its
// cache along, resident memory is back within a margin too.
// Run it inside the test network namespace: tests/e2e/netns-run --timeout 5 -- build/bench/soak_bench
#include <malloc.h>

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/in_namespace.h"
#include "bench/settling_dialog.h"
#include "tests/e2e/burst_names.h"

namespace {

const int kLookups = std::getenv("SOAK_LOOKUPS") ? std::atoi(std::getenv("SOAK_LOOKUPS")) : 100000;
constexpr int kBatch = 1000;
constexpr long kHeldMarginKiB = 2 * 1024;
constexpr long kResidentMarginKiB = 32 * 1024;

struct Usage {
    int threads;
    long descriptors;
    long heldKiB;      // allocated and not freed
    long residentKiB;  // once the allocator has given back to the system what it can of the rest
};

Usage Now() {
    malloc_trim(0);
    long descriptors = 0;
    for ([[maybe_unused]] const auto& each : std::filesystem::directory_iterator("/proc/self/fd"))
        ++descriptors;
    const struct mallinfo2 heap = mallinfo2();
    return {testing_support::ProcessStatus("Threads:"), descriptors, long((heap.uordblks + heap.hblkhd) / 1024),
            testing_support::ProcessStatus("VmRSS:")};
}

const char* Met(bool goal) { return goal ? "met" : "NOT met"; }

// Six in ten are names the server answers, three in ten names it does not know.
std::string Query(int i) {
    return i % 10 < 6 ? burst::Name(i / 10 * 6 + i % 10) : "soak-missing-" + std::to_string(i) + ".nomvara.test";
}

// Asks each query a batch at a time, waiting for each batch's answer lines; every tenth batch while the
// server drops IPv6 questions.
void Ask(SettlingDialog& dialog, UdpRelay& relay, const std::vector<std::string>& queries) {
    for (std::size_t first = 0; first < queries.size(); first += kBatch) {
        relay.SetDroppingIpv6(first / kBatch % 10 == 9);
        for (std::size_t i = first; i < first + kBatch && i < queries.size(); ++i)
            dialog.Ask(queries[i]);
        testing_support::PumpUntil([&] { return dialog.Pending() == 0; }, 120000);
    }
    relay.SetDroppingIpv6(false);
}

// Every description settled, and the question threads gone idle and ended.
bool Drained(SettlingDialog& dialog, const std::vector<std::string>& queries, int threads) {
    return dialog.PumpUntilSettled(queries, 120) &&
           testing_support::PumpUntil([&] { return testing_support::ProcessStatus("Threads:") <= threads; }, 30000);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    UdpRelay relay;
    if (!InTestNamespace(relay))
        return 1;
    auto dialog = std::make_unique<SettlingDialog>();
    Usage before{}, drained{};
    QTimer::singleShot(0, [&] {
        // A first round loads what is loaded on first use, and is no part of what is measured.
        std::vector<std::string> warmUp, queries;
        for (int i = 0; i < 2 * kBatch; ++i)
            warmUp.push_back("soak-warm-up-" + std::to_string(i) + (i % 2 ? ".nomvara.test" : ".burst.nomvara.test"));
        for (int i = 0; i < kLookups; ++i)
            queries.push_back(Query(i));
        const int threadsAtStart = testing_support::ProcessStatus("Threads:");
        Ask(*dialog, relay, warmUp);
        Drained(*dialog, warmUp, threadsAtStart);
        relay.ForgetQueries();  // the relay that plays the server counts every name, in this process
        before = Now();
        const auto start = std::chrono::steady_clock::now();
        Ask(*dialog, relay, queries);
        const double asked = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const bool settled = Drained(*dialog, queries, before.threads);
        relay.ForgetQueries();
        drained = Now();

        AnswerCache copy;
        for (const std::string& query : queries) {
            const StoredLookup& cached = *dialog->m_answerCache.Find(CString(query));
            copy.InsertIfAbsent(cached.request, cached.report);
        }
        const long cacheKiB = Now().heldKiB - drained.heldKiB;
        const long restKiB = drained.heldKiB - before.heldKiB - cacheKiB;
        std::printf("%d lookups through Get in %.1f s; every description settled and the question threads ended: %s\n", kLookups,
                    asked, settled ? "yes" : "NO");
        std::printf("threads %d, then %d (goal: back where they started: %s); open descriptors %ld, then %ld (goal: the same: %s)\n",
                    before.threads, drained.threads, Met(drained.threads <= before.threads), before.descriptors, drained.descriptors,
                    Met(drained.descriptors <= before.descriptors));
        std::printf("memory held %ld KiB, then %ld KiB; the answer cache's %d entries %ld KiB, %.0f bytes each; the rest %+ld KiB "
                    "(goal: at most %ld KiB: %s)\n",
                    before.heldKiB, drained.heldKiB, kLookups, cacheKiB, cacheKiB * 1024.0 / kLookups, restKiB, kHeldMarginKiB,
                    Met(settled && restKiB <= kHeldMarginKiB));
        dialog->EndDialog(IDCANCEL);
    });
    dialog->DoModal();
    dialog.reset();
    const Usage closed = Now();
    std::printf("resident memory %ld KiB, then %ld KiB with the work drained, %ld KiB once the window closed (goal: at most %ld KiB "
                "above the start: %s)\n",
                before.residentKiB, drained.residentKiB, closed.residentKiB, kResidentMarginKiB,
                Met(closed.residentKiB - before.residentKiB <= kResidentMarginKiB));
    return 0;
}
