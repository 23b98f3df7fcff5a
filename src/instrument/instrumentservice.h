#pragma once
// CInstrumentService: the windows' one way to the instrument. It holds the
// connected cover meter and runs every exchange with an instrument — its
// identification, the download, deleting all objects, the search for
// instruments — on the instrument worker, one at a time. Each call returns at
// once and answers with Finished() on the thread that made it. While a call
// runs the service is busy: another call is refused, and the held driver is
// neither replaced nor deleted.

#include "data/measurement.h"
#include "device/devicetypes.h"
#include "device/failure.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace Device {
class CQxDevice;
class CVetraSmartDevice;
}   // namespace Device

namespace Instrument {

enum class NCall : std::int32_t { None, Identify, Download, DeleteAll, Search, Probe };

// An instrument the search found, described on the worker: the windows list
// it without touching its driver.
struct SFoundInstrument
{
    int id = 0;         // for Adopt()
    QString typeName;   // "Vetrameter"
    QString serialNumber;
    int comPort = 0;      // n of COMn for a serial port, else 0
    QString streamName;   // the device path, or "IP:host:port"
    QString infoText;     // the driver's lines of "label TAB value"
};

struct SCallResult
{
    NCall call = NCall::None;
    bool ok = false;
    bool cancelled = false;        // stopped by Cancel() before it ended
    std::int32_t code = 0;         // DeleteAll: the driver's result code
    Device::SFailure failure;      // why it failed, when the driver knows
    QList<TVetraObject> objects;   // Download: what arrived
};

class CInstrumentService : public QObject
{
    Q_OBJECT
public:
    explicit CInstrumentService(QObject *parent = nullptr);
    // A running call is stopped and waited for: no exchange outlives the service.
    ~CInstrumentService() override;

    bool IsBusy() const { return m_running != NCall::None; }
    NCall RunningCall() const { return m_running; }
    bool HasInstrument() const { return m_device != nullptr; }
    // The held instrument's port as the user knows it ("COM3 (/dev/ttyACM0)").
    QString InstrumentPort() const;
    // The held instrument's device path, or an empty text.
    QString InstrumentDevice() const;
    // "COM3 (/dev/ttyACM0)" for a serial device path; the path alone when no port leads there.
    static QString PortText(const QString &devicePath);

    // Each starts a call and returns true, or refuses it (false, nothing
    // changes) while busy, without a worker or, but for Search, without an
    // instrument.
    bool Identify();
    bool Download();
    bool DeleteAll();
    // Reports go to SearchStatus() and InstrumentFound(); the instruments
    // found stay here as candidates until Adopt() or DropCandidates().
    bool Search(const Device::SSearchParams &params);
    // A serial device appeared: what answers on it is identified on the
    // worker, and a cover meter found there becomes the held instrument (the
    // one held before is let go) and is announced by InstrumentArrived()
    // before Finished(). Refused while busy, for the held instrument's own
    // device, and for a path no port leads to.
    bool Probe(const QString &devicePath);
    // A device went. The held instrument on it is let go (InstrumentGone());
    // a call running on it is broken off and ends with the cause
    // NFailureCause::Unplugged instead of as cancelled.
    void DeviceGone(const QString &devicePath);
    // Asks the running call to stop as soon as its exchange allows; it still
    // ends with Finished(), marked cancelled.
    void Cancel();
    // Blocks until no call runs, stopping the running one first.
    void StopAndWait();

    // The candidate `id` becomes the held instrument; the others are closed.
    // False while busy, or when `id` is not a cover meter found by the last search.
    bool Adopt(int id);
    void DropCandidates();
    int CandidateCount() const { return int(m_candidates.size()); }

    // Closes the held instrument's port (the upgrade tool needs it). False,
    // and nothing closed, while busy.
    bool Release();
    // An instrument connected elsewhere (a test's, or the tool's); refused while busy.
    bool TakeInstrument(std::unique_ptr<Device::CVetraSmartDevice> device);

    // The port kinds the drivers of `type` support (Device::NPorts bits).
    static std::uint32_t PortMask(Device::NTypes type);

Q_SIGNALS:
    void BusyChanged(bool busy);
    // 0 to 1000, while a download runs.
    void Progress(int perMille);
    void SearchStatus(const QString &text);
    void InstrumentFound(const Instrument::SFoundInstrument &found);
    // An instrument answered the search but not the check after it.
    void BadConnection();
    void Finished(const Instrument::SCallResult &result);
    void InstrumentArrived(const Instrument::SFoundInstrument &found);
    // `name` is "Vetrameter VM-20931" when the held one was announced, else the type alone.
    void InstrumentGone(const QString &name, const QString &port);

private:
    struct SJob;
    class CCallEnd;
    // Queues `work` for the worker, where it delivers its result through the
    // end it is given; false when refused.
    bool queue(NCall call, std::function<void(CCallEnd &)> work);
    void finish(std::uint64_t number, SCallResult result);
    void found(std::uint64_t number, std::unique_ptr<Device::CQxDevice> device, SFoundInstrument description);
    // Reports of the running call count; those of a cancelled one do not.
    bool current(std::uint64_t number) const { return number == m_callNumber && !m_cancelled; }
    void probed(std::uint64_t number, std::unique_ptr<Device::CQxDevice> device, SFoundInstrument description);
    void hold(std::unique_ptr<Device::CVetraSmartDevice> device, const QString &name = {});
    void letGo();

    std::unique_ptr<Device::CVetraSmartDevice> m_device;
    QString m_port;
    QString m_name;   // what InstrumentGone() calls the held one
    std::map<int, std::unique_ptr<Device::CQxDevice>> m_candidates;
    std::map<int, QString> m_candidateNames;
    int m_nextCandidate = 0;
    NCall m_running = NCall::None;
    std::uint64_t m_callNumber = 0;
    bool m_cancelled = false;
    bool m_unplugged = false;      // the running call's device went
    std::shared_ptr<SJob> m_job;   // the running call's end, for the destructor to wait on
};

}   // namespace Instrument

Q_DECLARE_METATYPE(Instrument::SFoundInstrument)
Q_DECLARE_METATYPE(Instrument::SCallResult)
