#pragma once
// CCallback: how the instrument layer reports to whoever waits for it —
// found instruments, status lines, the end of a job and progress. The worker
// thread calls it from its own thread; a window turns the calls into queued
// invocations on the user-interface thread.

#include <QString>

namespace Device {

class CQxDevice;

class CCallback
{
public:
    virtual ~CCallback() = default;
    // A found instrument, still connected (the receiver owns it); null when
    // the search has ended. By default the driver is dropped.
    virtual void OnDeviceFound(CQxDevice *device);
    virtual void OnStatus(const QString &text) { (void)text; }
    // An upgrade job ended: empty text and 0 on success.
    virtual void OnFinished(const QString &text, int code)
    {
        (void)text;
        (void)code;
    }
    // `percent` 0..100; `kind` 1 for transfers and blocks, 2 for S-record uploads;
    // `extra` a time estimate when an operation announces a wait, else 0.
    virtual void OnProgress(int percent, int kind, int extra)
    {
        (void)percent;
        (void)kind;
        (void)extra;
    }

    // Progress from inside a single transfer is reported only when set.
    bool transferProgress = true;
};

}   // namespace Device
