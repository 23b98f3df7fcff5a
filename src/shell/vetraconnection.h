#pragma once
// CVetraConnection: makes sure the instrument service holds a cover meter that
// answers before an instrument command runs. The held one is asked to identify
// itself (off the user-interface thread, the window painted behind the wait
// cursor); when it does not answer, or none is held, the connection wizard
// finds one. Serial devices plugged in are probed through the service, so
// that a cover meter plugged in is held before a command asks for it.

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace Instrument {
class CInstrumentService;
class IDeviceEventSource;
struct SCallResult;
struct SFoundInstrument;
}   // namespace Instrument

class CVetraConnection : public QObject
{
    Q_OBJECT
public:
    // Runs the connection wizard; true when the service holds an instrument after it.
    using Wizard = std::function<bool()>;
    using Then = std::function<void(bool connected)>;

    explicit CVetraConnection(Instrument::CInstrumentService &service, QObject *parent = nullptr);

    void SetWizard(Wizard wizard) { m_wizard = std::move(wizard); }

    // `then` is called once, on this thread, with whether an instrument that
    // answers is held. False (and `then` never called) while the service is
    // busy or another connection is being made.
    bool ConnectInstrument(Then then);
    // True from ConnectInstrument until its `then` has returned.
    bool IsConnecting() const { return bool(m_then); }
    // Closes the held instrument's port; false while the service is busy.
    bool DisconnectInstrument();

    // Probes every serial device the source announces, one at a time when the
    // service is free, and lets the held instrument go when its device goes.
    void WatchDevices(std::unique_ptr<Instrument::IDeviceEventSource> source);

Q_SIGNALS:
    // A line for the status bar: what was plugged in or out.
    void DeviceNotice(const QString &text);

private:
    void identified(const Instrument::SCallResult &result);
    void runWizardThen();
    void deviceAppeared(const QString &path);
    void deviceGone(const QString &path);
    void probeNext();
    void probed(const Instrument::SCallResult &result);
    void arrived(const Instrument::SFoundInstrument &found);

    Instrument::CInstrumentService &m_service;
    Wizard m_wizard;
    Then m_then;
    bool m_identifying = false;
    QStringList m_toProbe;   // devices that appeared while the service was busy
    QString m_probing;       // the device the running probe looks at
    bool m_probeFound = false;
};
