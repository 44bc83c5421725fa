// Lets resolver threads touch a dialog's records and window only while that dialog's window exists.
#pragma once

#include <mutex>

class Lifeline {
public:
    // Runs `work` under the lock if the dialog is still there; false when it has gone.
    template <typename Work>
    bool WhileAlive(Work&& work) {
        std::lock_guard lock(m_mutex);
        if (!m_alive)
            return false;
        work();
        return true;
    }

    // The dialog is going: waits for work under way, after which no work runs again.
    void End() {
        std::lock_guard lock(m_mutex);
        m_alive = false;
    }

private:
    std::mutex m_mutex;
    bool m_alive = true;
};
