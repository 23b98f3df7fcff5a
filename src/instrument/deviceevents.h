#pragma once
// Where the news of serial devices plugged in and out comes from: the
// system's device manager (udev), or a line feed that tests and scripted runs
// write into ("add /dev/ttyACM0", "remove /dev/ttyACM0").

#include <QString>

#include <memory>
#include <vector>

namespace Instrument {

struct SDeviceEvent
{
    enum class Kind { Added, Removed };
    Kind kind = Kind::Added;
    QString path;   // the device node, "/dev/ttyACM0"
};

class IDeviceEventSource
{
public:
    virtual ~IDeviceEventSource() = default;
    // Readable when events wait; watched with a QSocketNotifier.
    virtual int Fd() const = 0;
    // The events that wait now; never blocks. Devices other than USB serial
    // ones are left out.
    virtual std::vector<SDeviceEvent> Take() = 0;
};

// USB serial devices ("tty" devices on a USB parent) as udev announces them,
// after its rules have run (so the permissions are set). Null where udev
// cannot be reached (no netlink socket, in a container).
std::unique_ptr<IDeviceEventSource> OpenUdevEvents();

// Lines "add PATH" or "remove PATH" read from `fd`, which the source owns and
// closes. Unknown lines are skipped.
std::unique_ptr<IDeviceEventSource> OpenLineEvents(int fd);

// VETRADESK_DEVICE_EVENTS names a FIFO of such lines (for scripted runs with
// the simulator, whose pseudo-terminals udev never announces); else udev.
// Null when neither can be had.
std::unique_ptr<IDeviceEventSource> OpenDeviceEvents();

}   // namespace Instrument
