#pragma once
// What the instrument commands share: how to reach the instrument
// (--port N | --scan [--all] | --simulate[=FILE.csv]) and the search.

#include "cli/cli.h"
#include "cli/options.h"
#include "device/vetrasmartdevice.h"
#include "device/worker.h"

#include <memory>
#include <vector>

namespace VetraSim {
class CSimulator;
}

namespace Cli {

inline constexpr int Exit_NoInstrument = 3;
inline constexpr int Exit_InstrumentFailed = 4;

// The options every instrument command takes.
inline constexpr OptionDef kPortOption{u"--port", u"-p", OptionDef::Value};
inline constexpr OptionDef kScanOption{u"--scan", nullptr, OptionDef::NoValue};
inline constexpr OptionDef kSimulateOption{u"--simulate", nullptr, OptionDef::OptionalValue};

// A run of the instrument layer for one command: the simulator when asked
// for, the worker thread, and the drivers the search found.
class InstrumentSession
{
public:
    explicit InstrumentSession(Io io);
    ~InstrumentSession();

    // Reads --port/--scan/--simulate; false (with the message printed) when
    // they are missing, contradict each other or the simulator cannot start.
    bool Configure(const Options &opts, bool allowAll);
    // Runs the search; the instruments found, in the order found.
    std::vector<std::unique_ptr<Device::CQxDevice>> Search(bool stopAtFirst);
    // The first instrument found, connected, or null (reported).
    std::unique_ptr<Device::CVetraSmartDevice> Connect();

    static QString PortName(const Device::CQxDevice &device);

private:
    Io m_io;
    Device::SSearchParams m_params;
    QString m_lastStatus;
    std::unique_ptr<VetraSim::CSimulator> m_simulator;
};

}   // namespace Cli
