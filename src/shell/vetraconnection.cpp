#include "shell/vetraconnection.h"

#include "device/vetrasmartdevice.h"
#include "streamio/streamerror.h"

CVetraConnection::CVetraConnection() = default;

CVetraConnection::~CVetraConnection()
{
    DisconnectInstrument();
}

bool CVetraConnection::ConnectInstrument()
{
    if (m_device) {
        Device::SDeviceInfo info;
        bool answered = false;
        try {
            answered = m_device->Identify(info);
        } catch (const StreamIO::StreamError &) {
            answered = false;
        }
        if (!answered)
            DisconnectInstrument();
    }
    if (!m_device && m_wizard)
        m_device = m_wizard();
    return m_device != nullptr;
}

void CVetraConnection::DisconnectInstrument()
{
    m_device.reset();   // the driver closes its stream
}

void CVetraConnection::TakeInstrument(std::unique_ptr<Device::CVetraSmartDevice> device)
{
    m_device = std::move(device);
}
