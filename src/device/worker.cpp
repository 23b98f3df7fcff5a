#include "device/worker.h"

#include "res/report.h"
#include "res/resources.h"
#include "streamio/filestream.h"
#include "streamio/iostream.h"
#include "streamio/usbhoststream.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace Device {
namespace {

struct Worker
{
    std::mutex lock;                // the job list, the abort flag, the probed stream
    std::condition_variable wake;   // stop or job queued
    std::condition_variable idleChanged;
    std::deque<SJobEntry> jobs;
    bool aborted = false;
    bool stop = false;
    bool idle = true;
    StreamIO::CIoStream *probed = nullptr;
    std::thread thread;
};

Worker &worker()
{
    static Worker w;
    return w;
}

// Jobs that will never run. An upgrade job owns its package and its receiver
// waits for OnFinished: both are settled here, outside the worker's lock.
void finishDropped(std::deque<SJobEntry> dropped)
{
    for (SJobEntry &job : dropped) {
        if (job.kind != SJobEntry::Kind_Upgrade)
            continue;
        delete job.package;
        if (job.callback)
            job.callback->OnFinished(Res::LoadString(Res::IDS_DEVERR_ABORTED), Err_Aborted);
    }
}

void runJob(SJobEntry &job)
{
    switch (job.kind) {
    case SJobEntry::Kind_Search: RunSearch(job); break;
    case SJobEntry::Kind_Upgrade: RunUpgrade(job); break;
    case SJobEntry::Kind_Call:
        if (job.call)
            job.call();
        break;
    default: break;
    }
}

void loop()
{
    Worker &w = worker();
    for (;;) {
        std::unique_lock guard(w.lock);
        w.aborted = false;
        w.idle = true;
        w.idleChanged.notify_all();
        w.wake.wait(guard, [&] { return w.stop || !w.jobs.empty(); });
        if (w.stop)
            return;
        w.idle = false;
        while (!w.jobs.empty()) {
            if (w.aborted) {
                std::deque<SJobEntry> dropped = std::move(w.jobs);
                w.jobs.clear();
                guard.unlock();
                finishDropped(std::move(dropped));
                guard.lock();
                break;
            }
            SJobEntry job = std::move(w.jobs.front());
            w.jobs.pop_front();
            guard.unlock();
            try {
                runJob(job);
            } catch (...) {
                // Reported once; the worker stays up for the jobs still to come.
                VETRA_REPORT(Res::ReportKind::Fatal, QStringLiteral("Unhandled exception in Device Thread."));
            }
            guard.lock();
        }
    }
}

void interrupt(StreamIO::CIoStream *stream)
{
    if (auto *file = dynamic_cast<StreamIO::CFileStream *>(stream))
        file->Interrupt();
    else if (auto *usb = dynamic_cast<StreamIO::CUsbHostStream *>(stream))
        usb->CancelTransfer();
}

void interruptProbedLocked(Worker &w)
{
    interrupt(w.probed);
}

}   // namespace

bool StartWorker()
{
    Worker &w = worker();
    std::deque<SJobEntry> dropped;
    bool started = true;
    {
        std::lock_guard guard(w.lock);
        dropped = std::move(w.jobs);
        w.jobs.clear();
        w.stop = false;
        w.idle = true;
        if (!w.thread.joinable()) {
            try {
                w.thread = std::thread(loop);
            } catch (const std::system_error &) {
                started = false;
            }
        }
    }
    finishDropped(std::move(dropped));
    return started;
}

bool QueueJob(SJobEntry job)
{
    Worker &w = worker();
    {
        std::lock_guard guard(w.lock);
        if (!w.thread.joinable() || w.stop)
            return false;
        w.jobs.push_back(std::move(job));
        w.idle = false;
    }
    w.wake.notify_all();
    return true;
}

bool QueueCall(std::function<void()> call)
{
    SJobEntry job;
    job.kind = SJobEntry::Kind_Call;
    job.call = std::move(call);
    return QueueJob(std::move(job));
}

bool QueueSearch(CCallback *receiver, const SSearchParams *params)
{
    if (!receiver || !params)
        return false;
    SJobEntry job;
    job.kind = SJobEntry::Kind_Search;
    job.callback = receiver;
    job.type = params->type;
    job.portKind = params->portKind;
    job.scan = params->scan;
    job.stopAtFirst = params->stopAtFirst;
    job.portNumber = params->portNumber;
    job.address = params->address;
    return QueueJob(std::move(job));
}

void AbortJobs(int waitMs)
{
    Worker &w = worker();
    std::unique_lock guard(w.lock);
    w.aborted = true;
    interruptProbedLocked(w);
    if (waitMs != 0) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs);
        w.idleChanged.wait_until(guard, until, [&] { return w.idle; });
    }
}

void ClearAbort()
{
    Worker &w = worker();
    std::lock_guard guard(w.lock);
    w.aborted = false;
}

bool IsAborted()
{
    Worker &w = worker();
    std::lock_guard guard(w.lock);
    return w.aborted;
}

bool IsWorkerIdle()
{
    Worker &w = worker();
    std::lock_guard guard(w.lock);
    return w.idle;
}

bool IsWorkerRunning()
{
    Worker &w = worker();
    std::lock_guard guard(w.lock);
    return w.thread.joinable() && !w.stop;
}

bool WorkerAbortTest(int)
{
    return IsAborted();
}

void SetProbedStream(StreamIO::CIoStream *stream)
{
    Worker &w = worker();
    std::lock_guard guard(w.lock);
    w.probed = stream;
    if (w.aborted)
        interrupt(stream);
}

bool StopWorker()
{
    Worker &w = worker();
    std::deque<SJobEntry> dropped;
    {
        std::lock_guard guard(w.lock);
        w.stop = true;
        w.aborted = true;
        dropped = std::move(w.jobs);
        w.jobs.clear();
        interruptProbedLocked(w);
    }
    finishDropped(std::move(dropped));
    w.wake.notify_all();
    // Every wait of a job is bounded or broken off above, so the join ends;
    // no thread may outlive the stream layer.
    if (w.thread.joinable())
        w.thread.join();
    std::lock_guard guard(w.lock);
    w.stop = false;
    w.aborted = false;
    w.idle = true;
    return true;
}

}   // namespace Device
