#include "shell/vetraconnection.h"

#include "instrument/devicemonitor.h"
#include "instrument/instrumentservice.h"
#include "res/resources.h"

#include <QApplication>
#include <QTimer>

#include <utility>

using Instrument::NCall;

CVetraConnection::CVetraConnection(Instrument::CInstrumentService &service, QObject *parent)
    : QObject(parent), m_service(service)
{
    connect(&m_service, &Instrument::CInstrumentService::Finished, this, &CVetraConnection::identified);
    connect(&m_service, &Instrument::CInstrumentService::Finished, this, &CVetraConnection::probed);
    connect(&m_service, &Instrument::CInstrumentService::InstrumentArrived, this, &CVetraConnection::arrived);
    connect(&m_service, &Instrument::CInstrumentService::InstrumentGone, this,
            [this](const QString &name, const QString &port) {
                Q_EMIT DeviceNotice(Res::FormatString(Res::IDS_DEVICE_GONE, {name, port}));
            });
    // After the call's own Finished handlers, which may start the next call.
    connect(&m_service, &Instrument::CInstrumentService::BusyChanged, this, [this](bool busy) {
        if (!busy && !m_toProbe.isEmpty())
            QTimer::singleShot(0, this, &CVetraConnection::probeNext);
    });
}

bool CVetraConnection::ConnectInstrument(Then then)
{
    if (m_then || m_service.IsBusy())
        return false;
    m_then = std::move(then);
    if (m_service.HasInstrument() && m_service.Identify()) {
        m_identifying = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return true;
    }
    runWizardThen();
    return true;
}

void CVetraConnection::identified(const Instrument::SCallResult &result)
{
    if (result.call != NCall::Identify || !m_identifying)
        return;
    m_identifying = false;
    QApplication::restoreOverrideCursor();
    if (result.cancelled) {
        m_then = nullptr;   // the program is closing
        return;
    }
    if (!result.ok)
        m_service.Release();
    // Not from inside the service's signal: the wizard is modal.
    QMetaObject::invokeMethod(this, &CVetraConnection::runWizardThen, Qt::QueuedConnection);
}

void CVetraConnection::runWizardThen()
{
    if (!m_service.HasInstrument() && m_wizard)
        m_wizard();
    Then then = std::move(m_then);
    m_then = nullptr;
    const bool connected = m_service.HasInstrument();
    // Still "connecting" while `then` runs, so no second command slips in.
    m_then = [](bool) {};
    if (then)
        then(connected);
    m_then = nullptr;
    if (!m_toProbe.isEmpty())
        QTimer::singleShot(0, this, &CVetraConnection::probeNext);
}

bool CVetraConnection::DisconnectInstrument()
{
    return m_service.Release();
}

void CVetraConnection::WatchDevices(std::unique_ptr<Instrument::IDeviceEventSource> source)
{
    if (!source)
        return;
    auto *monitor = new Instrument::CDeviceMonitor(std::move(source), this);
    connect(monitor, &Instrument::CDeviceMonitor::Appeared, this, &CVetraConnection::deviceAppeared);
    connect(monitor, &Instrument::CDeviceMonitor::Gone, this, &CVetraConnection::deviceGone);
}

void CVetraConnection::deviceAppeared(const QString &path)
{
    if (!m_toProbe.contains(path))
        m_toProbe.append(path);
    probeNext();
}

void CVetraConnection::deviceGone(const QString &path)
{
    m_toProbe.removeAll(path);
    m_service.DeviceGone(path);
}

void CVetraConnection::probeNext()
{
    // A command's own connection comes first; the probe waits for its end.
    while (!m_toProbe.isEmpty() && !m_then && !m_service.IsBusy()) {
        const QString path = m_toProbe.takeFirst();
        if (m_service.Probe(path)) {
            m_probing = path;
            m_probeFound = false;
            return;
        }
    }
}

void CVetraConnection::arrived(const Instrument::SFoundInstrument &found)
{
    m_probeFound = true;
    Q_EMIT DeviceNotice(
        Res::FormatString(Res::IDS_DEVICE_ARRIVED, {found.typeName, found.serialNumber,
                                                    Instrument::CInstrumentService::PortText(found.streamName)}));
}

void CVetraConnection::probed(const Instrument::SCallResult &result)
{
    if (result.call != NCall::Probe || m_probing.isEmpty())
        return;
    const QString path = std::exchange(m_probing, QString());
    if (!m_probeFound && !result.cancelled)
        Q_EMIT DeviceNotice(
            Res::FormatString(Res::IDS_DEVICE_NOT_ANSWERING, {Instrument::CInstrumentService::PortText(path)}));
}
