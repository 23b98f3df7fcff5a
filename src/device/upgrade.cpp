// The upgrade job of the worker (kind 2): a package's blocks written into
// the instrument one after another, each framed by mode changes.
#include "device/worker.h"

#include "res/resources.h"
#include "streamio/iostream.h"

#include <memory>

namespace Device {
namespace {

// Runs the steps; the first non-zero code ends the job.
NError_code runSteps(SJobEntry &job, CContents &contents)
{
    CQxDevice &device = *job.device;
    if (!contents.Read(*job.package))
        return Err_PackageRead;
    contents.ApplySelection(static_cast<const QList<SContentEntry> *>(job.selection));
    if (const NError_code e = device.CheckPackage(contents))
        return e;
    if (const NError_code e = device.PrepareUpgrade(contents))
        return e;
    const int count = int(contents.blocks.size());
    // Few blocks: the transfers themselves report progress; many: the job
    // reports one step per block.
    job.callback->transferProgress = count < 4;
    for (int i = 0; i < count; ++i) {
        const SBlockDescriptor &block = contents.blocks[i];
        if (!block.transfer) {
            if (const NError_code e = device.SkipBlock(block))
                return e;
            continue;
        }
        device.SetStatusSuffix(count > 1 ? QStringLiteral(" [%1/%2]").arg(i + 1).arg(count) : QString());
        if (!job.callback->transferProgress)
            job.callback->OnProgress((i + 1) * 100 / count, 1, 0);
        if (const NError_code e = device.SetModeForBlock(contents, block))
            return e;
        if (const NError_code e = device.UploadBlock(block))
            return e;
        if (const NError_code e = device.ProgramBlock(block))
            return e;
        if (const NError_code e = device.FinishBlock(contents, block))
            return e;
    }
    device.SetStatusSuffix(QString());
    return device.FinishUpgrade();
}

}   // namespace

bool QueueUpgrade(CCallback *receiver, CQxDevice *device, StreamIO::CIoStream *package,
                  const QList<SContentEntry> *selection)
{
    if (!receiver || !device || !package)
        return false;
    SJobEntry job;
    job.kind = SJobEntry::Kind_Upgrade;
    job.callback = receiver;
    job.device = device;
    job.package = package;
    job.selection = selection;
    if (QueueJob(std::move(job)))
        return true;
    delete package;   // the job took it, and it will never run
    return false;
}

void RunUpgrade(SJobEntry &job)
{
    if (!job.callback || !job.device || !job.package)
        return;
    CQxDevice &device = *job.device;
    std::unique_ptr<StreamIO::CIoStream> package(job.package);   // the job destroys it at the end
    if (!device.SetCallback(job.callback) || !device.AttachPackage(package.get())) {
        device.DetachCallback();
        job.callback->OnFinished(device.GetErrorText(Err_BadArguments), Err_BadArguments);
        return;
    }
    CContents contents;
    NError_code code;
    QString text;
    try {
        code = runSteps(job, contents);
        text = code ? device.GetErrorText(code) : QString();
    } catch (const StreamIO::StreamError &) {
        code = Err_Communication;
        text = Res::LoadString(Res::IDS_DEVERR_COMMUNICATION);
    } catch (...) {
        // Whatever went wrong, the driver is given back clean and the receiver told.
        code = Err_UploadFailed;
        text = device.GetErrorText(code);
    }
    if (code != Err_Success) {
        try {
            device.RestartSession();
        } catch (const StreamIO::StreamError &) {
        }
    }
    device.SetStatusSuffix(QString());
    device.DetachPackage();
    package.reset();
    device.DetachCallback();
    job.callback->OnFinished(text, code);
}

}   // namespace Device
