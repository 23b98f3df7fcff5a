#include "instrument/instrumentservice.h"

#include "device/vetrasmartdevice.h"
#include "device/worker.h"
#include "streamio/portmap.h"
#include "streamio/rs232stream.h"
#include "streamio/streamerror.h"

#include <QCoreApplication>
#include <QEvent>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace Instrument {

using Device::CQxDevice;
using Device::CVetraSmartDevice;

// The end of one call: the destructor waits on it, so that no work posts to
// a service that is gone.
struct CInstrumentService::SJob
{
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;

    void MarkDone()
    {
        std::lock_guard guard(lock);
        done = true;
        ended.notify_all();
    }
    bool WaitDone(std::chrono::milliseconds limit)
    {
        std::unique_lock guard(lock);
        return ended.wait_for(guard, limit, [this] { return done; });
    }
};

// Lives in the queued job and goes with it. Whether the worker ran the call
// or dropped it unrun (stopped, aborted), the service hears of the call's end
// exactly once, and the job is marked done only after that last post.
class CInstrumentService::CCallEnd
{
public:
    CCallEnd(CInstrumentService *service, NCall call, std::uint64_t number, std::shared_ptr<SJob> job)
        : m_service(service), m_call(call), m_number(number), m_job(std::move(job))
    {
    }
    ~CCallEnd()
    {
        if (!m_delivered) {
            SCallResult dropped;
            dropped.call = m_call;
            dropped.cancelled = true;
            Deliver(std::move(dropped));
        }
        m_job->MarkDone();
    }
    CCallEnd(const CCallEnd &) = delete;
    CCallEnd &operator=(const CCallEnd &) = delete;

    std::uint64_t Number() const { return m_number; }
    CInstrumentService *Service() const { return m_service; }

    void Deliver(SCallResult result)
    {
        m_delivered = true;
        result.call = m_call;
        result.cancelled = result.cancelled || Device::IsAborted();
        Post([number = m_number, result = std::move(result)](CInstrumentService &s) mutable {
            s.finish(number, std::move(result));
        });
    }
    // Runs `f` on the service's thread, unless the service is gone by then.
    template <typename F>
    void Post(F f)
    {
        CInstrumentService *service = m_service;
        QMetaObject::invokeMethod(
            service, [service, f = std::move(f)]() mutable { f(*service); }, Qt::QueuedConnection);
    }

private:
    CInstrumentService *m_service;
    NCall m_call;
    std::uint64_t m_number;
    std::shared_ptr<SJob> m_job;
    bool m_delivered = false;
};

namespace {

void linkLost(SCallResult &result, const StreamIO::StreamError &e)
{
    result.ok = false;
    result.failure = Device::SFailure();
    result.failure.cause = Device::NFailureCause::LinkLost;
    result.failure.streamCode = e.code();
    result.failure.streamText = e.message();
}

QString portText(const CQxDevice &device)
{
    const QString name = device.GetStreamName();
    if (const auto *serial = dynamic_cast<const StreamIO::CRs232Stream *>(device.GetStream()))
        return QStringLiteral("COM%1 (%2)").arg(serial->GetPort()).arg(name);
    if (name.startsWith(u"IP:"))
        return name.left(name.lastIndexOf(u':'));
    return name;
}

// The driver's reports during a call, from the worker to the service's thread.
template <typename Post>
class CProgressRelay : public Device::CCallback
{
public:
    explicit CProgressRelay(Post post) : m_post(std::move(post)) {}
    void OnProgress(int percent, int, int) override { m_post(percent); }

private:
    Post m_post;
};

// The search's receiver: each instrument found is checked and described here,
// on the worker, before it goes to the service.
template <typename Status, typename Found, typename Bad>
class CSearchReceiver : public Device::CCallback
{
public:
    CSearchReceiver(Status status, Found found, Bad bad)
        : m_status(std::move(status)), m_found(std::move(found)), m_bad(std::move(bad))
    {
    }
    void OnStatus(const QString &text) override { m_status(text); }
    void OnDeviceFound(CQxDevice *device) override
    {
        std::unique_ptr<CQxDevice> owned(device);
        if (!owned)
            return;   // the search ended: the call's end says so
        Device::SDeviceInfo info;
        bool answered = false;
        try {
            answered = owned->QuickIdentify(info);
        } catch (const StreamIO::StreamError &) {
        }
        if (!answered) {
            m_bad();
            return;   // its port closes here
        }
        SFoundInstrument found;
        found.typeName = info.typeName;
        found.serialNumber = info.serialNumber;
        if (const auto *serial = dynamic_cast<const StreamIO::CRs232Stream *>(owned->GetStream()))
            found.comPort = int(serial->GetPort());
        found.streamName = owned->GetStreamName();
        found.infoText = owned->GetInfoText();
        m_found(std::move(owned), std::move(found));
    }

private:
    Status m_status;
    Found m_found;
    Bad m_bad;
};

// Runs one exchange on the held driver's stream so that Cancel can break off
// a wait in it, and turns a stream failure into the call's cause.
template <typename Exchange>
void exchange(CVetraSmartDevice &device, SCallResult &result, Exchange run)
{
    Device::SetProbedStream(device.GetStream());
    try {
        run();
    } catch (const StreamIO::StreamError &e) {
        linkLost(result, e);
    } catch (...) {
        result.ok = false;   // a failure without a known cause
    }
    Device::SetProbedStream(nullptr);
}

constexpr auto kShutdownWait = std::chrono::seconds(30);

}   // namespace

