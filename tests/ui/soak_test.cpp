// Get pressed 200,000 times over a fixed set of 1,000 texts: once the cache is full, memory stays flat.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using testing_support::PumpUntil;
using testing_support::RunModal;

namespace {

// The sanitizers keep freed memory in quarantine on purpose, so resident memory says nothing there.
constexpr bool kPlainAllocator =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    false;
#else
    true;
#endif

}  // namespace

TEST(Soak, ResidentMemoryStaysFlatOnceTheCacheIsFull) {
    testing_support::ScriptedResolver resolver;
    g_lastRequestId = 0;
    for (int i = 0; i < 1000; ++i)
        resolver.AddName("soak" + std::to_string(i) + ".example", {"192.0.2." + std::to_string(i % 250)});
    TestableDialog dialog;
    RunModal(dialog, [&] {
        for (int i = 0; i < 1000; ++i) {
            dialog.Ask("soak" + std::to_string(i) + ".example");
            if (i % 100 == 99) {
                ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
            }
        }
        const long before = testing_support::ProcessStatus("VmRSS:");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        int presses = 1000;
        for (; presses < 200000 && std::chrono::steady_clock::now() < deadline; ++presses) {
            dialog.Ask("soak" + std::to_string(presses % 1000) + ".example");
            if (presses % 5000 == 0)
                QCoreApplication::processEvents();
        }
        const long growth = testing_support::ProcessStatus("VmRSS:") - before;
        std::printf("%d presses; resident memory grew by %ld KiB after the cache was full\n", presses, growth);
        EXPECT_EQ(g_lastRequestId, 1000u) << "every later press was a cache hit";
        if (kPlainAllocator) {
            EXPECT_LT(growth, 1024);
        }
    });
}
