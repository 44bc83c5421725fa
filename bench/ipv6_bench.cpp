// What a lookup's later questions cost (a name's IPv6 addresses beside its IPv4 ones, whether a
// registered name leads back), against the real DNS server of the end-to-end tests, each as a ratio
// against a baseline measured in the same run:
//  - a whole lookup (IPv4 lines and IPv6 detail) against the IPv4 question alone, with a server on the
//    local network (2 ms away); on loopback, where the test server answers the second question only
//    after the first, the same figures are printed for information;
//  - the time to the IPv4 lines when the IPv6 answer comes 100 ms after the IPv4 one (a resolver that has
//    only the IPv4 answer cached), against both answered at once, with the server 20 ms away;
//  - behind a server that drops IPv6 questions, the time until the IPv6 part of a lookup made after 30
//    others is told, against one such question's own time (the resolver's timeout);
//  - an address's answer line through the Get button while its registered name is then checked, against
//    the same with a dialog that lets no check be asked, with the server 2 ms away.
// Run it inside the test network namespace: tests/e2e/netns-run --timeout 5 -- build/bench/ipv6_bench
#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "bench/in_namespace.h"
#include "bench/windowless_lookup.h"
#include "platform/winsock.h"
#include "tasks/questionpool.h"
#include "tests/e2e/burst_names.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

namespace {

using namespace std::chrono_literals;

// The median of `rounds` runs of `body`, in milliseconds.
double MedianMs(int rounds, const std::function<void()>& body) {
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        body();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}

void Report(const char* what, double measured, const char* against, double baseline, double goal) {
    const double ratio = measured / baseline;
    std::printf("%s: %.3f ms; %s: %.3f ms; ratio %.3f (goal: at most %.2f: %s)\n", what, measured, against, baseline, ratio,
                goal, ratio <= goal ? "met" : "NOT met");
}

// The main dialog; while `withoutCheck` holds, it answers each lookup's completion as if it had none,
// so that the lookup asks nothing more.
class CheckingDialog : public TestableDialog {
public:
    bool withoutCheck = false;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = TestableDialog::WindowProc(message, wParam, lParam);
        return message == WM_LOOKUP_DONE && withoutCheck ? 0 : result;
    }
};

double ReverseLineMs(CheckingDialog& dialog, bool withoutCheck, int& next) {
    dialog.withoutCheck = withoutCheck;
    return MedianMs(15, [&] {
        dialog.Ask(burst::Address(next++));  // its name, 10-77-X-Y.burst.nomvara.test, leads back
        testing_support::PumpUntil([&] { return dialog.Pending() == 0; });
    });
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    UdpRelay relay;
    if (!InTestNamespace(relay))
        return 1;
    const char* name = "dual.nomvara.test";  // one IPv4 and one IPv6 address
    for (const auto delay : {0ms, 2ms}) {
        relay.SetDelay(delay);
        // Interleaved, so that both see the same machine.
        std::vector<double> whole, ipv4;
        for (int round = 0; round < 9; ++round) {
            whole.push_back(MedianMs(delay.count() ? 10 : 50, [&] { WindowlessLookup(name); }));
            ipv4.push_back(MedianMs(delay.count() ? 10 : 50, [&] { winsock::gethostbyname(name); }));
        }
        std::sort(whole.begin(), whole.end());
        std::sort(ipv4.begin(), ipv4.end());
        if (delay.count())
            Report("A lookup with its IPv6 detail, server 2 ms away", whole[4], "the IPv4 question alone", ipv4[4], 1.2);
        else
            std::printf("On loopback: a lookup with its IPv6 detail %.3f ms; the IPv4 question alone %.3f ms\n", whole[4], ipv4[4]);
    }

    relay.SetDelay(20ms);
    std::vector<double> late, together;
    for (int round = 0; round < 9; ++round) {
        relay.SetIpv6Delay(100ms);
        late.push_back(MedianMs(9, [&] { WindowlessLookup(name); }));
        relay.SetIpv6Delay(0ms);
        together.push_back(MedianMs(9, [&] { WindowlessLookup(name); }));
    }
    std::sort(late.begin(), late.end());
    std::sort(together.begin(), together.end());
    Report("IPv4 lines with the IPv6 answer 100 ms late", late[4], "with both answered at once", together[4], 1.02);

    relay.SetDelay(0ms);
    relay.SetDroppingIpv6(true);
    const auto ask = [](const std::string& query, QuestionPool::Told told) {
        QuestionPool::Shared().Ask({AF_INET6, query}, winsock::CurrentResolver(), std::move(told), [] { return true; });
    };
    const auto toldAfter = [&](const char* query) {
        const auto start = std::chrono::steady_clock::now();
        std::promise<void> told;
        ask(query, [&](const QuestionAnswer&) { told.set_value(); });
        told.get_future().wait();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    const double alone = toldAfter("n0.nomvara.test");
    for (int i = 0; i < 30; ++i)
        ask("n" + std::to_string(1 + i % 15) + "-" + std::to_string(i) + ".burst.nomvara.test", [](const QuestionAnswer&) {});
    Report("The IPv6 part of a lookup made after 30 others, IPv6 questions dropped", toldAfter("dual.nomvara.test"),
           "one such question alone", alone, 2.2);

    relay.SetDroppingIpv6(false);
    relay.SetDelay(2ms);
    CheckingDialog dialog;
    QTimer::singleShot(0, [&] {
        std::vector<double> checked, unchecked;
        for (int round = 0, next = 0; round < 9; ++round) {
            checked.push_back(ReverseLineMs(dialog, false, next));
            unchecked.push_back(ReverseLineMs(dialog, true, next));
        }
        std::sort(checked.begin(), checked.end());
        std::sort(unchecked.begin(), unchecked.end());
        Report("An address's answer line, its registered name then checked", checked[4], "with no check", unchecked[4], 1.02);
        dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    return 0;
}
