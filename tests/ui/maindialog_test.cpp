// The main dialog's frame on the offscreen platform.
#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/menu.h"
#include "platform/qtgdi.h"
#include "platform/winapp.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"
#include "ui/templates.h"

using testing_support::PumpUntil;
using testing_support::RunModal;
using testing_support::ScriptedResolver;

namespace {

struct ExpectedControl {
    int id;
    ControlClass kind;
    std::string text;
    short x, y, cx, cy;
    DWORD style;
};

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
}

}  // namespace

TEST(MainDialogTemplate, HoldsEveryControlWithItsTextRectangleAndStyles) {
    using enum ControlClass;
    const ExpectedControl expected[] = {
        {1000, Edit, "", 73, 90, 90, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        {1002, Button, "Get ", 167, 90, 51, 14, WS_TABSTOP | BS_DEFPUSHBUTTON},
        {1003, ListBox, "", 231, 96, 175, 60, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
        {-1, Button, "Dns Response", 225, 86, 187, 75, BS_GROUPBOX},
        {1004, Static, "", 7, 7, 409, 54, SS_BITMAP | SS_NOTIFY | SS_SUNKEN},
        {1005, Static, "Nomvara Route Explorer", 156, 63, 112, 8, WS_GROUP},
        {1006, Static, "Nomvara Route Explorer draws every hop between your computer and any host, live.", 15, 73, 336, 8, WS_GROUP},
        {1007, Edit, "", 73, 107, 145, 36, WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY},
        {-1, Static, "Local IP Addresses:", 8, 111, 64, 8, WS_GROUP},
        {-1, Static, "Dns Query:", 34, 92, 36, 8, WS_GROUP},
        {-1, Static,
         "Dns Query: Fill Ip Addres to get  DNS name or fill DNS name \r\n( for example: www.example.com ) to get appropriate IP Addresses.",
         15, 145, 199, 18, WS_GROUP},
        {1008, Button, "Download Now!", 354, 71, 57, 14, WS_TABSTOP},
    };
    const DialogTemplate& main = kMainDialogTemplate;
    EXPECT_STREQ(main.caption, "Nomvara");
    EXPECT_STREQ(main.fontFace, "MS Sans Serif");
    EXPECT_EQ(main.pointSize, 8);
    EXPECT_EQ(main.cx, 423);
    EXPECT_EQ(main.cy, 174);
    EXPECT_EQ(main.style, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT);
    ASSERT_EQ(main.controls.size(), std::size(expected));
    for (size_t i = 0; i < main.controls.size(); ++i) {
        const DialogControl& control = main.controls[i];
        const ExpectedControl& want = expected[i];
        EXPECT_EQ(control.id, want.id) << i;
        EXPECT_EQ(control.kind, want.kind) << i;
        EXPECT_EQ(std::string(control.text ? control.text : ""), want.text) << i;
        EXPECT_EQ((std::array{control.x, control.y, control.cx, control.cy}), (std::array{want.x, want.y, want.cx, want.cy})) << i;
        EXPECT_EQ(control.style, want.style) << i;
    }
    EXPECT_EQ(main.controls[4].image, IDB_BANNER);
}

TEST(MainDialogTemplate, KeepsEveryControlInsideApartAndInTabOrder) {
    const DialogTemplate& main = kMainDialogTemplate;
    const auto right = [](const DialogControl& c) { return c.x + c.cx; };
    const auto bottom = [](const DialogControl& c) { return c.y + c.cy; };
    std::vector<int> tabStops, defaultButtons;
    for (size_t i = 0; i < main.controls.size(); ++i) {
        const DialogControl& control = main.controls[i];
        EXPECT_TRUE(control.x >= 0 && control.y >= 0 && right(control) <= main.cx && bottom(control) <= main.cy) << i;
        if (control.style & WS_TABSTOP)
            tabStops.push_back(control.id);
        if (control.kind == ControlClass::Button && (control.style & 0xF) == BS_DEFPUSHBUTTON)
            defaultButtons.push_back(control.id);
        for (size_t j = i + 1; j < main.controls.size(); ++j) {
            const DialogControl& other = main.controls[j];
            const bool overlap = control.x < right(other) && other.x < right(control) && control.y < bottom(other) &&
                                 other.y < bottom(control);
            const bool groupAndItsList = (control.style & 0xF) == BS_GROUPBOX && control.kind == ControlClass::Button
                                             ? other.id == IDC_RESPONSES
                                             : control.id == IDC_RESPONSES && (other.style & 0xF) == BS_GROUPBOX;
            EXPECT_TRUE(!overlap || groupAndItsList) << i << " and " << j << " overlap";
        }
    }
    EXPECT_EQ(defaultButtons, std::vector<int>{IDC_GET});
    EXPECT_EQ(tabStops, (std::vector<int>{IDC_QUERY, IDC_GET, IDC_RESPONSES, IDC_LOCAL_ADDRESSES, IDC_DOWNLOAD}));
}

TEST(MainDialog, BuildsEveryControlScaledByTheDialogFont) {
    ScriptedResolver resolver;
    TestableDialog dialog;
    RunModal(dialog, [&] {
        const QFontMetrics metrics(platform::WidgetOf(dialog.m_hWnd)->font());
        const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const int averageWidth = (letters / 26 + 1) / 2;
        EXPECT_EQ(dialog.Widget(IDC_QUERY)->geometry(),
                  QRect(73 * averageWidth / 4, 90 * metrics.height() / 8, 90 * averageWidth / 4, 14 * metrics.height() / 8));
        EXPECT_NE(qobject_cast<QLineEdit*>(dialog.Widget(IDC_QUERY)), nullptr);
        EXPECT_TRUE(qobject_cast<QPushButton*>(dialog.Widget(IDC_GET))->isDefault());
        EXPECT_NE(qobject_cast<QListWidget*>(dialog.Widget(IDC_RESPONSES)), nullptr);
        EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(dialog.Widget(IDC_LOCAL_ADDRESSES))->isReadOnly());
        EXPECT_EQ(qobject_cast<QLabel*>(dialog.Widget(IDC_BANNER))->pixmap().deviceIndependentSize().toSize(), QSize(609, 86));
        EXPECT_EQ(qobject_cast<QPushButton*>(dialog.Widget(IDC_DOWNLOAD))->text(), "Download Now!");
        EXPECT_EQ(platform::WidgetOf(dialog.m_hWnd)->windowTitle(), "Nomvara");
        // Unlike the About box, its static texts are no description: read out at every focus change,
        // they would bury the answer.
        EXPECT_FALSE(dialog.m_hWnd->describedByStaticTexts);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(platform::WidgetOf(dialog.m_hWnd))->text(QAccessible::Description), "");
        EXPECT_EQ(platform::WidgetOf(dialog.m_hWnd)->focusWidget(), dialog.Widget(IDC_QUERY)) << "the first tab stop has the focus";
        EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_QUERYDRAGICON)), dialog.m_hIcon);
        EXPECT_NE(dialog.m_hIcon, nullptr);
    });
}