CInstrumentService::CInstrumentService(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<SFoundInstrument>();
    qRegisterMetaType<SCallResult>();
}

CInstrumentService::~CInstrumentService()
{
    StopAndWait();
    m_candidates.clear();
    m_device.reset();   // the driver closes its port
}

QString CInstrumentService::InstrumentPort() const
{
    return m_device ? m_port : QString();
}

QString CInstrumentService::InstrumentDevice() const
{
    return m_device ? m_device->GetStreamName() : QString();
}

QString CInstrumentService::PortText(const QString &devicePath)
{
    const std::uint32_t port = StreamIO::PortOfDevice(devicePath);
    return port ? QStringLiteral("COM%1 (%2)").arg(port).arg(devicePath) : devicePath;
}

std::uint32_t CInstrumentService::PortMask(Device::NTypes type)
{
    const std::unique_ptr<CQxDevice> device(Device::CreateDevice(type));
    return device ? device->GetPortMask() : 0;
}

bool CInstrumentService::queue(NCall call, std::function<void(CCallEnd &)> work)
{
    if (IsBusy() || !Device::IsWorkerRunning())
        return false;
    const std::uint64_t number = m_callNumber + 1;
    auto job = std::make_shared<SJob>();
    // Only the queued job holds the end: when the worker lets go of it, run
    // or dropped, the service hears of it.
    auto end = std::make_shared<CCallEnd>(this, call, number, job);
    Device::ClearAbort();   // an earlier Cancel must not drop this call
    if (!Device::QueueCall([end = std::move(end), work = std::move(work)] { work(*end); })) {
        return false;
    }
    m_callNumber = number;
    m_cancelled = false;
    m_running = call;
    m_job = std::move(job);
    Q_EMIT BusyChanged(true);
    return true;
}

void CInstrumentService::finish(std::uint64_t number, SCallResult result)
{
    if (number != m_callNumber || m_running == NCall::None)
        return;
    m_running = NCall::None;
    m_job.reset();
    if (std::exchange(m_unplugged, false)) {
        // Broken off because the device went: that is the cause, not the
        // user's Cancel. A transfer that ended whole just before keeps its result.
        if (result.cancelled || !result.ok) {
            result.ok = false;
            result.cancelled = false;
            result.objects.clear();
            result.failure = Device::SFailure();
            result.failure.cause = Device::NFailureCause::Unplugged;
            result.failure.streamText = m_port;
        }
        letGo();
    } else {
        result.cancelled = result.cancelled || m_cancelled;
        // A wait broken off leaves the held stream unusable: let it go.
        if (result.cancelled && result.call != NCall::Search && result.call != NCall::Probe)
            m_device.reset();
    }
    Q_EMIT BusyChanged(false);
    Q_EMIT Finished(result);
}

