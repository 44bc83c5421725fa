// The real program on a Wayland compositor, read as a person and a screen reader would: its
// protocol as WAYLAND_DEBUG writes it, the screen, and its accessibility tree over AT-SPI.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>

namespace desktop {

// The virtual display as it is now.
QImage Screenshot();
// A left (1) or right (3) click at a point of the screen.
void Click(const QPoint& at, int button = 1);

using SizeLimits = std::pair<QSize, QSize>;

// A program's side of the Wayland protocol, from the log WAYLAND_DEBUG=1 writes.
class WaylandLog {
public:
    explicit WaylandLog(std::string path) : m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }
    std::string Text() const;
    int Count(const std::string& what) const;
    // The newest xdg_toplevel given this title ("19"), or "".
    std::string Toplevel(const std::string& title) const;
    // The wl_surface behind a toplevel, and the window size the program last gave it.
    std::string SurfaceOf(const std::string& toplevel) const;
    QSize WindowSize(const std::string& toplevel) const;
    // The smallest and largest size the program last announced for a toplevel.
    SizeLimits Limits(const std::string& toplevel) const;
    // Whether the compositor last sent the keyboard, or the pointer, into this surface.
    bool KeyboardOn(const std::string& surface) const;
    // Where the pointer is on the surface in the surface's own coordinates, when it is on it.
    bool PointerOn(const std::string& surface, QPoint* where) const;

private:
    std::string m_path;
};

// Moves the pointer over what the screen shows unlike `before`, outside `skip`, until the
// compositor says the pointer is on `surface`; the surface's top left corner on the screen, or a null
// point when no look found it. A window of the program must have the keyboard.
QPoint FindOnScreen(const WaylandLog& log, const std::string& surface, const QImage& before, const QRegion& skip = {});

// A private D-Bus session bus, through which the program shows its accessibility tree (AT-SPI).
class AccessibilityBus {
public:
    explicit AccessibilityBus(const std::string& folder);
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;
    // What a program needs to show itself on this bus.
    std::map<std::string, std::string> Environment() const;
    // The application's tree, a line per object: "role<TAB>name<TAB>description", indented.
    std::string Tree(const std::string& application) const;
    // From now on, what the application tells screen readers: a notification showing, an announcement,
    // an object getting the focus. Returns once it listens, so start it before the application.
    void Listen(const std::string& application);
    // The last event heard of the kind, as "role<TAB>name<TAB>description"; `kind` is
    // "event<TAB>detail", such as "object:state-changed:focused<TAB>1".
    std::string LastHeard(const std::string& kind) const;
    std::string Heard() const;

private:
    std::string m_address;
    std::string m_heard;
    pid_t m_bus = -1, m_listener = -1;
};

// The names of the objects of a role ("list item", "link") in an accessibility tree, a line each.
std::string NamesOf(const std::string& tree, const std::string& role);
// The description of the first object of a role in an accessibility tree, and of that name when one is given.
std::string DescriptionOf(const std::string& tree, const std::string& role, const std::string& name = "");

}  // namespace desktop
