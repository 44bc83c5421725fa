// The real program on the desktops people use: natively on Wayland under weston (whose title bar is
// drawn by Qt itself) and on X11 under a real window manager (openbox).
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>
#include <sstream>
#include <string>

#include "tests/e2e/desktop_session.h"
#include "tests/virtual_display.h"

using desktop::Eventually;
using desktop::Output;

namespace {

constexpr QRgb kWestonBackground = 0x204060;

bool Installed(const char* program) { return !Output(std::string("command -v ") + program).empty(); }


int Count(const std::string& text, const std::string& what) {
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

void Click(const QPoint& at, int button = 1) {
    Output("xdotool mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click " + std::to_string(button));
}

// The window's own surface inside the title bar and border that Qt draws on Wayland.
QRect ClientOf(const QRect& window) { return window.adjusted(3, 30, -3, -3); }
// Where a title bar that Qt draws has its maximize button.
QPoint MaximizeButton(const QRect& window) { return QPoint(window.right() - 39, window.top() + 15); }
// A spot of bare dialog background: the bottom right corner, below the answer list's group box.
QPoint Background(const QRect& client) { return QPoint(client.right() - 12, client.bottom() - 6); }

// The answer list inside the main dialog's client area, from its template in dialog units.
QRect AnswerList(const QRect& client) {
    const double x = client.width() / 423.0, y = client.height() / 174.0;
    return QRect(client.left() + int(231 * x) + 4, client.top() + int(96 * y) + 4, int(175 * x) - 8, int(60 * y) - 8);
}

class Wayland : public ::testing::Test {
public:
    // The id of the wl_surface behind a toplevel, and the window size the program gave it.
    std::string SurfaceOf(const std::string& toplevel) const {
        const std::string protocol = Protocol();
        const std::string xdgSurface = XdgSurfaceOf(protocol, toplevel);
        const std::string made = "get_xdg_surface(new id xdg_surface@" + xdgSurface + ", wl_surface@";
        const size_t at = protocol.rfind(made);  // ids are handed out again: the newest is the one
        return xdgSurface.empty() || at == std::string::npos ? "" : Number(protocol, at + made.size());
    }
    QSize WindowSize(const std::string& toplevel) const {
        const std::string protocol = Protocol();
        const std::string geometry = "xdg_surface@" + XdgSurfaceOf(protocol, toplevel) + ".set_window_geometry(";
        const size_t at = protocol.rfind(geometry);
        if (at == std::string::npos)
            return QSize();
        const std::vector<double> values = Numbers(protocol, at + geometry.size());
        return values.size() == 4 ? QSize(int(values[2]), int(values[3])) : QSize();
    }
    // Moves the pointer over what changed on the screen since `before` until the compositor says it is
    // over `surface`; the screen position of that surface's top left corner, or a null point.
    QPoint SurfaceOrigin(const QImage& before, const std::string& surface) const {
        QPoint origin;
        Eventually([&] { return !(origin = LookOnce(before, surface)).isNull(); }, 8000);  // until the box is drawn
        return origin;
    }
    QPoint LookOnce(const QImage& before, const std::string& surface) const {
        const QImage now = desktop::Screenshot();
        int probes = 0;
        for (int y = 0; y < now.height(); y += 25) {
            for (int x = 0; x < now.width(); x += 25) {
                if (now.pixel(x, y) == before.pixel(x, y))
                    continue;
                if (++probes > 80)
                    return QPoint();
                const size_t seen = Protocol().size();
                Output("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
                Eventually([&] { return Protocol().find("wl_pointer@", seen) != std::string::npos; }, 300);
                // Follow the pointer's events: it is on the surface it last entered, where it last moved.
                std::string on;
                std::vector<double> place;
                std::istringstream lines(Protocol());
                for (std::string line; std::getline(lines, line);) {
                    const size_t pointer = line.find("wl_pointer@");
                    if (pointer == std::string::npos || line.find(" -> ") != std::string::npos)
                        continue;
                    if (const size_t enter = line.find(".enter(", pointer); enter != std::string::npos) {
                        const size_t named = line.find("wl_surface@", enter);
                        on = Number(line, named + 11);
                        place = Numbers(line, line.find(", ", named) + 2);
                    } else if (const size_t motion = line.find(".motion(", pointer); motion != std::string::npos) {
                        const std::vector<double> values = Numbers(line, motion + 8);
                        place.assign(values.begin() + 1, values.end());
                    } else if (line.find(".leave(", pointer) != std::string::npos) {
                        on.clear();
                    }
                }
                if (on == surface && place.size() == 2)
                    return QPoint(x - int(place[0]), y - int(place[1]));
            }
        }
        return QPoint();
    }

protected:
    // The digits at `at`.
    static std::string Number(const std::string& text, size_t at) {
        size_t end = at;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        return text.substr(at, end - at);
    }
    // The numbers of an argument list from `at` to its closing parenthesis.
    static std::vector<double> Numbers(const std::string& text, size_t at) {
        std::vector<double> values;
        std::istringstream arguments(text.substr(at, text.find(')', at) - at));
        for (std::string each; std::getline(arguments, each, ',');)
            values.push_back(std::atof(each.c_str()));
        return values;
    }
    static std::string XdgSurfaceOf(const std::string& protocol, const std::string& toplevel) {
        const size_t at = protocol.rfind(".get_toplevel(new id xdg_toplevel@" + toplevel + ")");
        const size_t name = at == std::string::npos ? at : protocol.rfind("xdg_surface@", at);
        return name == std::string::npos ? "" : Number(protocol, name + 12);
    }

protected:
    void SetUp() override {
        if (!Installed("weston") || !std::filesystem::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"))
            GTEST_SKIP() << "weston or qt6-wayland is not installed";
        ASSERT_FALSE(m_display.Name().empty());
        setenv("DISPLAY", m_display.Name().c_str(), 1);
        char folder[] = "/tmp/nomvara-wayland-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);  // 0700, as Wayland wants its runtime folder
        m_runtime = folder;
        std::ofstream(m_runtime + "/weston.ini") << "[core]\nidle-time=0\n[shell]\nbackground-color=0xff204060\n"
                                                    "panel-position=none\nlocking=false\n[input-method]\npath=\n";
        m_weston = desktop::Start({"weston", "--backend=x11-backend.so", "--config=" + m_runtime + "/weston.ini",
                                   "--socket=nomvara-wayland", "--width=1000", "--height=560"},
                                  {{"XDG_RUNTIME_DIR", m_runtime}});
        ASSERT_TRUE(Eventually([&] { return desktop::Screenshot().pixel(500, 300) % 0x1000000 == kWestonBackground; }))
            << "weston shows its desktop";
    }
    void TearDown() override {
        if (m_program > 0 && desktop::WaitForExit(m_program, 0) == -1)
            kill(m_program, SIGKILL), waitpid(m_program, nullptr, 0);
        if (m_weston > 0)
            kill(m_weston, SIGTERM), waitpid(m_weston, nullptr, 0);
        if (!m_runtime.empty())
            std::filesystem::remove_all(m_runtime);
    }

    void StartProgram() {
        m_protocol = m_runtime + "/protocol.log";
        m_program = desktop::Start({std::getenv("NOMVARA_EXECUTABLE")},
                                   {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "nomvara-wayland"}, {"XDG_RUNTIME_DIR", m_runtime},
                                    {"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DEBUG", "1"}},
                                   m_protocol);
    }
    std::string Protocol() const { return desktop::ReadFile(m_protocol); }
    bool Alive() const { return kill(m_program, 0) == 0 && desktop::WaitForExit(m_program, 0) == -1; }
    QRect Windows() const { return desktop::Covered(desktop::Screenshot(), QRect(0, 0, 1000, 560), kWestonBackground); }

    const VirtualDisplay m_display;
    std::string m_runtime, m_protocol;
    pid_t m_weston = -1, m_program = -1;
};

}  // namespace

TEST_F(Wayland, RealProgramAnswersMaximizesWithoutDyingOpensAboutAndClosesWithEscape) {
    StartProgram();
    QRect main;
    ASSERT_TRUE(Eventually([&] { return (main = Windows()).width() > 600; })) << "the main window shows";
    const QRect client = ClientOf(main);
    EXPECT_NE(Protocol().find("set_app_id(\"org.example.Nomvara\")"), std::string::npos) << "the desktop entry's name";
    EXPECT_EQ(Count(Protocol(), "set_app_id("), 1);

    Click(Background(client));  // the pointer, and with it the keys, over the window
    Output("xdotool type --delay 30 three.nomvara.test");
    Output("xdotool key Return");
    EXPECT_TRUE(Eventually([&] { return desktop::TextLines(desktop::Screenshot(), AnswerList(client)) == 3; }))
        << "three addresses in the answer list";

    Click(MaximizeButton(main));
    EXPECT_TRUE(Eventually([&] { return Count(Protocol(), "unset_maximized()") == 1; })) << "asks to be restored at once";
    EXPECT_TRUE(Eventually([&] { return Windows() == main; })) << "and is its own size again";
    ASSERT_TRUE(Alive()) << Protocol().substr(Protocol().rfind("error") == std::string::npos ? 0 : Protocol().rfind("error"));

    // Weston puts the box anywhere, so the pointer looks for it: inside it, the compositor tells the
    // program where the pointer is on the box's own surface. Where the pointer cannot reach it, the box
    // is closed and opened again somewhere else.
    std::string about, aboutToplevel;  // the About box's xdg_toplevel
    QPoint boxOrigin;
    for (int attempt = 0; attempt < 3 && boxOrigin.isNull(); ++attempt) {
        if (attempt > 0) {
            const int closed = Count(Protocol(), aboutToplevel + ".destroy()");
            Output("xdotool key Escape");
            ASSERT_TRUE(Eventually([&] { return Count(Protocol(), aboutToplevel + ".destroy()") > closed; }));
            Click(Background(client));
        }
        const QImage beforeAbout = desktop::Screenshot();
        const int popups = Count(Protocol(), "get_popup(");
        Click(Background(client), 3);  // the system menu, an xdg_popup
        ASSERT_TRUE(Eventually([&] { return Count(Protocol(), "get_popup(") > popups; }));
        const int opened = Count(Protocol(), ".set_title(\"About Nomvara\")");
        Output("xdotool key Up Return");  // its last item: About Nomvara...
        ASSERT_TRUE(Eventually([&] {
            const std::string protocol = Protocol();
            if (Count(protocol, ".set_title(\"About Nomvara\")") <= opened)
                return false;
            about = Number(protocol, protocol.rfind("xdg_toplevel@", protocol.rfind(".set_title(\"About Nomvara\")")) + 13);
            return true;
        })) << "the About box opens";
        aboutToplevel = "xdg_toplevel@" + about;
        EXPECT_NE(Protocol().rfind(aboutToplevel + ".set_parent(xdg_toplevel@"), std::string::npos) << "a child of the main window";
        boxOrigin = SurfaceOrigin(beforeAbout, SurfaceOf(about));
    }
    ASSERT_FALSE(boxOrigin.isNull()) << "the pointer finds the About box";
    const QRect boxWindow(boxOrigin, WindowSize(about));
    Click(MaximizeButton(boxWindow));
    EXPECT_TRUE(Eventually([&] { return Count(Protocol(), "unset_maximized()") == 2 && WindowSize(about) == boxWindow.size(); }))
        << "the About box too";
    ASSERT_TRUE(Alive());

    const int closed = Count(Protocol(), aboutToplevel + ".destroy()");
    Output("xdotool key Escape");
    EXPECT_TRUE(Eventually([&] { return Count(Protocol(), aboutToplevel + ".destroy()") > closed; }))
        << "Escape closes the About box";
    Click(Background(client));  // back to the main window, as a person would
    Output("xdotool key Escape");
    EXPECT_EQ(desktop::WaitForExit(m_program, 10000), 0) << "Escape closes the main window";
    EXPECT_EQ(Protocol().find("Protocol error"), std::string::npos);
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
        m_manager = desktop::Start({"openbox", "--sm-disable"});
        ASSERT_TRUE(Eventually([] { return Output("wmctrl -m").find("Openbox") != std::string::npos; }))
            << "openbox manages the display";
    }
    void TearDown() override {
        if (m_program > 0 && desktop::WaitForExit(m_program, 0) == -1)
            kill(m_program, SIGKILL), waitpid(m_program, nullptr, 0);
        if (m_manager > 0)
            kill(m_manager, SIGTERM), waitpid(m_manager, nullptr, 0);
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
    m_program = desktop::Start({std::getenv("NOMVARA_EXECUTABLE")}, {{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", ""}});
    const std::string window = VirtualDisplay::FocusedWindow("Nomvara");
    ASSERT_FALSE(window.empty());
    EXPECT_NE(Output("xprop -id " + window + " WM_CLASS").find("\"org.example.Nomvara\""), std::string::npos)
        << "WM_CLASS names the desktop entry";

    const std::string before = Geometry(window);
    Output("wmctrl -i -r " + window + " -b add,maximized_vert,maximized_horz");
    // The manager handles requests in order: once it has put the window above, it has also
    // answered the maximize.
    Output("wmctrl -i -r " + window + " -b add,above");
    ASSERT_TRUE(Eventually([&] { return Output("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") != std::string::npos; }));
    EXPECT_EQ(Output("xprop -id " + window + " _NET_WM_STATE").find("MAXIMIZED"), std::string::npos) << "refused";
    EXPECT_EQ(Geometry(window), before);

    // A right click on the dialog's own background opens its system menu; its last item is About.
    std::istringstream size(Geometry(window));
    int x, y, width, height;
    size >> x >> y >> width >> height;
    Output("xdotool mousemove --window " + window + " " + std::to_string(width - 12) + " " + std::to_string(height - 6) + " click 3");
    ASSERT_TRUE(Eventually([] { return Count(Output("xdotool search --onlyvisible --class org.example.Nomvara"), "\n") == 2; }))
        << "the menu shows beside the window";
    Output("xdotool key Up Return");
    const std::string about = VirtualDisplay::FocusedWindow("About Nomvara");
    ASSERT_FALSE(about.empty()) << "the About box opens from the right-click menu";
    Output("xdotool key Escape");
    ASSERT_TRUE(Eventually([&] { return Output("xdotool search --onlyvisible --name '^About Nomvara$'").empty(); }));

    Output("wmctrl -i -c " + window);  // as the frame's close button does
    EXPECT_EQ(desktop::WaitForExit(m_program, 10000), 0);
}