bool CInstrumentService::Identify()
{
    if (!m_device)
        return false;
    CVetraSmartDevice *device = m_device.get();
    return queue(NCall::Identify, [device](CCallEnd &end) {
        SCallResult result;
        exchange(*device, result, [&] {
            Device::SDeviceInfo info;
            result.ok = device->Identify(info);
            result.failure = device->LastFailure();
        });
        end.Deliver(std::move(result));
    });
}

bool CInstrumentService::Download()
{
    if (!m_device)
        return false;
    CVetraSmartDevice *device = m_device.get();
    return queue(NCall::Download, [device](CCallEnd &end) {
        // Progress goes to the bar without waiting for the service's thread.
        auto post = [&end](int percent) {
            end.Post([number = end.Number(), percent](CInstrumentService &s) {
                if (s.current(number))
                    Q_EMIT s.Progress(percent * 10);
            });
        };
        CProgressRelay<decltype(post)> relay(post);
        device->SetCallback(&relay);
        SCallResult result;
        exchange(*device, result, [&] {
            Device::STransferContainer container;
            result.ok = device->DownloadObjects(container, CVetraSmartDevice::kDownloadBaud, true);
            result.failure = device->LastFailure();
            if (result.ok)
                result.objects = std::move(container.objects);
        });
        device->DetachCallback();
        end.Deliver(std::move(result));
    });
}

bool CInstrumentService::DeleteAll()
{
    if (!m_device)
        return false;
    CVetraSmartDevice *device = m_device.get();
    return queue(NCall::DeleteAll, [device](CCallEnd &end) {
        SCallResult result;
        result.code = Device::Err_Communication;
        exchange(*device, result, [&] {
            result.code = device->DeleteAllObjects();
            result.ok = result.code == Device::Err_Success;
            result.failure = device->LastFailure();
        });
        end.Deliver(std::move(result));
    });
}

bool CInstrumentService::Search(const Device::SSearchParams &params)
{
    if (IsBusy())
        return false;
    DropCandidates();
    return queue(NCall::Search, [params](CCallEnd &end) {
        const std::uint64_t number = end.Number();
        auto status = [&end, number](const QString &text) {
            end.Post([number, text](CInstrumentService &s) {
                if (s.current(number))
                    Q_EMIT s.SearchStatus(text);
            });
        };
        auto found = [&end, number](std::unique_ptr<CQxDevice> device, SFoundInstrument description) {
            // Should the post be dropped (the service gone), the holder closes the port.
            auto holder = std::make_shared<std::unique_ptr<CQxDevice>>(std::move(device));
            end.Post([number, holder, description](CInstrumentService &s) {
                s.found(number, std::move(*holder), description);
            });
        };
        auto bad = [&end, number] {
            end.Post([number](CInstrumentService &s) {
                if (s.current(number))
                    Q_EMIT s.BadConnection();
            });
        };
        CSearchReceiver<decltype(status), decltype(found), decltype(bad)> receiver(status, found, bad);
        Device::SJobEntry job;
        job.kind = Device::SJobEntry::Kind_Search;
        job.callback = &receiver;
        job.type = params.type;
        job.portKind = params.portKind;
        job.scan = params.scan;
        job.stopAtFirst = params.stopAtFirst;
        job.portNumber = params.portNumber;
        job.address = params.address;
        Device::RunSearch(job);
        SCallResult result;
        result.call = NCall::Search;
        result.ok = true;
        end.Deliver(std::move(result));
    });
}

