// The search for instruments over ports: a job of the worker thread.
#include "device/worker.h"

#include "res/resources.h"
#include "streamio/rs232stream.h"
#include "streamio/streamtable.h"
#include "streamio/usbhoststream.h"

#include <memory>

using namespace StreamIO;

namespace Device {
namespace {

constexpr std::uint32_t kLastSerialPort = 256;
constexpr int kIpPort = 3728;

class Search
{
public:
    explicit Search(SJobEntry &job) : m_job(job), m_device(CreateDevice(job.type)) {}

    void Run()
    {
        switch (m_job.portKind) {
        case Port_Serial: serial(); break;
        case Port_Usb: usb(); break;
        case Port_Ip: ip(); break;
        default: break;
        }
        if (!IsAborted() && m_job.callback)
            m_job.callback->OnDeviceFound(nullptr);
    }

private:
    void report()
    {
        if (!IsAborted() && m_job.callback)
            m_job.callback->OnStatus(m_status);
    }

    void append(const QString &text) { m_status += QStringLiteral("\r\n") + text; }

    void handOver()
    {
        CQxDevice *device = m_device.release();
        if (IsAborted() || !m_job.callback)
            delete device;
        else
            m_job.callback->OnDeviceFound(device);
        m_found = true;
    }

    // A fresh driver for every candidate after one was handed over.
    bool ensureDevice()
    {
        if (!m_device)
            m_device.reset(CreateDevice(m_job.type));
        return m_device != nullptr;
    }

    // The stream was opened: connect, identify, hand over or close.
    void probe(std::unique_ptr<CIoStream> stream, NPorts kind)
    {
        CIoStream *probed = stream.get();
        if (!m_device->Connect(stream.get(), kind))
            return;
        stream.release();   // the driver owns it now
        SetProbedStream(probed);
        bool identified = false;
        SDeviceInfo info;
        try {
            identified = m_device->Identify(info);
        } catch (const StreamError &) {
            // The link went away while it answered (an adapter pulled out):
            // not identified, and the search goes on.
        }
        SetProbedStream(nullptr);
        if (identified) {
            append(Res::FormatString(Res::IDS_SEARCH_FOUND, {info.typeName, info.serialNumber}));
            report();
            handOver();
        } else {
            append(Res::LoadString(Res::IDS_SEARCH_NOT_FOUND));
            report();
            delete m_device->Disconnect();
        }
    }

    void serial()
    {
        std::uint32_t port = m_job.scan ? 0 : std::uint32_t(std::max(m_job.portNumber, 0));
        do {
            if (m_job.scan)
                ++port;
            if (!ensureDevice())
                return;
            m_status = Res::FormatString(Res::IDS_SEARCH_ON,
                                         {m_device->GetTypeName(), Res::LoadString(Res::IDS_SEARCH_SERIAL)
                                                                       + QStringLiteral(" COM%1:").arg(port)});
            report();
            auto stream = std::make_unique<CRs232Stream>();
            QString why;
            try {
                if (!stream->OpenPort(port, SO_READ | SO_WRITE, m_device->GetLineSettings()))
                    why = StreamError(stream->GetErrorCode(), QStringLiteral("COM%1").arg(port)).message();
            } catch (const StreamError &e) {
                why = e.message();
            }
            if (why.isEmpty()) {
                probe(std::move(stream), Port_Serial);
            } else {
                // The device path and the reason: "could not open port." alone
                // leaves the user guessing (no such device, no permission, busy).
                append(Res::LoadString(Res::IDS_SEARCH_CANNOT_OPEN) + u' ' + why);
                report();
            }
        } while (!IsAborted() && port < kLastSerialPort && m_job.scan && (!m_job.stopAtFirst || !m_found));
    }

    void usb()
    {
        if (!ensureDevice())
            return;
        m_status = Res::FormatString(Res::IDS_SEARCH_ON,
                                     {m_device->GetTypeName(), Res::LoadString(Res::IDS_SEARCH_USB)});
        report();
        QStringList devices;
        if (EnumerateUsbDevices(devices) != 0)
            return;
        for (const QString &path : devices) {
            if (IsAborted() || !ensureDevice())
                return;
            auto stream = std::make_unique<CUsbHostStream>();
            try {
                stream->Open(path, SO_READ | SO_WRITE);
            } catch (const StreamError &) {
                append(path);
                report();
                continue;
            }
            probe(std::move(stream), Port_Usb);
        }
    }

    void ip()
    {
        if (!ensureDevice())
            return;
        m_status = Res::FormatString(
            Res::IDS_SEARCH_ON,
            {m_device->GetTypeName(), Res::LoadString(Res::IDS_SEARCH_ETHERNET) + u' ' + m_job.address});
        report();
        try {
            std::unique_ptr<CIoStream> stream(
                OpenStream(QStringLiteral("IP:%1:%2").arg(m_job.address).arg(kIpPort), SO_READ | SO_WRITE));
            probe(std::move(stream), Port_Ip);
        } catch (const StreamError &e) {
            append(Res::LoadString(Res::IDS_SEARCH_CANNOT_OPEN) + u' ' + e.message());
            report();
        }
    }

    SJobEntry &m_job;
    std::unique_ptr<CQxDevice> m_device;
    QString m_status;
    bool m_found = false;
};

}   // namespace

void RunSearch(SJobEntry &job)
{
    Search(job).Run();
}

}   // namespace Device
