#include "tests/e2e/desktop_session.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "tests/desktop.h"

namespace desktop {

namespace {

// The digits at `at`.
std::string Number(const std::string& text, size_t at) {
    size_t end = at;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    return at >= text.size() ? "" : text.substr(at, end - at);
}

// The numbers of an argument list from `at` to its closing parenthesis.
std::vector<double> Numbers(const std::string& text, size_t at) {
    std::vector<double> values;
    std::istringstream arguments(text.substr(at, text.find(')', at) - at));
    for (std::string each; std::getline(arguments, each, ',');)
        values.push_back(std::atof(each.c_str()));
    return values;
}

// Follows one input device's enter, motion and leave events: the surface it is on and where.
std::string Follow(const std::string& log, const std::string& device, std::vector<double>* place) {
    std::string on;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find(device + "@");
        if (at == std::string::npos || line.find(" -> ") != std::string::npos)
            continue;  // a request of the program's, not an event
        if (const size_t enter = line.find(".enter(", at); enter != std::string::npos) {
            const size_t named = line.find("wl_surface@", enter);
            on = Number(line, named + 11);
            if (place)
                *place = Numbers(line, line.find(", ", named) + 2);
        } else if (const size_t motion = line.find(".motion(", at); motion != std::string::npos && place) {
            const std::vector<double> values = Numbers(line, motion + 8);
            place->assign(values.begin() + 1, values.end());
        } else if (line.find(".leave(", at) != std::string::npos) {
            on.clear();
        }
    }
    return on;
}

}  // namespace

QImage Screenshot() {
    const std::string path = std::filesystem::temp_directory_path() / ("nomvara-screen-" + std::to_string(getpid()) + ".png");
    Output("scrot --overwrite " + path);
    QImage picture(QString::fromStdString(path));
    std::filesystem::remove(path);
    return picture.convertToFormat(QImage::Format_RGB32);
}

void Click(const QPoint& at, int button) {
    Output("xdotool mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click " + std::to_string(button));
}

// libwayland 1.23 and later write an object as "xdg_toplevel#15", earlier ones as "xdg_toplevel@15":
// the log is read in the older form, whichever wrote it.
std::string WaylandLog::Text() const {
    std::string text = ReadFile(m_path);
    for (size_t at = text.find('#'); at != std::string::npos; at = text.find('#', at + 1)) {
        const bool named = at > 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_');
        if (named && at + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[at + 1])))
            text[at] = '@';
    }
    return text;
}

int WaylandLog::Count(const std::string& what) const {
    const std::string text = Text();
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::string WaylandLog::Toplevel(const std::string& title) const {
    const std::string text = Text();
    const size_t at = text.rfind(".set_title(\"" + title + "\")");
    return at == std::string::npos ? "" : Number(text, text.rfind("xdg_toplevel@", at) + 13);
}

std::string WaylandLog::SurfaceOf(const std::string& toplevel) const {
    const std::string text = Text();
    const size_t made = text.rfind(".get_toplevel(new id xdg_toplevel@" + toplevel + ")");
    if (made == std::string::npos)
        return "";
    const std::string xdgSurface = Number(text, text.rfind("xdg_surface@", made) + 12);
    const std::string from = "get_xdg_surface(new id xdg_surface@" + xdgSurface + ", wl_surface@";
    const size_t at = text.rfind(from, made);  // ids are handed out again: the newest before it is the one
    return at == std::string::npos ? "" : Number(text, at + from.size());
}

QSize WaylandLog::WindowSize(const std::string& toplevel) const {
    const std::string text = Text();
    const size_t made = text.rfind(".get_toplevel(new id xdg_toplevel@" + toplevel + ")");
    if (made == std::string::npos)
        return {};
    const std::string geometry = "xdg_surface@" + Number(text, text.rfind("xdg_surface@", made) + 12) + ".set_window_geometry(";
    const size_t at = text.rfind(geometry);
    const std::vector<double> values = at == std::string::npos ? std::vector<double>{} : Numbers(text, at + geometry.size());
    return values.size() == 4 ? QSize(int(values[2]), int(values[3])) : QSize();
}

SizeLimits WaylandLog::Limits(const std::string& toplevel) const {
    const std::string text = Text();
    const auto last = [&](const std::string& request) {
        const std::string call = "xdg_toplevel@" + toplevel + "." + request + "(";
        const size_t at = text.rfind(call);
        const std::vector<double> values = at == std::string::npos ? std::vector<double>{} : Numbers(text, at + call.size());
        return values.size() == 2 ? QSize(int(values[0]), int(values[1])) : QSize();
    };
    return {last("set_min_size"), last("set_max_size")};
}

bool WaylandLog::KeyboardOn(const std::string& surface) const {
    return !surface.empty() && Follow(Text(), "wl_keyboard", nullptr) == surface;
}

bool WaylandLog::PointerOn(const std::string& surface, QPoint* where) const {
    std::vector<double> place;
    if (surface.empty() || Follow(Text(), "wl_pointer", &place) != surface || place.size() != 2)
        return false;
    *where = QPoint(int(place[0]), int(place[1]));
    return true;
}

namespace {

// How many pixels of the 9x9 square around a point changed: a new window changes almost all of
// them, a window that only turned inactive changes the few pixels of its texts.
int ChangedAround(const QImage& now, const QImage& before, int x, int y) {
    int changed = 0;
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx)
            if (now.valid(x + dx, y + dy) && now.pixel(x + dx, y + dy) != before.pixel(x + dx, y + dy))
                ++changed;
    return changed;
}

}  // namespace

