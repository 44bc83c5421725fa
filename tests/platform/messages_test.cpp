// Message tables, default processing, cross-thread sends and data exchange, recorded as they happen.
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/events.h"
#include "platform/qtwindow.h"
#include "tests/platform/test_dialogs.h"
#include "tests/support.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using testing_support::WaitUntil;

namespace {

constexpr UINT WM_TEST_ONE = WM_USER + 1;
constexpr UINT WM_TEST_TWO = WM_USER + 2;
constexpr UINT WM_TEST_UNKNOWN = WM_USER + 3;

std::vector<std::string> g_log;

class RecordingEdit : public CEdit {
protected:
    void PreSubclassWindow() override { g_log.push_back("bind " + std::to_string(m_hWnd->id)); }
    LRESULT OnSetText(WPARAM, LPARAM lParam) {
        g_log.push_back(std::string("set text ") + reinterpret_cast<const char*>(lParam));
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingEdit, CEdit)
ON_MESSAGE(WM_SETTEXT, &RecordingEdit::OnSetText)
END_MESSAGE_MAP()

class BaseDialog : public CDialog {
public:
    BaseDialog() : CDialog(IDD_TEST_FIRST) {}
    CString m_text;
    RecordingEdit m_query;
    RecordingEdit m_lines;
    std::thread::id handledOn;
    CDialog* modalWhenHandled = nullptr;

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        g_log.push_back("exchange");
        DDX_Control(exchange, IDC_TEST_EDIT, m_query);
        DDX_Control(exchange, IDC_TEST_MULTILINE, m_lines);
        DDX_Text(exchange, IDC_TEST_MULTILINE, m_text);
    }
    BOOL OnInitDialog() override {
        g_log.push_back("init");
        return CDialog::OnInitDialog();
    }
    LRESULT OnOne(WPARAM, LPARAM lParam) {
        g_log.push_back("base one " + std::to_string(lParam));
        handledOn = std::this_thread::get_id();
        modalWhenHandled = testing_support::ActiveModal();
        return 11;
    }
    void OnPress() { g_log.push_back("press"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseDialog, CDialog)
ON_MESSAGE(WM_TEST_ONE, &BaseDialog::OnOne)
ON_BN_CLICKED(IDC_TEST_BUTTON, &BaseDialog::OnPress)
END_MESSAGE_MAP()

class DerivedDialog : public BaseDialog {
protected:
    LRESULT OnTwo(WPARAM wParam, LPARAM) {
        g_log.push_back("derived two " + std::to_string(wParam));
        return 22;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDialog, BaseDialog)
ON_MESSAGE(WM_TEST_TWO, &DerivedDialog::OnTwo)
END_MESSAGE_MAP()

class MessageTest : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
};

}  // namespace

TEST_F(MessageTest, TablesDispatchChainToTheBaseAndFallBackToDefaultProcessing) {
    DerivedDialog dialog;
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.SendMessage(WM_TEST_TWO, 5, 0), 22);
        EXPECT_EQ(dialog.SendMessage(WM_TEST_ONE, 0, 7), 11);
        EXPECT_EQ(dialog.SendMessage(WM_TEST_UNKNOWN), 0);
        // WM_COMMAND entries match on control id and notification code.
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED));
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, 5));
        // No table handles WM_SETTEXT on the dialog: the window itself takes the caption.
        dialog.SetWindowText("New caption");
        EXPECT_STREQ(dialog.GetWindowText(), "New caption");
        // A message that stands for a Qt event: default processing leaves the event to Qt.
        EXPECT_TRUE(platform::DispatchEvent(dialog.m_hWnd, WM_TEST_UNKNOWN, 0, 0));
        EXPECT_FALSE(platform::DispatchEvent(dialog.m_hWnd, WM_TEST_ONE, 0, 1));
    });
    std::vector<std::string> handled;
    std::copy_if(g_log.begin(), g_log.end(), std::back_inserter(handled), [](const std::string& entry) {
        return entry.starts_with("base") || entry.starts_with("derived") || entry == "press";
    });
    EXPECT_EQ(handled, (std::vector<std::string>{"derived two 5", "base one 7", "press", "base one 1"}));
}