bool CInstrumentService::Probe(const QString &devicePath)
{
    if (IsBusy() || devicePath.isEmpty() || devicePath == InstrumentDevice())
        return false;
    const std::uint32_t port = StreamIO::PortOfDevice(devicePath);
    if (port == 0)
        return false;
    return queue(NCall::Probe, [port](CCallEnd &end) {
        const std::uint64_t number = end.Number();
        bool arrived = false;
        auto found = [&end, number, &arrived](std::unique_ptr<CQxDevice> device, SFoundInstrument description) {
            arrived = true;
            auto holder = std::make_shared<std::unique_ptr<CQxDevice>>(std::move(device));
            end.Post([number, holder, description](CInstrumentService &s) {
                s.probed(number, std::move(*holder), description);
            });
        };
        // Nobody watches a probe's search texts: the result is the arrival or none.
        auto status = [](const QString &) {};
        auto bad = [] {};
        CSearchReceiver<decltype(status), decltype(found), decltype(bad)> receiver(status, found, bad);
        Device::SJobEntry job;
        job.kind = Device::SJobEntry::Kind_Search;
        job.callback = &receiver;
        job.type = Device::Type_Vetrameter;
        job.portKind = Device::Port_Serial;
        job.scan = false;
        job.stopAtFirst = true;
        job.portNumber = int(port);
        Device::RunSearch(job);
        SCallResult result;
        result.ok = arrived;
        end.Deliver(std::move(result));
    });
}

void CInstrumentService::probed(std::uint64_t number, std::unique_ptr<CQxDevice> device, SFoundInstrument description)
{
    if (!current(number) || !dynamic_cast<CVetraSmartDevice *>(device.get()))
        return;   // its port closes
    hold(std::unique_ptr<CVetraSmartDevice>(static_cast<CVetraSmartDevice *>(device.release())),
         description.typeName + u' ' + description.serialNumber);
    Q_EMIT InstrumentArrived(description);
}

void CInstrumentService::DeviceGone(const QString &devicePath)
{
    if (devicePath.isEmpty() || devicePath != InstrumentDevice())
        return;
    // A search or a probe does not use the held driver; the other calls do,
    // and finish() lets it go once the call has been broken off.
    if (IsBusy() && m_running != NCall::Search && m_running != NCall::Probe) {
        m_unplugged = true;
        Cancel();
        return;
    }
    letGo();
}

void CInstrumentService::found(std::uint64_t number, std::unique_ptr<CQxDevice> device, SFoundInstrument description)
{
    if (!current(number) || !device)
        return;   // a cancelled search's find: its port closes
    description.id = ++m_nextCandidate;
    m_candidates.emplace(description.id, std::move(device));
    m_candidateNames.emplace(description.id, description.typeName + u' ' + description.serialNumber);
    Q_EMIT InstrumentFound(description);
}

void CInstrumentService::Cancel()
{
    if (!IsBusy())
        return;
    m_cancelled = true;
    Device::AbortJobs(0);
}

void CInstrumentService::StopAndWait()
{
    if (!IsBusy())
        return;
    Cancel();
    if (m_job)
        m_job->WaitDone(kShutdownWait);
    // Its end was posted before it was marked done: take it now.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (IsBusy()) {
        m_running = NCall::None;   // a worker that never answered: forget the call
        Q_EMIT BusyChanged(false);
    }
}

bool CInstrumentService::Adopt(int id)
{
    if (IsBusy())
        return false;
    const auto it = m_candidates.find(id);
    if (it == m_candidates.end() || !dynamic_cast<CVetraSmartDevice *>(it->second.get()))
        return false;
    std::unique_ptr<CVetraSmartDevice> chosen(static_cast<CVetraSmartDevice *>(it->second.release()));
    const QString name = m_candidateNames[id];
    DropCandidates();
    hold(std::move(chosen), name);
    return true;
}

void CInstrumentService::DropCandidates()
{
    m_candidates.clear();
    m_candidateNames.clear();
}

bool CInstrumentService::Release()
{
    if (IsBusy())
        return false;
    m_device.reset();
    m_port.clear();
    m_name.clear();
    return true;
}

bool CInstrumentService::TakeInstrument(std::unique_ptr<CVetraSmartDevice> device)
{
    if (IsBusy())
        return false;
    hold(std::move(device));
    return true;
}

void CInstrumentService::hold(std::unique_ptr<CVetraSmartDevice> device, const QString &name)
{
    m_device = std::move(device);
    m_port = m_device ? portText(*m_device) : QString();
    m_name = name;
}

void CInstrumentService::letGo()
{
    if (!m_device)
        return;
    const QString name = m_name.isEmpty() ? m_device->GetTypeName() : m_name;
    const QString port = m_port;
    m_device.reset();
    m_port.clear();
    m_name.clear();
    Q_EMIT InstrumentGone(name, port);
}

}   // namespace Instrument
