#pragma once
// A page's worker thread of one kind. Starting a new one asks the running one to stop and
// waits for it; so does destruction. Workers check their stop token between sends and sleep
// through SleepFor so that a stop never waits for a pause to run out.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

class CPageWorker {
  public:
    using Body = std::function<void(std::stop_token)>;

    CPageWorker() = default;
    ~CPageWorker() { Stop(); }
    CPageWorker(const CPageWorker&) = delete;
    CPageWorker& operator=(const CPageWorker&) = delete;

    void Start(Body body) {
        Stop();
        m_thread = std::jthread(std::move(body));
    }
    // Asks the worker to stop and joins it; nothing happens when none runs.
    void Stop() {
        if (!m_thread.joinable()) return;
        m_thread.request_stop();
        m_thread.join();
    }
    // Joins a worker that ends by itself.
    void Join() {
        if (m_thread.joinable()) m_thread.join();
    }
    bool Joinable() const { return m_thread.joinable(); }

    // Sleeps `duration` unless a stop is asked for first; false when stopped.
    static bool SleepFor(std::stop_token token, std::chrono::milliseconds duration) {
        std::mutex m;
        std::condition_variable_any cv;
        std::unique_lock lock(m);
        cv.wait_for(lock, token, duration, [] { return false; });
        return !token.stop_requested();
    }

  private:
    std::jthread m_thread;
};
