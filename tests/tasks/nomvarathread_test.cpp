// The resolver thread: one report per lookup, the start-up message, and a safe end when the dialog goes.
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <thread>

#include "lookup/lookuptables.h"
#include "platform/dialog.h"
#include "tasks/nomvarathread.h"
#include "tasks/questionpool.h"
#include "tests/support.h"
#include "ui/resourceids.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using testing_support::ScriptedResolver;

namespace {

std::atomic<int> g_threadsDeleted{0};

class CountedThread : public CNomvaraThread {
public:
    using CNomvaraThread::CNomvaraThread;
    ~CountedThread() override { ++g_threadsDeleted; }
};

// A window that records every WM_LOOKUP_DONE with the answers it found in the record.
class ReportWindow : public CDialog {
public:
    ReportWindow() : CDialog(IDD_ABOUTBOX) {}
    struct Report {
        WPARAM code;
        LPARAM id;
        std::vector<CString> answers;
    };
    std::vector<Report> reports;
    PendingRequests pending;

    std::shared_ptr<StoredLookup> Store(std::uint32_t id, const char* query) {
        LookupRequest request;
        request.requestId = id;
        request.owner = this;
        request.query = query;
        pending.InsertIfAbsent(request);
        return pending.Find(id);
    }
    BOOL Launch(std::shared_ptr<StoredLookup> record) {
        auto* thread = new CountedThread(std::move(record));
        if (!thread->CreateThread()) {
            delete thread;
            return FALSE;
        }
        return thread->StartOnce();
    }

protected:
    LRESULT OnDone(WPARAM wParam, LPARAM lParam) {
        const auto record = pending.Find(static_cast<std::uint32_t>(lParam));
        reports.push_back({wParam, lParam, record ? record->request.answers : std::vector<CString>{}});
        pending.Erase(static_cast<std::uint32_t>(lParam));
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReportWindow, CDialog)
ON_MESSAGE(WM_LOOKUP_DONE, &ReportWindow::OnDone)
END_MESSAGE_MAP()

}  // namespace

TEST(ResolverThread, EveryLookupReportsOnceWithCodeSixAndItsOwnId) {
    ScriptedResolver resolver;
    resolver.AddName("one.example", {"192.0.2.1"});
    g_threadsDeleted = 0;
    ReportWindow window;
    RunModal(window, [&] {
        ASSERT_TRUE(window.Launch(window.Store(41, "one.example")));
        ASSERT_TRUE(window.Launch(window.Store(42, "unknown.example")));
        ASSERT_TRUE(PumpUntil([&] { return g_threadsDeleted == 2; }));
    });
    ASSERT_EQ(window.reports.size(), 2u);
    std::set<LPARAM> ids;
    for (const auto& report : window.reports) {
        EXPECT_EQ(report.code, 6u);
        ids.insert(report.id);
        EXPECT_EQ(report.answers, report.id == 41 ? std::vector<CString>{"192.0.2.1"} : std::vector<CString>{"Can`t Resolve!"});
    }
    EXPECT_EQ(ids, (std::set<LPARAM>{41, 42})) << "either order, each its own id";
    EXPECT_FALSE(window.pending.Contains(41) || window.pending.Contains(42));
}

TEST(ResolverThread, AFailingNameServiceStartShowsTheMessageOncePerThread) {
    ScriptedResolver resolver;
    testing_support::RecordingMessageBox messages;
    resolver.SetStartupError(winsock::WSASYSNOTREADY);
    g_threadsDeleted = 0;
    ReportWindow window;
    RunModal(window, [&] {
        ASSERT_TRUE(window.Launch(window.Store(1, "a.example")));
        ASSERT_TRUE(window.Launch(window.Store(2, "b.example")));
        ASSERT_TRUE(PumpUntil([&] { return g_threadsDeleted == 2; }));
    });
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "WSAStartup failed with error 10091\n");
    EXPECT_EQ(messages.shown[0].type & 0xF, MB_OKCANCEL);
    EXPECT_EQ(window.reports.size(), 2u) << "the lookups still complete";
}

