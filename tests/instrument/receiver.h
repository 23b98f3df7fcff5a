#pragma once
// Records what a worker job reports, from the worker thread, and lets a test
// wait for the end of a search or an upgrade.

#include "device/callback.h"
#include "device/qxdevice.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

class RecordingReceiver : public Device::CCallback
{
public:
    void OnStatus(const QString &text) override
    {
        {
            std::lock_guard guard(lock);
            statuses.append(text);
        }
        changed.notify_all();
        if (throwOnStatus)
            throw std::runtime_error("receiver failed");
    }
    void OnDeviceFound(Device::CQxDevice *device) override
    {
        std::lock_guard guard(lock);
        if (device)
            found.emplace_back(device);
        else
            ++ends;
        changed.notify_all();
    }
    void OnProgress(int percent, int kind, int) override
    {
        std::lock_guard guard(lock);
        progress.append({percent, kind});
    }
    void OnFinished(const QString &text, int code) override
    {
        std::lock_guard guard(lock);
        finishedText = text;
        finishedCode = code;
        ++finished;
        changed.notify_all();
    }

    // The end of a search (its final null report).
    bool WaitForEnd(int count = 1)
    {
        return waitFor([&] { return ends >= count; });
    }
    // The end of an upgrade.
    bool WaitForFinish()
    {
        return waitFor([&] { return finished > 0; });
    }
    int EndCount()
    {
        std::lock_guard guard(lock);
        return ends;
    }

    std::mutex lock;
    std::condition_variable changed;
    QStringList statuses;
    std::vector<std::unique_ptr<Device::CQxDevice>> found;
    QList<QPair<int, int>> progress;
    int ends = 0;
    QString finishedText;
    int finishedCode = -1;
    int finished = 0;
    bool throwOnStatus = false;

private:
    template <class Done>
    bool waitFor(Done done)
    {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(60), done);
    }
};
