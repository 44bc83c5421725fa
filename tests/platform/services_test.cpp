// The real help service and the system menu's ways in.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/menu.h"
#include "platform/qtwindow.h"
#include "platform/services.h"
#include "platform/winapp.h"
#include "tests/platform/test_dialogs.h"
#include "tests/support.h"

TEST(HelpService, AMissingHelpFileGetsAMessageNamingIt) {
    testing_support::RecordingMessageBox messages;
    testing_support::RecordingLauncher launcher;
    CWinApp app;
    app.SetModulePath("/nonexistent/folder/program");
    app.WinHelp(0x20066);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("/nonexistent/folder/program.html"), std::string::npos);
    EXPECT_TRUE(launcher.opened.empty());
}

TEST(HelpService, OpensTheHelpPageAtTheContextsSection) {
    testing_support::RecordingLauncher launcher;
    const std::filesystem::path page = std::filesystem::temp_directory_path() / "nomvara-help-test.html";
    std::ofstream(page) << "<html></html>";
    CurrentHelpViewer().Show(page.c_str(), 0x20066);
    std::filesystem::remove(page);
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], "file://" + page.string() + "#context-20066");
}

namespace {

class CancelCounting : public CDialog {
public:
    CancelCounting() : CDialog(IDD_TEST_FIRST) {}
    int cancels = 0;

protected:
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
};

}  // namespace

TEST(SystemMenu, OpensWithAltSpaceAndARightClickOnTheBackground) {
    CancelCounting dialog;
    testing_support::RunModal(dialog, [&] {
        QWidget* window = platform::WidgetOf(dialog.m_hWnd);
        QMenu* menu = dialog.GetSystemMenu(FALSE)->Popup();
        QKeyEvent altSpace(QEvent::KeyPress, Qt::Key_Space, Qt::AltModifier);
        QApplication::sendEvent(platform::WidgetOf(dialog.GetDlgItem(IDC_TEST_EDIT)), &altSpace);
        EXPECT_TRUE(menu->isVisible());
        menu->hide();
        QMouseEvent rightClick(QEvent::MouseButtonPress, QPointF(5, 90), window->mapToGlobal(QPointF(5, 90)), Qt::RightButton,
                               Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(window, &rightClick);
        EXPECT_TRUE(menu->isVisible());
        menu->hide();
        // A choice sends WM_SYSCOMMAND: Close ends the dialog like Cancel.
        menu->actions().back()->trigger();
        EXPECT_EQ(dialog.cancels, 1);
    });
}
