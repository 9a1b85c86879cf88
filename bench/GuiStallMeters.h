#pragma once

// Meters for how long the GUI thread stops serving its event loop.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

namespace omnar::bench {

using Ms = std::chrono::duration<double, std::milli>;

// Times event delivery. A stall is the longest stretch spent inside event
// handlers without the loop delivering anything else: a nested loop that keeps
// dispatching (a modal window) is not a stall, a handler that waits is.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    void startMeasuring()
    {
        m_measuring = true;
        m_longest = Ms{0};
        m_longestWhat.clear();
    }
    void stopMeasuring() { m_measuring = false; }
    Ms longest() const { return m_longest; }
    const std::string& longestWhat() const { return m_longestWhat; }

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!m_measuring)
            return QApplication::notify(receiver, event);
        boundary(receiver, event);
        ++m_depth;
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        boundary(receiver, event);
        return handled;
    }

private:
    void boundary(QObject* receiver, QEvent* event)
    {
        const auto now = std::chrono::steady_clock::now();
        if (m_depth > 0) {
            const Ms gap = now - m_last;
            if (gap > m_longest) {
                m_longest = gap;
                std::ostringstream what;
                what << "event type " << int(event->type()) << " to " << receiver->metaObject()->className();
                if (!receiver->objectName().isEmpty())
                    what << " '" << receiver->objectName().toStdString() << "'";
                m_longestWhat = what.str();
            }
        }
        m_last = now;
    }

    bool m_measuring = false;
    int m_depth = 0;
    std::chrono::steady_clock::time_point m_last;
    Ms m_longest{0};
    std::string m_longestWhat;
};

// A 5 ms timer: how late each tick comes beyond its interval.
class TickProbe {
public:
    static constexpr int kIntervalMs = 5;

    TickProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const Ms since{double(m_clock.nsecsElapsed()) / 1e6};
            m_clock.restart();
            m_worst = std::max(m_worst, since - Ms{kIntervalMs});
            ++m_ticks;
        });
    }
    void start()
    {
        m_worst = Ms{0};
        m_ticks = 0;
        m_clock.start();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    Ms worstLateness() const { return m_worst; }
    long ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    Ms m_worst{0};
    long m_ticks = 0;
};

// The two figures, each on a line of its own, against the 50 ms target.
inline void printStalls(const TimedApplication& app, const TickProbe& probe)
{
    std::printf("   5 ms timer: %ld ticks, worst lateness %.2f ms   (target: never > 50 ms) %s\n", probe.ticks(),
                probe.worstLateness().count(), probe.worstLateness().count() <= 50 ? "MET" : "MISSED");
    std::printf("   longest time inside event handlers without dispatching: %.2f ms (%s)\n", app.longest().count(),
                app.longestWhat().c_str());
}

// Runs the event loop until `done` holds; false on timeout.
inline bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(15))
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    bool ok = false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) {
            ok = true;
            loop.quit();
        } else if (std::chrono::steady_clock::now() >= deadline) {
            loop.quit();
        }
    });
    check.setTimerType(Qt::PreciseTimer);
    check.start(1);
    loop.exec();
    return ok;
}

inline void runFor(std::chrono::milliseconds d)
{
    QEventLoop loop;
    QTimer::singleShot(d, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace omnar::bench
