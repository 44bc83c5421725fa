// A burst of distinct lookups against the real DNS server: every one completes, once, correctly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "tests/e2e/e2e.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using testing_support::PumpUntil;
using testing_support::RunModal;

namespace {

// Counts every completion the dialog handles, then handles it as usual.
class CountingDialog : public TestableDialog {
public:
    std::multiset<LPARAM> completed;

protected:
    LRESULT OnDoneCounted(WPARAM wParam, LPARAM lParam) {
        completed.insert(lParam);
        return OnLookupDone(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingDialog, TestableDialog)
ON_MESSAGE(WM_LOOKUP_DONE, &CountingDialog::OnDoneCounted)
END_MESSAGE_MAP()

// 10,000 by default; the sanitizer builds, many times slower per thread, set fewer.
int BurstSize() {
    const char* size = std::getenv("NOMVARA_BURST");
    return size ? std::atoi(size) : 10000;
}

}  // namespace

TEST(Burst, EveryLookupCompletesOnceWithTheRightAnswer) {
    const int count = BurstSize();
    g_lastRequestId = 0;
    CountingDialog dialog;
    RunModal(dialog, [&] {
        const auto start = std::chrono::steady_clock::now();
        int peakThreads = 0;
        for (int i = 0; i < count; ++i) {
            dialog.Ask("b" + std::to_string(i) + ".burst.nomvara.test");
            if (i % 200 == 199) {
                QCoreApplication::processEvents();  // the dialog goes on handling completions meanwhile
                peakThreads = std::max(peakThreads, testing_support::ProcessStatus("Threads:"));
            }
        }
        ASSERT_TRUE(PumpUntil([&] {
            peakThreads = std::max(peakThreads, testing_support::ProcessStatus("Threads:"));
            return dialog.m_pendingRequests.Size() == 0;
        }, 600000));
        std::printf("%d lookups in %lld ms; peak %d threads; peak resident memory %d KiB\n", count,
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()),
                    peakThreads, testing_support::ProcessStatus("VmHWM:"));
        EXPECT_EQ(dialog.completed.size(), static_cast<size_t>(count));
        EXPECT_EQ(std::set<LPARAM>(dialog.completed.begin(), dialog.completed.end()).size(), static_cast<size_t>(count))
            << "each id once";
        EXPECT_EQ(*dialog.completed.begin(), 1);
        EXPECT_EQ(*dialog.completed.rbegin(), count);
        EXPECT_EQ(dialog.m_answerCache.Size(), static_cast<size_t>(count));
        int wrong = 0;
        for (int i = 0; i < count; ++i) {
            const LookupRequest* cached = dialog.m_answerCache.Find(CString("b" + std::to_string(i) + ".burst.nomvara.test"));
            wrong += !cached || cached->answers != std::vector<CString>{"203.0.113.5"};
        }
        EXPECT_EQ(wrong, 0);
    });
}
