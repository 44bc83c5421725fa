// The real program on the desktops people use: natively on Wayland under weston (whose title bar is
// drawn by Qt itself) and on X11 under a real window manager (openbox). Every wait is for what the
// display server, the compositor or the program's accessibility tree says.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLibraryInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/desktop.h"
#include "tests/e2e/desktop_session.h"

using namespace desktop;

namespace {

constexpr QRgb kWestonBackground = 0x204060;
const std::string kApplication = "org.example.Nomvara";

// What the program last told a screen reader without moving the focus: Qt 6.8 on announces it; before,
// the application's notification shows holding it.
std::string LastTold(const AccessibilityBus& bus) {
    const std::string heard = QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) ? bus.LastHeard("object:announcement\t1")
                                                                      : bus.LastHeard("object:state-changed:showing\t1");
    const std::string role = QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) ? "announcement\t" : "notification\t";
    return heard.rfind(role, 0) == 0 ? heard.substr(role.size(), heard.find('\t', role.size()) - role.size()) : "";
}

bool Installed(const char* program) { return !Output(std::string("command -v ") + program).empty(); }

class Wayland : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString();
        // Qt 6.10 on has one Wayland plugin where earlier releases had one per kind of drawing.
        const bool plugin = std::filesystem::exists(plugins + "/platforms/libqwayland-generic.so") ||
                            std::filesystem::exists(plugins + "/platforms/libqwayland.so");
        if (!Installed("weston") || !plugin)
            GTEST_SKIP() << "weston or qt6-wayland (Qt's Wayland plugin in " << plugins << ") is not installed";
        ASSERT_FALSE(m_display.Name().empty());
        setenv("DISPLAY", m_display.Name().c_str(), 1);
        char folder[] = "/tmp/nomvara-wayland-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);  // 0700, as Wayland wants its runtime folder
        m_runtime = folder;
        std::ofstream(m_runtime + "/weston.ini") << "[core]\nidle-time=0\n[shell]\nbackground-color=0xff204060\n"
                                                    "panel-position=none\nlocking=false\n[input-method]\npath=\n";
        m_weston = Start({"weston", "--backend=x11-backend.so", "--config=" + m_runtime + "/weston.ini",
                          "--socket=nomvara-wayland", "--width=1000", "--height=560"},
                         {{"XDG_RUNTIME_DIR", m_runtime}});
        ASSERT_TRUE(WaitUntil([&] { return (m_desktop = Screenshot()).pixel(500, 300) % 0x1000000 == kWestonBackground; }))
            << "weston shows its desktop";
        // Weston follows the pointer only once it has seen it come in: Xvfb starts it inside weston's window.
        Output("xdotool mousemove 1020 590 mousemove 990 550");
        m_bus = std::make_unique<AccessibilityBus>(m_runtime);
        m_log = WaylandLog(m_runtime + "/protocol.log");
    }
    void TearDown() override {
        Stop(m_program, SIGKILL);
        Stop(m_weston);
        m_bus.reset();
        if (!m_runtime.empty())
            std::filesystem::remove_all(m_runtime);
    }

    void StartProgram() {
        m_bus->Listen(kApplication);
        auto environment = m_bus->Environment();
        environment.insert({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "nomvara-wayland"}, {"XDG_RUNTIME_DIR", m_runtime},
                            {"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DEBUG", "1"}});
        m_program = Start({std::getenv("NOMVARA_EXECUTABLE")}, environment, m_log.Path());
    }
    bool Alive() { return WaitForExit(m_program, 0) == -1 && m_program > 0; }
    // Waits until the window has the keyboard; its wl_surface.
    std::string Focused(const std::string& toplevel) const {
        std::string surface;
        WaitUntil([&] { return m_log.KeyboardOn(surface = m_log.SurfaceOf(toplevel)); });
        return m_log.KeyboardOn(surface) ? surface : "";
    }
    // Whether the program asked to leave its `nth` maximize and then drew its window at `size` again.
    bool Restored(int nth, QSize size) const {
        const std::string text = m_log.Text();
        size_t at = std::string::npos;  // the search below starts at npos + 1, the beginning
        for (int seen = 0; seen < nth && (seen == 0 || at != std::string::npos); ++seen)
            at = text.find("unset_maximized()", at + 1);
        return at != std::string::npos &&
               text.find("set_window_geometry(0, 0, " + std::to_string(size.width()) + ", " + std::to_string(size.height()) + ")", at) !=
                   std::string::npos;
    }
    // The screen once two pictures in a row are the same: the compositor may draw a change later
    // than the program asked for it, the more so on a busy machine.
    static QImage SettledScreenshot() {
        QImage now, last;
        WaitUntil([&] {
            last = now;
            now = Screenshot();
            return now == last;
        });
        return now;
    }
    // Where the window of that surface lies on the screen, once the screen has settled.
    QPoint Place(const std::string& surface, const QImage& before, const QRegion& skip = {}) const {
        QPoint origin;
        QImage last;
        WaitUntil([&] {
            const QImage now = Screenshot();
            const bool settled = now == last;
            last = now;
            return settled && !(origin = FindOnScreen(m_log, surface, before, skip)).isNull();
        });
        return origin;
    }

    const VirtualDisplay m_display;
    std::string m_runtime;
    WaylandLog m_log{""};
    std::unique_ptr<AccessibilityBus> m_bus;
    QImage m_desktop;
    pid_t m_weston = -1, m_program = -1;
};

}  // namespace

