#pragma once

#include <QList>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Now on the monotonic clock, in nanoseconds.
inline qint64 monotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Tells the machine's own pauses from the program's. One thread per CPU, pinned to it and at
// real-time priority where that is allowed, wakes every millisecond and notes each time it woke
// over 3 ms late. Such a thread goes before everything else on its CPU: when it wakes 20 ms
// late, the CPU itself did not run (a virtual machine's host held it), whatever the program did.
class MachinePauses {
public:
    struct Pause {
        int cpu;
        qint64 from; // when the thread was due, monotonic ns
        qint64 to;   // when it woke
    };

    MachinePauses() {
        const long cpus = std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN));
        for (int cpu = 0; cpu < cpus; ++cpu)
            threads_.emplace_back([this, cpu] { watch(cpu); });
    }
    ~MachinePauses() { stop(); }
    MachinePauses(const MachinePauses&) = delete;
    MachinePauses& operator=(const MachinePauses&) = delete;

    void stop() {
        stop_ = true;
        for (std::thread& t : threads_) {
            if (t.joinable())
                t.join();
        }
    }
    // Whether every watcher got real-time priority; without it a watcher can be late because
    // of the program too, and the pauses it notes prove nothing.
    bool realTime() const { return realTimeDenied_ == 0; }
    QList<Pause> pauses() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return pauses_;
    }
    // The longest stretch of [from, to] that one pause on one of the CPUs `cpus` covers.
    qint64 longestCover(qint64 from, qint64 to, std::initializer_list<int> cpus) const {
        qint64 longest = 0;
        for (const Pause& p : pauses()) {
            if (std::find(cpus.begin(), cpus.end(), p.cpu) != cpus.end())
                longest = std::max(longest, std::min(to, p.to) - std::max(from, p.from));
        }
        return longest;
    }

private:
    void watch(int cpu) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        sched_param priority{};
        priority.sched_priority = 1;
        if (::pthread_setaffinity_np(::pthread_self(), sizeof set, &set) != 0 ||
            ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &priority) != 0)
            ++realTimeDenied_;
        qint64 due = monotonicNs();
        while (!stop_) {
            due += 1000000;
            const timespec at{time_t(due / 1000000000LL), long(due % 1000000000LL)};
            ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            const qint64 woke = monotonicNs();
            if (woke - due > 3000000) {
                std::lock_guard<std::mutex> lock(mutex_);
                pauses_.append({cpu, due, woke});
            }
            if (woke - due > 1000000)
                due = woke; // the next is a millisecond from now
        }
    }

    std::vector<std::thread> threads_;
    std::atomic<bool> stop_{false};
    std::atomic<int> realTimeDenied_{0};
    mutable std::mutex mutex_;
    QList<Pause> pauses_;
};
