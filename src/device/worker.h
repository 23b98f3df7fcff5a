#pragma once
// The instrument worker: one process-wide thread that runs queued jobs (the
// search for instruments) one after another and reports through CCallback.

#include "device/callback.h"
#include "device/qxdevice.h"

#include <QString>

#include <functional>

namespace StreamIO {
class CFileStream;
class CIoStream;
}   // namespace StreamIO

namespace Device {

struct SJobEntry
{
    enum NKind : std::int32_t { Kind_None = 0, Kind_Search = 1, Kind_Upgrade = 2, Kind_Call = 3 };

    std::int32_t kind = Kind_None;
    CCallback *callback = nullptr;
    NTypes type = Type_None;
    NPorts portKind = Port_None;
    bool scan = false;
    bool stopAtFirst = true;
    std::int32_t portNumber = 1;
    QString address;
    CQxDevice *device = nullptr;              // upgrade: the connected driver
    StreamIO::CIoStream *package = nullptr;   // upgrade: the firmware package
    const void *selection = nullptr;          // upgrade: the chosen package entries
    std::function<void()> call;               // call: the work itself
};

bool StartWorker();
bool QueueSearch(CCallback *receiver, const SSearchParams *params);
// Writes `package` into the connected `device`; the job takes the package
// (and destroys it at the end) and reports with OnFinished. `selection` may
// leave content entries out; it must live until the job ended.
bool QueueUpgrade(CCallback *receiver, CQxDevice *device, StreamIO::CIoStream *package,
                  const QList<SContentEntry> *selection = nullptr);
// False when the worker is not running: a job queued then would never run.
bool QueueJob(SJobEntry job);
// Runs `call` on the worker after the jobs queued before it.
bool QueueCall(std::function<void()> call);
// Asks the running job to stop (a read it waits in is broken off) and drops
// queued jobs; with waitMs, waits that long for the worker to become idle.
void AbortJobs(int waitMs);
void ClearAbort();
bool IsAborted();
// Aborts, breaks any blocked read and joins the thread: no job runs after it.
bool StopWorker();
bool IsWorkerIdle();
bool IsWorkerRunning();

// The command engine's abort test.
bool WorkerAbortTest(int userValue);

// The jobs (worker thread).
void RunSearch(SJobEntry &job);
void RunUpgrade(SJobEntry &job);

// The stream a job is waiting on, so that an abort can break the wait (serial
// and USB pipe streams can be broken off). The job sets it before a blocking
// use and clears it before destroying the stream.
void SetProbedStream(StreamIO::CIoStream *stream);

}   // namespace Device