TEST_F(Wayland, RealProgramAnswersMaximizesWithoutDyingOpensAboutAndClosesWithEscape) {
    StartProgram();
    std::string main;
    ASSERT_TRUE(WaitUntil([&] { return !(main = m_log.Toplevel("Nomvara")).empty(); })) << "the main window is made";
    const std::string surface = Focused(main);
    ASSERT_FALSE(surface.empty()) << "the main window has the keyboard";
    EXPECT_EQ(m_log.Count("set_app_id(\"org.example.Nomvara\")"), 1) << "the desktop entry's name";

    Output("xdotool type --delay 30 three.nomvara.test");
    Output("xdotool key Return");
    std::string tree;
    EXPECT_TRUE(WaitUntil([&] { return NamesOf(tree = m_bus->Tree(kApplication), "list item") == "198.51.100.1\n198.51.100.2\n198.51.100.3\n"; }))
        << "three addresses in the answer list, as a screen reader reads it:\n" << tree;
    EXPECT_EQ(DescriptionOf(tree, "list").rfind("three.nomvara.test: 3 addresses (", 0), 0u) << DescriptionOf(tree, "list");
    EXPECT_TRUE(WaitUntil([&] {
        // Its IPv6 part is told as it stood then: it may still have been asked.
        return LastTold(*m_bus).rfind("198.51.100.1, 198.51.100.2, 198.51.100.3. three.nomvara.test: 3 addresses", 0) == 0;
    })) << "a screen reader is told the answer where the focus stays, in the query box:\n" << m_bus->Heard();
    Output("xdotool key Tab Tab");
    EXPECT_TRUE(WaitUntil([&] { return m_bus->LastHeard("object:state-changed:focused\t1").rfind("list item\t198.51.100.1\t", 0) == 0; }))
        << "moving into the list reads its first line:\n" << m_bus->Heard();
    EXPECT_EQ(NamesOf(tree, "link"), "Nomvara Software home page\nNomvara Route Explorer\n"
                                     "Nomvara Route Explorer draws every hop between your computer and any host, live.\n")
        << "the banner and the two product lines are links to a screen reader";

    // Qt's own title bar: its maximize button sits 39 pixels from the window's right edge.
    const QSize size = m_log.WindowSize(main);
    const SizeLimits fixed = m_log.Limits(main);
    ASSERT_TRUE(fixed.first == fixed.second && !fixed.first.isEmpty()) << "a fixed size";
    const QPoint origin = Place(surface, m_desktop);
    ASSERT_FALSE(origin.isNull()) << "the pointer finds the main window";
    Click(origin + QPoint(size.width() - 39, 15));
    EXPECT_TRUE(WaitUntil([&] { return Restored(1, size) && m_log.Limits(main) == fixed; }))
        << "asks to be restored at once and is its own fixed size again";
    EXPECT_EQ(m_log.Count("unset_maximized()"), 1) << "once";
    ASSERT_TRUE(Alive()) << m_log.Text().substr(m_log.Text().rfind("error") == std::string::npos ? 0 : m_log.Text().rfind("error"));

    // The system menu, an xdg_popup from a right click on the dialog's background; its last item is About.
    const QPoint background = origin + QPoint(size.width() - 15, size.height() - 9);
    const QImage beforeAbout = SettledScreenshot();  // the main window drawn at its own size again
    Click(background, 3);
    ASSERT_TRUE(WaitUntil([&] {
        const std::string text = m_log.Text();
        const size_t popup = text.rfind("get_popup(");
        return popup != std::string::npos && text.find(".configure(", popup) != std::string::npos;
    })) << "the menu is made and placed";
    Output("xdotool key Up Return");
    std::string about;
    ASSERT_TRUE(WaitUntil([&] { return !(about = m_log.Toplevel("About Nomvara")).empty(); })) << "the About box opens";
    const std::string aboutSurface = Focused(about);
    ASSERT_FALSE(aboutSurface.empty()) << "and has the keyboard";
    EXPECT_EQ(m_log.Count("xdg_toplevel@" + about + ".set_parent(xdg_toplevel@" + main + ")"), 1) << "a child of the main window";
    EXPECT_TRUE(WaitUntil([&] {
        // Told as it opens: announced from Qt 6.8 on, before as its description.
        return (QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) ? LastTold(*m_bus) : DescriptionOf(m_bus->Tree(kApplication), "dialog", "About Nomvara")) ==
               "Nomvara 1.3.1. Copyright (C) 2026 Nomvara Software. www.nomvara-software.example";
    })) << "its lines, read as it opens:\n" << m_bus->Heard();

    // The main window's title bar changes colour as it loses the keyboard: no need to look there.
    const QPoint boxOrigin = Place(aboutSurface, beforeAbout, QRect(origin, QSize(size.width(), 30)));
    ASSERT_FALSE(boxOrigin.isNull()) << "the pointer finds the About box";
    const QSize boxSize = m_log.WindowSize(about);
    const SizeLimits boxFixed = m_log.Limits(about);
    ASSERT_TRUE(boxFixed.first == boxFixed.second && !boxFixed.first.isEmpty());
    Click(boxOrigin + QPoint(boxSize.width() - 39, 15));
    EXPECT_TRUE(WaitUntil([&] { return Restored(2, boxSize) && m_log.Limits(about) == boxFixed; })) << "the About box too";
    EXPECT_EQ(m_log.Count("unset_maximized()"), 2);
    ASSERT_TRUE(Alive());

    Output("xdotool key Escape");
    EXPECT_TRUE(WaitUntil([&] { return m_log.Count("xdg_toplevel@" + about + ".destroy()") == 1; })) << "Escape closes the About box";
    Click(background);  // weston gives the keyboard back on a click, as a person would
    ASSERT_FALSE(Focused(main).empty());
    Output("xdotool key Escape");
    EXPECT_EQ(WaitForExit(m_program, 60000), 0) << "Escape closes the main window";
    EXPECT_EQ(m_log.Count("Protocol error"), 0);
    const std::string text = m_log.Text();
    EXPECT_EQ(m_log.Count("Sanitizer"), 0) << "the program's own errors go to the same log:\n"
                                           << text.substr(std::min(text.size(), text.find("==ERROR")));
}

