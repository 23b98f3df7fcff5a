#pragma once
// A piece of network work off the user-interface thread. Its results come
// back as queued calls to the page; Cancel sets the flag the transfer checks,
// and waiting for the thread keeps the windows painted.

#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

class CWorkTask
{
public:
    CWorkTask() = default;
    ~CWorkTask() { Stop(); }
    CWorkTask(const CWorkTask &) = delete;
    CWorkTask &operator=(const CWorkTask &) = delete;

    void Start(std::function<void()> work)
    {
        Stop();
        m_cancel = false;
        m_done = false;
        m_thread = std::thread([this, work = std::move(work)] {
            work();
            m_done = true;
        });
    }
    bool IsRunning() const { return m_thread.joinable() && !m_done.load(); }
    // Asks the work to end and waits for it.
    void Stop()
    {
        m_cancel = true;
        Wait();
    }
    // Waits for the work to end; events are served meanwhile.
    void Wait()
    {
        if (!m_thread.joinable())
            return;
        if (!m_done.load()) {
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                if (m_done.load())
                    loop.quit();
            });
            poll.start(10);
            if (!m_done.load())
                loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        m_thread.join();
    }
    const std::atomic<bool> &CancelFlag() const { return m_cancel; }
    bool IsCancelled() const { return m_cancel.load(); }

private:
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
};