TEST(MainDialog, ListsTheLocalAddressesEachEndedByALineBreak) {
    ScriptedResolver resolver;
    resolver.AddName("scripted-host", {"192.0.2.10", "192.0.2.11"});
    TestableDialog dialog;
    RunModal(dialog, [&] {
        EXPECT_STREQ(dialog.GetWindowText(), "Nomvara");
        CEdit box;
        box.m_hWnd = dialog.GetDlgItem(IDC_LOCAL_ADDRESSES);
        EXPECT_STREQ(box.GetWindowText(), "192.0.2.10\r\n192.0.2.11\r\n");
        // Every completion and every answer from memory writes the list into the box again.
        box.SetWindowText("typed over");
        dialog.Ask("unknown.example");
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
        EXPECT_STREQ(box.GetWindowText(), "192.0.2.10\r\n192.0.2.11\r\n") << "after a completion";
        box.SetWindowText("typed over");
        dialog.Ask("unknown.example");
        EXPECT_STREQ(box.GetWindowText(), "192.0.2.10\r\n192.0.2.11\r\n") << "after an answer from memory";
        box.m_hWnd = nullptr;
    });
}

TEST(MainDialog, AHostThatDoesNotResolveLeavesTheAddressBoxEmpty) {
    ScriptedResolver resolver;  // knows no "scripted-host"
    TestableDialog dialog;
    RunModal(dialog, [&] {
        auto* box = qobject_cast<QPlainTextEdit*>(dialog.Widget(IDC_LOCAL_ADDRESSES));
        EXPECT_TRUE(box->toPlainText().isEmpty());
    });
}

TEST(Dialogs, EachWayOfClosingEndsItsDialogAndTheMainDialogGoesOnAfterTheAboutBox) {
    enum class Way { Enter, Escape, CloseBox, SystemMenuClose };
    const struct {
        bool aboutBox;
        Way way;
    } rows[] = {{true, Way::Enter},  {true, Way::Escape},   {true, Way::CloseBox},        {true, Way::SystemMenuClose},
                {false, Way::Escape}, {false, Way::CloseBox}, {false, Way::SystemMenuClose}};
    ScriptedResolver resolver;
    for (const auto& row : rows) {
        const std::string name = std::string(row.aboutBox ? "About box, way " : "main dialog, way ") + std::to_string(int(row.way));
        // Only a dialog that the way leaves open is still there when this fires; it is ended so that
        // the test can report it.
        bool stuck = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            stuck = true;
            testing_support::ActiveModal()->EndDialog(IDOK);
        });
        const auto close = [&] {
            CDialog* target = testing_support::ActiveModal();
            QWidget* window = platform::WidgetOf(target->m_hWnd);
            QWidget* focus = window->focusWidget() ? window->focusWidget() : window;
            switch (row.way) {
                case Way::Enter: Press(focus, Qt::Key_Return); break;
                case Way::Escape: Press(focus, Qt::Key_Escape); break;
                case Way::CloseBox: window->close(); break;
                case Way::SystemMenuClose: target->SendMessage(WM_SYSCOMMAND, SC_CLOSE); break;
            }
            guard.start(30000);
        };
        TestableDialog dialog;
        if (row.aboutBox) {
            RunModal(dialog, [&] {
                QTimer::singleShot(0, close);  // once the box runs
                dialog.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);  // returns when the box has ended
                EXPECT_EQ(testing_support::ActiveModal(), &dialog) << name;
                EXPECT_TRUE(platform::WidgetOf(dialog.m_hWnd)->isEnabled()) << name;
            });
        } else {
            QTimer::singleShot(0, close);
            EXPECT_EQ(dialog.DoModal(), IDCANCEL) << name;
        }
        guard.stop();
        EXPECT_FALSE(stuck) << name;
    }
}