// The record stays with its table, so that a send after the window has gone would be seen.
TEST(ResolverThread, AResolverFinishingAfterItsWindowHasGoneSendsNothing) {
    ScriptedResolver resolver;
    resolver.AddName("slow.example", {"192.0.2.9"});
    resolver.Hold();
    g_threadsDeleted = 0;
    ReportWindow window;
    RunModal(window, [&] {
        ASSERT_TRUE(window.Launch(window.Store(7, "slow.example")));
        ASSERT_TRUE(PumpUntil([&] { return resolver.Waiting() == 1; }));
    });
    resolver.Release();
    ASSERT_TRUE(PumpUntil([&] { return g_threadsDeleted == 1; }));  // runs events: a send would be handled
    EXPECT_TRUE(window.reports.empty());
    EXPECT_TRUE(window.pending.Contains(7));
}

// Put in use after the lookup was made, another resolver gets none of its questions.
TEST(ResolverThread, EveryQuestionOfALookupGoesToTheResolverInUseWhenItWasMade) {
    ScriptedResolver made;
    made.AddName("dual.example", {"192.0.2.1"}, 0, {"2001:db8::1"});
    ReportWindow window;
    RunModal(window, [&] {
        const std::shared_ptr<StoredLookup> record = window.Store(1, "dual.example");
        const auto lookup = std::make_shared<Lookup>(record->request);
        ScriptedResolver later;
        later.AnswerEverything({0, "other", {testing_support::Address("192.0.2.9")}, {"2001:db8::9"}});
        lookup->Run(*record);  // on the window's own thread, whose sends are handled at once
        ASSERT_EQ(window.reports.size(), 1u);
        EXPECT_EQ(window.reports[0].answers, std::vector<CString>{"192.0.2.1"});
        EXPECT_TRUE(testing_support::WaitUntil([&] { return made.Ipv6Asked().size() == 1; }));
        EXPECT_EQ(later.Calls() + int(later.Ipv6Asked().size()), 0);
    });
}

// Neither for a name the server does not know, nor once its window has gone, is its IPv6 question asked.
TEST(ResolverThread, ALaterQuestionNoLongerNeededIsNeverAsked) {
    ScriptedResolver resolver;
    resolver.AddName("known.example", {"192.0.2.1"}, 0, {"2001:db8::1"});
    QuestionPool pool(1, 2s, 0ms);  // one thread, the oldest question first
    std::atomic<int> told{0};
    // Keeps the pool's one thread busy until `then` has been asked behind the lookup's question.
    const auto behindBusy = [&](const std::function<void()>& lookUp) {
        const auto ask = [&](const char* name) {
            pool.Ask({AF_INET6, name}, winsock::CurrentResolver(), [&](const QuestionAnswer&) { ++told; }, [] { return true; });
        };
        resolver.HoldIpv6();
        ask("busy.example");
        ASSERT_TRUE(testing_support::WaitUntil([&] { return resolver.Ipv6Waiting() == 1; }));
        lookUp();
        ask("then.example");
        const int before = told;
        resolver.ReleaseIpv6();
        ASSERT_TRUE(PumpUntil([&] { return told == before + 2; }));  // a later part sent to the window is handled
    };
    ReportWindow window;
    std::shared_ptr<StoredLookup> known;
    std::shared_ptr<Lookup> gone;
    RunModal(window, [&] {
        behindBusy([&] {
            const std::shared_ptr<StoredLookup> unknown = window.Store(1, "unknown.example");
            std::make_shared<Lookup>(unknown->request, pool)->Run(*unknown);
        });
        known = window.Store(2, "known.example");
        gone = std::make_shared<Lookup>(known->request, pool);
    });
    behindBusy([&] { gone->Run(*known); });
    EXPECT_EQ(resolver.Ipv6Asked(), (std::vector<std::string>{"busy.example", "then.example", "busy.example", "then.example"}));
}
