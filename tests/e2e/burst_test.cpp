// A burst of distinct lookups against the real DNS server: every one completes, once, with its own answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/e2e/burst_names.h"
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

// Every fourth lookup asks for the name of an address, the others for the address of a name.
bool IsReverse(int i) { return i % 4 == 3; }
std::string Query(int i) { return IsReverse(i) ? burst::Address(i) : burst::Name(i); }
std::string Expected(int i) { return IsReverse(i) ? burst::Name(i) : burst::Address(i); }

// UDP datagrams this network namespace's sockets dropped for want of buffer room.
long ReceiveBufferErrors() {
    std::ifstream snmp("/proc/net/snmp");
    std::string names, values;
    while (std::getline(snmp, names) && std::getline(snmp, values)) {
        if (names.rfind("Udp:", 0) != 0)
            continue;
        std::istringstream nameWords(names), valueWords(values);
        for (std::string name, value; nameWords >> name && valueWords >> value;)
            if (name == "RcvbufErrors")
                return std::stol(value);
    }
    return -1;
}

}  // namespace

TEST(Burst, EveryLookupCompletesOnceWithItsOwnAnswer) {
    const int count = BurstSize();
    const long droppedBefore = ReceiveBufferErrors();
    g_lastRequestId = 0;
    CountingDialog dialog;
    RunModal(dialog, [&] {
        const auto start = std::chrono::steady_clock::now();
        int peakThreads = 0;
        for (int i = 0; i < count; ++i) {
            dialog.Ask(Query(i));
            if (i % 200 == 199) {
                QCoreApplication::processEvents();  // the dialog goes on handling completions meanwhile
                peakThreads = std::max(peakThreads, testing_support::ProcessStatus("Threads:"));
            }
        }
        ASSERT_TRUE(PumpUntil([&] {
            peakThreads = std::max(peakThreads, testing_support::ProcessStatus("Threads:"));
            return dialog.Pending() == 0;
        }, 600000));
        std::printf("%d lookups in %lld ms; peak %d threads; peak resident memory %d KiB\n", count,
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()),
                    peakThreads, testing_support::ProcessStatus("VmHWM:"));
        EXPECT_EQ(dialog.completed.size(), static_cast<size_t>(count));
        EXPECT_EQ(std::set<LPARAM>(dialog.completed.begin(), dialog.completed.end()).size(), static_cast<size_t>(count))
            << "each id once";
        EXPECT_EQ(*dialog.completed.begin(), 1);
        EXPECT_EQ(*dialog.completed.rbegin(), count);
        // A lookup whose query was lost on the way answers "Can`t Resolve!" after the resolver's
        // timeout; one that got another lookup's answer is a mix-up. They are counted apart.
        int unanswered = 0, wrong = 0;
        for (int i = 0; i < count; ++i) {
            const StoredLookup* cached = dialog.m_answerCache.Find(CString(Query(i)));
            if (cached && cached->request.answers == std::vector<CString>{CANT_RESOLVE})
                ++unanswered;
            else if (!cached || cached->request.answers != std::vector<CString>{CString(Expected(i))})
                ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "answers that belong to another lookup, or none";
        EXPECT_EQ(unanswered, 0) << "lookups that timed out; datagrams dropped for want of socket room: "
                                 << ReceiveBufferErrors() - droppedBefore;
    });
}
