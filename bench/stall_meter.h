// Measures the longest time the dialog thread could not run an event: a timer that fires as often as
// the event loop lets it, and the longest gap between two of its ticks.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <functional>

class StallMeter {
public:
    // `onTick` runs at every tick too, for sampling something else meanwhile.
    explicit StallMeter(std::function<void()> onTick = {}) {
        m_clock.start();
        m_last = m_clock.nsecsElapsed();
        QObject::connect(&m_ticker, &QTimer::timeout, [this, onTick] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longestMs = std::max(m_longestMs, (now - m_last) / 1e6);
            m_last = now;
            if (onTick)
                onTick();
        });
        m_ticker.start(0);
    }
    // Time the dialog thread spends on its own work up to now is no stall.
    void Restart() { m_last = m_clock.nsecsElapsed(); }
    double LongestMs() const { return m_longestMs; }

private:
    QElapsedTimer m_clock;
    QTimer m_ticker;
    qint64 m_last = 0;
    double m_longestMs = 0;
};
