// Device events from udev's netlink socket, through libudev.
#include "instrument/deviceevents.h"

#include <QFile>

#include <libudev.h>

namespace Instrument {
namespace {

class CUdevEvents : public IDeviceEventSource
{
public:
    CUdevEvents(udev *context, udev_monitor *monitor) : m_context(context), m_monitor(monitor) {}
    ~CUdevEvents() override
    {
        udev_monitor_unref(m_monitor);
        udev_unref(m_context);
    }
    CUdevEvents(const CUdevEvents &) = delete;
    CUdevEvents &operator=(const CUdevEvents &) = delete;

    int Fd() const override { return udev_monitor_get_fd(m_monitor); }

    std::vector<SDeviceEvent> Take() override
    {
        std::vector<SDeviceEvent> events;
        // The socket is non-blocking: null once nothing more waits.
        while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
            SDeviceEvent event;
            if (describe(device, event))
                events.push_back(std::move(event));
            udev_device_unref(device);
        }
        return events;
    }

private:
    static bool describe(udev_device *device, SDeviceEvent &event)
    {
        const char *action = udev_device_get_action(device);
        const char *node = udev_device_get_devnode(device);
        if (!action || !node)
            return false;
        const QByteArray what(action);
        if (what == "add")
            event.kind = SDeviceEvent::Kind::Added;
        else if (what == "remove")
            event.kind = SDeviceEvent::Kind::Removed;
        else
            return false;
        // Only USB serial devices are probed: the board's own ttyS ports and the
        // virtual consoles are no instrument. A removal needs no such test (its
        // sysfs parents are gone by then): only the held instrument's counts.
        if (event.kind == SDeviceEvent::Kind::Added
            && !udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device"))
            return false;
        event.path = QFile::decodeName(node);
        return true;
    }

    udev *m_context;
    udev_monitor *m_monitor;
};

}   // namespace

std::unique_ptr<IDeviceEventSource> OpenUdevEvents()
{
    udev *context = udev_new();
    if (!context)
        return nullptr;
    udev_monitor *monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(monitor) < 0) {
        if (monitor)
            udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::make_unique<CUdevEvents>(context, monitor);
}

}   // namespace Instrument