TEST(MainDialog, EnterInTheQueryBoxPressesGet) {
    ScriptedResolver resolver;
    resolver.AddName("one.example", {"192.0.2.1"});
    TestableDialog dialog;
    RunModal(dialog, [&] {
        dialog.m_queryEdit.SetWindowText("one.example");
        Press(dialog.Widget(IDC_QUERY), Qt::Key_Return);
        EXPECT_EQ(dialog.Lines(), std::vector<std::string>{"Wait for answer..."});
        EXPECT_TRUE(PumpUntil([&] { return dialog.Lines() == std::vector<std::string>{"192.0.2.1"}; }));
    });
}

TEST(MainDialog, TheSystemMenuEndsWithASeparatorAndTheAboutItem) {
    ScriptedResolver resolver;
    TestableDialog dialog;
    RunModal(dialog, [&] {
        const QList<QAction*> items = dialog.GetSystemMenu(FALSE)->Popup()->actions();
        ASSERT_GE(items.size(), 3);
        EXPECT_TRUE(items[items.size() - 2]->isSeparator());
        EXPECT_EQ(items.back()->text(), "&About Nomvara...");
        UINT opened = 0;
        QTimer::singleShot(0, [&] {
            opened = platform::InnermostModalRun()->templateId;
            testing_support::ActiveModal()->EndDialog(IDOK);
        });
        items.back()->trigger();
        EXPECT_EQ(opened, IDD_ABOUTBOX) << "the item sends IDM_ABOUTBOX";
    });
}

TEST(MainDialog, CommandsFrom0x10To0x1FOpenTheAboutBoxAndStandardOnesWork) {
    ScriptedResolver resolver;
    TestableDialog dialog;
    RunModal(dialog, [&] {
        for (UINT command = 0x0010; command <= 0x001F; ++command) {
            UINT opened = 0;
            QTimer::singleShot(0, [&] {
                CDialog* about = testing_support::ActiveModal();
                opened = platform::InnermostModalRun()->templateId;
                EXPECT_EQ(QApplication::activeModalWidget(), platform::WidgetOf(about->m_hWnd)) << "the owner takes no input";
                EXPECT_EQ(platform::WidgetOf(about->m_hWnd)->parentWidget(), platform::WidgetOf(dialog.m_hWnd));
                about->EndDialog(IDOK);
            });
            dialog.SendMessage(WM_SYSCOMMAND, command);
            EXPECT_EQ(opened, IDD_ABOUTBOX) << command;
        }
        EXPECT_TRUE(platform::WidgetOf(dialog.m_hWnd)->isEnabled());
        dialog.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
        EXPECT_TRUE(platform::WidgetOf(dialog.m_hWnd)->isMinimized());
        dialog.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
        EXPECT_FALSE(platform::WidgetOf(dialog.m_hWnd)->isMinimized());
    });
}

TEST(MainDialog, F1AsksForHelpWithTheFocusedDialogsContext) {
    ScriptedResolver resolver;
    testing_support::RecordingHelp help;
    AfxGetApp()->SetModulePath("/opt/somewhere/bin/nomvara");
    TestableDialog dialog;
    RunModal(dialog, [&] {
        Press(dialog.Widget(IDC_QUERY), Qt::Key_F1);
        Press(dialog.Widget(IDC_QUERY), Qt::Key_F1, Qt::ShiftModifier);
        QTimer::singleShot(0, [&] {
            CDialog* about = testing_support::ActiveModal();
            Press(platform::WidgetOf(about->m_hWnd), Qt::Key_F1);
            about->EndDialog(IDOK);
        });
        dialog.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
    });
    ASSERT_EQ(help.requests.size(), 2u);
    EXPECT_EQ(help.requests[0].second, 0x20066u);
    EXPECT_EQ(help.requests[1].second, 0x20064u);
    EXPECT_TRUE(help.requests[0].first.ends_with("/nomvara.html")) << help.requests[0].first;
}

TEST(MinimisedIcon, IsCentredWithOddPixelsToTheRightAndBelow) {
    EXPECT_EQ(IconOrigin(33, 32, 32, 32).x, 1);
    EXPECT_EQ(IconOrigin(32, 32, 32, 32).x, 0);
    EXPECT_EQ(IconOrigin(100, 41, 32, 32).y, 5);
    EXPECT_EQ(IconOrigin(20, 20, 32, 32).x, -5) << "signed division drops the fraction toward zero";
}
