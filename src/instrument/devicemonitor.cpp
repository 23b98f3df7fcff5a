#include "instrument/devicemonitor.h"

#include <QSocketNotifier>

namespace Instrument {

CDeviceMonitor::CDeviceMonitor(std::unique_ptr<IDeviceEventSource> source, QObject *parent)
    : QObject(parent), m_source(std::move(source)),
      m_notifier(new QSocketNotifier(m_source->Fd(), QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &CDeviceMonitor::readEvents);
}

CDeviceMonitor::~CDeviceMonitor()
{
    // The notifier must stop watching before the source closes its descriptor.
    delete m_notifier;
}

void CDeviceMonitor::readEvents()
{
    for (const SDeviceEvent &event : m_source->Take()) {
        if (event.kind == SDeviceEvent::Kind::Added)
            Q_EMIT Appeared(event.path);
        else
            Q_EMIT Gone(event.path);
    }
}

}   // namespace Instrument