namespace {

// The program on X11 under openbox, a window manager from Debian that decorates windows itself.
class X11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Installed("openbox") || !Installed("wmctrl"))
            GTEST_SKIP() << "openbox or wmctrl is not installed";
        ASSERT_FALSE(m_display.Name().empty());
        setenv("DISPLAY", m_display.Name().c_str(), 1);
        m_manager = Start({"openbox", "--sm-disable"});
        ASSERT_TRUE(WaitUntil([] { return Output("wmctrl -m").find("Openbox") != std::string::npos; }))
            << "openbox manages the display";
    }
    void TearDown() override {
        Stop(m_program, SIGKILL);
        Stop(m_manager);
    }
    // The window's frame-less geometry as "X Y W H", from the window manager's own view.
    static std::string Geometry(const std::string& window) {
        std::istringstream lines(Output("wmctrl -l -G"));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string id, desk, x, y, w, h;
            words >> id >> desk >> x >> y >> w >> h;
            if (std::stoul(id, nullptr, 16) == std::stoul(window))
                return x + " " + y + " " + w + " " + h;
        }
        return "";
    }

    const VirtualDisplay m_display;
    pid_t m_manager = -1, m_program = -1;
};

}  // namespace

TEST_F(X11, RealProgramUnderAWindowManagerStaysItsSizeOpensAboutAndClosesFromTheFrame) {
    m_program = Start({std::getenv("NOMVARA_EXECUTABLE")}, {{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", ""}});
    const std::string window = FocusedWindow("Nomvara");
    ASSERT_FALSE(window.empty());
    EXPECT_NE(Output("xprop -id " + window + " WM_CLASS").find("\"org.example.Nomvara\""), std::string::npos)
        << "WM_CLASS names the desktop entry";

    const std::string before = Geometry(window);
    Output("wmctrl -i -r " + window + " -b add,maximized_vert,maximized_horz");
    // The manager handles requests in order: once it has put the window above, it has also
    // answered the maximize.
    Output("wmctrl -i -r " + window + " -b add,above");
    ASSERT_TRUE(WaitUntil([&] { return Output("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") != std::string::npos; }));
    EXPECT_EQ(Output("xprop -id " + window + " _NET_WM_STATE").find("MAXIMIZED"), std::string::npos) << "refused";
    EXPECT_EQ(Geometry(window), before);

    // A right click on the dialog's own background opens its system menu; its last item is About.
    std::istringstream size(Geometry(window));
    int x, y, width, height;
    size >> x >> y >> width >> height;
    Output("xdotool mousemove --window " + window + " " + std::to_string(width - 12) + " " + std::to_string(height - 6) + " click 3");
    ASSERT_TRUE(WaitUntil([] {
        const std::string windows = Output("xdotool search --onlyvisible --class org.example.Nomvara");
        return std::count(windows.begin(), windows.end(), '\n') == 2;
    }))
        << "the menu shows beside the window";
    Output("xdotool key Up Return");
    ASSERT_FALSE(FocusedWindow("About Nomvara").empty()) << "the About box opens from the right-click menu";
    Output("xdotool key Escape");
    ASSERT_TRUE(WaitUntil([&] { return Output("xdotool search --onlyvisible --name '^About Nomvara$'").empty(); }));

    Output("wmctrl -i -c " + window);  // as the frame's close button does
    EXPECT_EQ(WaitForExit(m_program, 60000), 0);
}
