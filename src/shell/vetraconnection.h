#pragma once
// CVetraConnection: holds the one connected cover meter of the program. When
// it holds none, or the one it holds no longer answers, the connection wizard
// finds one.

#include <functional>
#include <memory>

namespace Device {
class CVetraSmartDevice;
}

class CVetraConnection
{
public:
    // Runs the connection wizard; the instrument it hands over, or null when
    // the user cancelled or nothing was found.
    using Wizard = std::function<std::unique_ptr<Device::CVetraSmartDevice>()>;

    CVetraConnection();
    ~CVetraConnection();
    CVetraConnection(const CVetraConnection &) = delete;
    CVetraConnection &operator=(const CVetraConnection &) = delete;

    void SetWizard(Wizard wizard) { m_wizard = std::move(wizard); }

    // Asks the held instrument to identify itself and drops it when it does
    // not; then, holding none, runs the wizard. True when one is held after.
    bool ConnectInstrument();
    void DisconnectInstrument();
    Device::CVetraSmartDevice *GetInstrument() const { return m_device.get(); }
    // Hands an instrument over (the wizard's result, or a test's).
    void TakeInstrument(std::unique_ptr<Device::CVetraSmartDevice> device);

private:
    std::unique_ptr<Device::CVetraSmartDevice> m_device;
    Wizard m_wizard;
};
