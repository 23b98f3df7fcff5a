#pragma once
// CDeviceMonitor: turns a device event source into signals on the thread that
// owns it, through a QSocketNotifier on the source's descriptor.

#include "instrument/deviceevents.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace Instrument {

class CDeviceMonitor : public QObject
{
    Q_OBJECT
public:
    explicit CDeviceMonitor(std::unique_ptr<IDeviceEventSource> source, QObject *parent = nullptr);
    ~CDeviceMonitor() override;

Q_SIGNALS:
    void Appeared(const QString &path);
    void Gone(const QString &path);

private:
    void readEvents();

    std::unique_ptr<IDeviceEventSource> m_source;
    QSocketNotifier *m_notifier;
};

}   // namespace Instrument
