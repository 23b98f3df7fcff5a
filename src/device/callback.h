#pragma once
// CCallback: how the instrument layer reports to whoever waits for it —
// found instruments, status lines, progress and the end of a job.

#include <QString>

namespace Device {

class CQxDevice;

class CCallback
{
public:
    virtual ~CCallback() = default;
    // A found instrument (the receiver owns it), or null when the search ends.
    virtual void OnDeviceFound(CQxDevice *device);   // by default the found driver is dropped
    virtual void OnStatus(const QString &text) { (void)text; }
    virtual void OnFinished(int result) { (void)result; }
    // `percent` 0..100; `kind` 1 for transfers.
    virtual void OnProgress(int percent, int kind) { (void)percent; (void)kind; }
    // Progress is only reported to an active receiver.
    virtual bool IsActive() { return true; }
};

} // namespace Device
