// The live windows and the cross-thread send queue share one std::mutex, so a sender's "is the
// window alive" check and its queueing are one step that a destruction cannot split. A sender wakes
// the windows' thread through an eventfd, so nothing but the standard library's primitives carries
// data between threads.
#include "platform/windowregistry.h"

#include <sys/eventfd.h>

#include <QObject>
#include <QSocketNotifier>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <unordered_set>

#include "platform/windowrecord.h"

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
    std::erase_if(registry.sends, [window](PendingSend* send) {
        if (send->window != window)
            return false;
        send->done = true;
        send->finished.notify_one();
        return true;
    });
}

}  // namespace

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IsWindow(window) && window->procedure ? window->procedure(window, message, wParam, lParam) : 0;
}

void AddLiveWindow(HWND window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.live.insert(window);
    if (!registry.drainer) {
        registry.drainer = new QSocketNotifier(registry.wake, QSocketNotifier::Read);  // never deleted
        QObject::connect(registry.drainer, &QSocketNotifier::activated, &DrainOneSend);
    }
}

bool RemoveLiveWindow(HWND window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (!registry.live.erase(window))
        return false;
    ReleaseSendsTo(registry, window);
    return true;
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
