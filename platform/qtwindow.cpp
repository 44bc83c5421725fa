// The registry of live windows and the cross-thread send queue. Both share one std::mutex, so a
// sender's "is the window alive" check and its queueing are one step that a destruction cannot split.
// A sender wakes the windows' thread through an eventfd, so nothing but the standard library's
// primitives carries data between threads.
#include "platform/qtwindow.h"

#include <sys/eventfd.h>

#include <QObject>
#include <QSocketNotifier>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/accessible.h"
#include "platform/events.h"
#include "platform/defproc.h"
#include "platform/menu.h"
#include "platform/qtgdi.h"
#include "platform/wnd.h"

namespace platform {
namespace {

struct PendingSend {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
    std::condition_variable finished{};  // one per send, so a reply wakes only its own sender
};

struct Registry {
    std::mutex mutex;
    std::unordered_set<HWND> live;
    std::deque<PendingSend*> sends;
    std::vector<HWND> retired;  // gone windows' records, emptied and never freed
    int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    QSocketNotifier* drainer = nullptr;  // lives on the windows' thread; queued sends are drained there
};

// Never destroyed: resolver threads may still look windows up while the process ends.
Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

// Runs one queued send on the windows' thread each time the eventfd wakes it, and signals again
// while more wait, so the thread's other events, its timers and its painting, come between two sends.
// A millisecond's worth at a time finished a burst of thousands no sooner, and the senders it
// released together kept this thread off the processor for longer.
void DrainOneSend() {
    Registry& registry = TheRegistry();
    eventfd_t wakeups;
    eventfd_read(registry.wake, &wakeups);
    std::unique_lock lock(registry.mutex);
    if (registry.sends.empty())
        return;
    PendingSend* send = registry.sends.front();
    registry.sends.pop_front();
    if (!registry.sends.empty())
        eventfd_write(registry.wake, 1);
    if (registry.live.count(send->window)) {
        lock.unlock();
        const LRESULT result = Dispatch(send->window, send->message, send->wParam, send->lParam);
        lock.lock();
        send->result = result;
    }
    send->done = true;
    send->finished.notify_one();
}

void ReleaseSendsTo(Registry& registry, HWND window) {
    auto& sends = registry.sends;
    for (auto it = sends.begin(); it != sends.end();) {
        if ((*it)->window == window) {
            (*it)->done = true;
            (*it)->finished.notify_one();
            it = sends.erase(it);
        } else {
            ++it;
        }
    }
}

// A gone window's record is emptied but never freed: were its address handed out again, a stale
// handle would name a newer window. What stays costs about a hundred bytes a window.
void Retire(Registry& registry, HWND window) {
    window->widget = nullptr;
    window->object = nullptr;
    window->font = window->ownedFont = nullptr;
    std::string().swap(window->text);
    window->systemMenu.reset();
    std::lock_guard lock(registry.mutex);
    registry.retired.push_back(window);
}

void Forget(HWND window) {
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        if (!registry.live.erase(window))
            return;
        ReleaseSendsTo(registry, window);
    }
    if (window->object)
        window->object->m_hWnd = nullptr;
    delete window->ownedFont;  // a dialog's template font, when it has one
    Retire(registry, window);
}

}  // namespace

HWND RegisterWindow(QWidget* widget, WindowKind kind, int id, DWORD style, HWND parent) {
    auto* window = new HWND__{widget, kind, id, style, parent, std::this_thread::get_id()};
    widget->setProperty("nomvara.hwnd", QVariant::fromValue(reinterpret_cast<quintptr>(window)));
    {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        registry.live.insert(window);
        if (!registry.drainer) {
            registry.drainer = new QSocketNotifier(registry.wake, QSocketNotifier::Read);  // never deleted
            QObject::connect(registry.drainer, &QSocketNotifier::activated, &DrainOneSend);
        }
    }
    widget->installEventFilter(Bridge());
    OfferClickActionsToAssistiveTechnology();
    QObject::connect(widget, &QObject::destroyed, [window] { Forget(window); });
    return window;
}

void DestroyWindow(HWND window) {
    if (!IsWindow(window))
        return;
    QWidget* widget = window->widget;
    Dispatch(window, WM_DESTROY, 0, 0);
    // Children first, so that every bound object is released before its parent's record goes.
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (HWND childWindow = WindowFromWidget(child))
            DestroyWindow(childWindow);
    Forget(window);
    delete widget;
}

HWND WindowFromWidget(const QObject* widget) {
    if (!widget)
        return nullptr;
    const QVariant value = widget->property("nomvara.hwnd");
    return value.isValid() ? reinterpret_cast<HWND>(value.value<quintptr>()) : nullptr;
}

QWidget* WidgetOf(HWND window) { return IsWindow(window) ? window->widget.data() : nullptr; }

size_t QueuedSends() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.sends.size();
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window))
        return 0;
    if (window->object)
        return window->object->WindowProc(message, wParam, lParam);
    return DefaultWindowProc(window, message, wParam, lParam);
}

}  // namespace platform

BOOL IsWindow(HWND window) {
    auto& registry = platform::TheRegistry();
    std::lock_guard lock(registry.mutex);
    return window && registry.live.count(window) ? TRUE : FALSE;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& registry = platform::TheRegistry();
    std::unique_lock lock(registry.mutex);
    if (!window || !registry.live.count(window))
        return 0;
    if (window->thread == std::this_thread::get_id()) {
        lock.unlock();
        return platform::Dispatch(window, message, wParam, lParam);
    }
    platform::PendingSend send{window, message, wParam, lParam};
    registry.sends.push_back(&send);
    eventfd_write(registry.wake, 1);
    send.finished.wait(lock, [&send] { return send.done; });
    return send.result;
}