QPoint FindOnScreen(const WaylandLog& log, const std::string& surface, const QImage& before, const QRegion& skip) {
    const QImage now = Screenshot();
    // Where the most changed first, so that a busy machine's slow repaints elsewhere do not use up the probes.
    std::vector<std::pair<int, QPoint>> changes;
    for (int y = 0; y < now.height(); y += 20)
        for (int x = 0; x < now.width(); x += 20)
            if (now.pixel(x, y) != before.pixel(x, y) && !skip.contains(QPoint(x, y)))
                changes.push_back({-ChangedAround(now, before, x, y), QPoint(x, y)});
    std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (changes.size() > 60)
        changes.resize(60);
    for (const auto& [denseness, point] : changes) {
        // A move gives the program a pointer event, or none when the point is on another client's
        // surface. Shift, pressed after it, goes to the program's window with the keyboard: once the
        // program has that key, it has whatever the move gave it, however slowly it runs.
        const int keys = log.Count(".key(");
        Output("xdotool mousemove " + std::to_string(point.x()) + " " + std::to_string(point.y()) + " key shift");
        if (!WaitUntil([&] { return log.Count(".key(") >= keys + 2; }))
            return {};
        QPoint local;
        if (log.PointerOn(surface, &local))
            return point - local;
    }
    return {};
}

AccessibilityBus::AccessibilityBus(const std::string& folder) {
    m_address = "unix:path=" + folder + "/bus";
    m_heard = folder + "/heard";
    m_bus = Start({"dbus-daemon", "--session", "--nofork", "--address=" + m_address},
                  {{"XDG_RUNTIME_DIR", folder}, {"DISPLAY", ""}});
    WaitUntil([&] { return std::filesystem::exists(folder + "/bus"); }, 20000);
}

AccessibilityBus::~AccessibilityBus() {
    Stop(m_listener);
    Stop(m_bus);
}

std::map<std::string, std::string> AccessibilityBus::Environment() const {
    return {{"DBUS_SESSION_BUS_ADDRESS", m_address}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}};
}

// Reads the tree, and listens for what the application tells screen readers.
const std::string kReader = std::filesystem::path(__FILE__).parent_path() / "accessible-tree";

std::string AccessibilityBus::Tree(const std::string& application) const {
    return Output("DBUS_SESSION_BUS_ADDRESS=" + m_address + " " + kReader + " " + application);
}

void AccessibilityBus::Listen(const std::string& application) {
    auto environment = Environment();
    environment.insert({"DISPLAY", ""});
    m_listener = Start({"sh", "-c", "exec \"$0\" --listen \"$1\" > \"$2\"", kReader, application, m_heard}, environment);
    WaitUntil([&] { return ReadFile(m_heard).rfind("listening\n", 0) == 0; });
}

std::string AccessibilityBus::Heard() const { return ReadFile(m_heard); }

std::string AccessibilityBus::LastHeard(const std::string& kind) const {
    const std::string heard = Heard();
    const size_t at = heard.rfind("\n" + kind + "\t");
    return at == std::string::npos ? "" : heard.substr(at + kind.size() + 2, heard.find('\n', at + 1) - at - kind.size() - 2);
}

std::string NamesOf(const std::string& tree, const std::string& role) {
    std::string names;
    std::istringstream lines(tree);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find_first_not_of(' ');
        if (line.compare(at, role.size() + 1, role + "\t") == 0)
            names += line.substr(at + role.size() + 1, line.find('\t', at + role.size() + 1) - at - role.size() - 1) + "\n";
    }
    return names;
}

std::string DescriptionOf(const std::string& tree, const std::string& role, const std::string& name) {
    std::istringstream lines(tree);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find_first_not_of(' ');
        if (line.compare(at, role.size() + 1, role + "\t") == 0 &&
            (name.empty() || line.compare(at + role.size() + 1, name.size() + 1, name + "\t") == 0))
            return line.substr(line.rfind('\t') + 1);
    }
    return "";
}

}  // namespace desktop
