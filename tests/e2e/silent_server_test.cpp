// A DNS server that never answers: the wait line stays, and everything else goes on working.
#include <QTimer>

#include <gtest/gtest.h>

#include "tests/e2e/e2e.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using testing_support::PumpUntil;
using testing_support::RunModal;
using Lines = std::vector<std::string>;

TEST(SilentServer, TheWaitLineStaysWhileOtherLookupsStillComplete) {
    TestableDialog dialog;
    RunModal(dialog, [&] {
        dialog.Ask("three.nomvara.test");
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
        const Lines three = dialog.Lines();

        Relay().SetDropping(true);
        dialog.Ask("silent.nomvara.test");
        bool ticked = false;
        QTimer::singleShot(10, [&] { ticked = true; });
        EXPECT_TRUE(PumpUntil([&] { return ticked; })) << "the window keeps running its events";
        EXPECT_EQ(dialog.Lines(), Lines{"Wait for answer..."}) << "while the lookup waits for the server";

        dialog.Ask("hosts-only.nomvara.test");  // answered from the hosts file, no server needed
        ASSERT_TRUE(PumpUntil([&] { return dialog.Lines() == Lines{"198.51.100.50"}; }));
        dialog.Ask("three.nomvara.test");  // answered from the cache
        EXPECT_EQ(dialog.Lines(), three);
        EXPECT_EQ(dialog.Pending(), 1u) << "the silent lookup is still in flight";
    });  // and the dialog closes with it in flight; the resolver touches nothing afterwards
    Relay().SetDropping(false);
}