TEST_F(MessageTest, BindingExchangeAndInitialisationRunInOrderAndBindOnce) {
    BaseDialog dialog;
    dialog.m_text = "first\r\n";
    RunModal(dialog, [&] {
        dialog.UpdateData(FALSE);  // nothing changed: no text is written
        dialog.m_text = "second\r\n";
        dialog.UpdateData(FALSE);
        EXPECT_STREQ(dialog.m_lines.GetWindowText(), "second\r\n");
    });
    EXPECT_EQ(g_log, (std::vector<std::string>{"init", "exchange", "bind 300", "bind 304", "set text first\r\n",
                                                "exchange", "exchange", "set text second\r\n"}));
    EXPECT_EQ(dialog.m_query.m_hWnd, nullptr) << "the window's end releases bound objects";
}

TEST_F(MessageTest, SendFromAnotherThreadBlocksUntilTheWindowThreadHandlesIt) {
    BaseDialog dialog;
    RunModal(dialog, [&] {
        std::atomic<bool> returned{false};
        std::atomic<int> senderId{0};
        LRESULT result = 0;
        std::thread sender([&] {
            senderId = gettid();
            result = ::SendMessage(dialog.m_hWnd, WM_TEST_ONE, 0, 1);
            returned = true;
        });
        ASSERT_TRUE(WaitUntil([&] { return senderId && testing_support::ThreadIsWaiting(senderId); }));
        EXPECT_FALSE(returned) << "the dialog thread has run no events yet";
        EXPECT_TRUE(PumpUntil([&] { return returned.load(); }));
        sender.join();
        EXPECT_EQ(result, 11);
        EXPECT_EQ(dialog.handledOn, std::this_thread::get_id());
    });
}

TEST_F(MessageTest, SendIsHandledInsideANestedModalLoop) {
    BaseDialog dialog;
    RunModal(dialog, [&] {
        std::atomic<bool> returned{false};
        CDialog nested(IDD_TEST_SECOND);
        std::thread sender;
        RunModal(nested, [&] {
            sender = std::thread([&] {
                ::SendMessage(dialog.m_hWnd, WM_TEST_ONE, 0, 2);
                returned = true;
            });
            EXPECT_TRUE(PumpUntil([&] { return returned.load(); }));
        });
        sender.join();
        EXPECT_EQ(dialog.modalWhenHandled, &nested);
        EXPECT_FALSE(platform::WidgetOf(nested.m_hWnd)) << "the nested box is gone";
    });
}

TEST_F(MessageTest, SendToADestroyedWindowReturnsZeroWithoutWaiting) {
    BaseDialog dialog;
    HWND window = nullptr;
    std::thread queued;
    std::atomic<LRESULT> queuedResult{-1};
    std::atomic<int> senderId{0};
    RunModal(dialog, [&] {
        window = dialog.m_hWnd;
        queued = std::thread([&] {
            senderId = gettid();
            queuedResult = ::SendMessage(window, WM_TEST_ONE, 0, 3);
        });
        // The send waits in the queue; the window goes first.
        ASSERT_TRUE(WaitUntil([&] { return senderId && testing_support::ThreadIsWaiting(senderId); }));
    });
    queued.join();
    EXPECT_EQ(queuedResult, 0) << "a sender waiting when the window went is released";
    LRESULT later = -1;
    std::thread([&] { later = ::SendMessage(window, WM_TEST_ONE, 0, 4); }).join();
    EXPECT_EQ(later, 0);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "base one 3") + std::count(g_log.begin(), g_log.end(), "base one 4"), 0);
}

// Dialogs opened one after another: a handle kept from an earlier one must never name a later one.
TEST_F(MessageTest, AGoneWindowsHandleNeverNamesANewerWindow) {
    std::set<HWND> gone;
    for (int i = 0; i < 20; ++i) {
        BaseDialog dialog;
        RunModal(dialog, [&] {
            std::set<HWND> open{dialog.m_hWnd};
            for (QWidget* child : platform::WidgetOf(dialog.m_hWnd)->findChildren<QWidget*>())
                if (HWND window = platform::WindowFromWidget(child))
                    open.insert(window);
            for (HWND window : open)
                EXPECT_EQ(gone.count(window), 0u) << "dialog " << i;
            for (HWND old : gone)
                EXPECT_FALSE(IsWindow(old)) << "dialog " << i;
            gone.insert(open.begin(), open.end());
        });
    }
}

