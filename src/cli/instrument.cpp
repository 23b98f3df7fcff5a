#include "cli/instrument.h"

#include "cli/commands.h"
#include "device/worker.h"
#include "res/resources.h"
#include "simlaunch.h"
#include "simulator.h"
#include "streamio/rs232stream.h"

#include <condition_variable>
#include <mutex>

namespace Cli {
namespace {

// Collects what the search reports on the worker thread; the command waits
// for the end on its own thread.
class SearchReceiver : public Device::CCallback
{
public:
    explicit SearchReceiver(Io io) : m_io(io) {}

    void OnStatus(const QString &text) override
    {
        std::lock_guard guard(m_lock);
        m_lastLine = text.section(QStringLiteral("\r\n"), -1);
        m_io.err << m_lastLine << u'\n';
        m_io.err.flush();
    }
    // The last status line: why the last port probed gave no instrument.
    QString LastLine()
    {
        std::lock_guard guard(m_lock);
        return m_lastLine;
    }

    void OnDeviceFound(Device::CQxDevice *device) override
    {
        std::lock_guard guard(m_lock);
        if (device)
            m_found.emplace_back(device);
        else
            m_done = true;
        m_changed.notify_all();
    }

    std::vector<std::unique_ptr<Device::CQxDevice>> Wait()
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [&] { return m_done; });
        return std::move(m_found);
    }

private:
    Io m_io;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_done = false;
    QString m_lastLine;
    std::vector<std::unique_ptr<Device::CQxDevice>> m_found;
};

}   // namespace

InstrumentSession::InstrumentSession(Io io) : m_io(io)
{
    Device::StartWorker();
}

InstrumentSession::~InstrumentSession()
{
    Device::StopWorker();
    VetraSim::StopOnCom1(m_simulator);
}

bool InstrumentSession::Configure(const Options &opts, bool allowAll)
{
    const bool port = opts.has(u"--port");
    const bool scan = opts.has(u"--scan");
    const bool simulate = opts.has(u"--simulate");
    if ((port && scan) || (!port && !scan && !simulate) || (opts.has(u"--all") && (!allowAll || !scan))) {
        UsageError(m_io, Res::LoadString(Res::IDS_CLI_PORT_OR_SCAN));
        return false;
    }
    m_params.type = Device::Type_Vetrameter;
    m_params.portKind = Device::Port_Serial;
    m_params.scan = scan;
    m_params.portNumber = 1;
    if (port) {
        bool ok = false;
        m_params.portNumber = opts.value(u"--port").toInt(&ok);
        if (!ok || m_params.portNumber < 1 || m_params.portNumber > 256) {
            UsageError(m_io, Res::LoadString(Res::IDS_CLI_PORT_OR_SCAN));
            return false;
        }
    }
    if (simulate) {
        VetraSim::LaunchError error = VetraSim::LaunchError::None;
        const QString file = opts.value(u"--simulate");
        m_simulator = VetraSim::StartOnCom1(file, &error);
        if (error == VetraSim::LaunchError::NoTerminal) {
            PrintError(m_io, Res::LoadString(Res::IDS_CLI_NO_SIMULATOR));
            return false;
        }
        if (error == VetraSim::LaunchError::FileUnreadable) {
            PrintError(m_io, Res::FormatString(Res::IDS_ERR_FILE_READ,
                                               {file, Res::LoadString(Res::IDS_STREAM_FILE_NOT_FOUND)}));
            return false;
        }
    }
    return true;
}

std::vector<std::unique_ptr<Device::CQxDevice>> InstrumentSession::Search(bool stopAtFirst)
{
    m_params.stopAtFirst = stopAtFirst;
    SearchReceiver receiver(m_io);
    Device::ClearAbort();
    if (!Device::QueueSearch(&receiver, &m_params))
        return {};
    auto found = receiver.Wait();
    m_lastStatus = receiver.LastLine();
    return found;
}

std::unique_ptr<Device::CVetraSmartDevice> InstrumentSession::Connect()
{
    std::vector<std::unique_ptr<Device::CQxDevice>> found = Search(true);
    for (auto &d : found) {
        if (auto *cover = dynamic_cast<Device::CVetraSmartDevice *>(d.get())) {
            d.release();
            return std::unique_ptr<Device::CVetraSmartDevice>(cover);
        }
    }
    // One port asked for: its status line says why (not there, no permission,
    // busy, another instrument). A scan's last line would name only COM256.
    QString message = Res::LoadString(Res::IDS_CLI_NO_INSTRUMENT);
    if (!m_params.scan && !m_lastStatus.isEmpty())
        message += u'\n' + m_lastStatus;
    PrintError(m_io, message);
    return nullptr;
}

QString InstrumentSession::PortName(const Device::CQxDevice &device)
{
    if (const auto *serial = dynamic_cast<const StreamIO::CRs232Stream *>(device.GetStream()))
        return QStringLiteral("COM%1").arg(serial->GetPort());
    return {};
}

}   // namespace Cli