TEST_F(MessageTest, QueuedSendsAreHandledOneAtATimeWithTheThreadsOtherEventsBetween) {
    BaseDialog dialog;
    RunModal(dialog, [&] {
        std::atomic<int> returned{0};
        std::vector<std::thread> senders;
        std::vector<std::atomic<int>> senderIds(5);
        for (int i = 0; i < 5; ++i)
            senders.emplace_back([&, i] {
                senderIds[i] = gettid();
                ::SendMessage(dialog.m_hWnd, WM_TEST_ONE, 0, 10 + i);
                ++returned;
            });
        ASSERT_TRUE(WaitUntil([&] {  // all five wait together
            return std::all_of(senderIds.begin(), senderIds.end(), [](const std::atomic<int>& id) {
                return id && testing_support::ThreadIsWaiting(id);
            });
        }));
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [] { g_log.push_back("tick"); });
        ticker.start(0);
        EXPECT_TRUE(PumpUntil([&] { return returned == 5; }));
        for (std::thread& sender : senders)
            sender.join();
    });
    std::string order;  // S for a send, T for one or more ticks
    for (const std::string& entry : g_log) {
        if (entry.starts_with("base one"))
            order += 'S';
        else if (entry == "tick" && !order.ends_with('T'))
            order += 'T';
    }
    EXPECT_EQ(std::count(order.begin(), order.end(), 'S'), 5) << order;
    EXPECT_EQ(order.find("SS"), std::string::npos) << "a timer due all along fires between any two sends: " << order;
}

TEST_F(MessageTest, SortedListBoxOrdersLinesIgnoringCaseWhateverTheInsertionOrder) {
    BaseDialog dialog;
    RunModal(dialog, [&] {
        CListBox list;
        ASSERT_TRUE(list.SubclassWindow(dialog.GetDlgItem(IDC_TEST_LIST)));
        std::vector<std::string> lines{"b", "A", "a", "C"};
        std::sort(lines.begin(), lines.end());
        do {
            while (list.GetCount())
                list.DeleteString(0);
            for (const std::string& line : lines) {
                const int at = list.AddString(line.c_str());
                auto* widget = static_cast<QListWidget*>(platform::WidgetOf(list.m_hWnd));
                EXPECT_EQ(widget->item(at)->text().toStdString(), line);
            }
            auto* widget = static_cast<QListWidget*>(platform::WidgetOf(list.m_hWnd));
            // Lines equal but for case keep the order they came in: each new one goes after its equals.
            std::vector<std::string> expected = lines;
            std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
                return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
            });
            std::vector<std::string> shown;
            for (int i = 0; i < widget->count(); ++i)
                shown.push_back(widget->item(i)->text().toStdString());
            EXPECT_EQ(shown, expected);
        } while (std::next_permutation(lines.begin(), lines.end()));
        EXPECT_EQ(list.DeleteString(7), LB_ERR);
    });
}

TEST_F(MessageTest, GetWindowTextKeepsAtMostMaxMinusOneBytesAndNeverHalfACharacter) {
    BaseDialog dialog;
    RunModal(dialog, [&] {
        char buffer[50];
        dialog.m_query.SetWindowText(std::string(60, 'x').c_str());
        EXPECT_EQ(dialog.m_query.GetWindowText(buffer, 50), 49);
        EXPECT_EQ(std::string(buffer), std::string(49, 'x'));
        dialog.m_query.SetWindowText((std::string(48, 'x') + "\xC3\xA9z").c_str());  // é is two bytes
        EXPECT_EQ(dialog.m_query.GetWindowText(buffer, 50), 48);
        EXPECT_EQ(std::string(buffer), std::string(48, 'x'));
    });
}
