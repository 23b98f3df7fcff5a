#pragma once
// CDevSelectSheet: the connection wizard. Page one chooses how the instrument
// is connected; page two searches those ports and lets the user pick one of
// the instruments found. On Finish the picked instrument, connected and
// identified, is the sheet's device until the caller takes it.

#include "app/wizardsettings.h"

#include <QWizard>

#include <memory>

class CDevFoundPage;
class CPortSelectPage;
class CSettingsStore;
class IDesktopServices;
class IMessageService;

namespace Device {
class CQxDevice;
}

struct SWizardServices
{
    IMessageService &messages;
    IDesktopServices &desktop;
};

class CDevSelectSheet : public QWizard
{
    Q_OBJECT
public:
    enum PageId { Page_PortSelect = 0, Page_DevFound = 1 };
    static constexpr int kFinish = 12325;   // the value DoModal returns for Finish
    static constexpr int kCancel = 2;

    CDevSelectSheet(int captionId, SWizardServices services, QWidget *parent = nullptr);
    ~CDevSelectSheet() override;

    // The stored choices; an empty key path does nothing (false).
    bool LoadWizardSettings(const CSettingsStore &store, const QString &key);
    bool SaveWizardSettings(CSettingsStore &store, const QString &key) const;

    // Runs the wizard modally through the message service: kFinish, or
    // kCancel for anything else.
    int DoModal();

    SWizardSettings &State() { return m_state; }
    const SWizardSettings &State() const { return m_state; }
    // The type instance at first; after Finish the chosen instrument.
    Device::CQxDevice *Device() const { return m_device.get(); }
    // Replaces (and deletes) the device the sheet held.
    void SetDevice(std::unique_ptr<Device::CQxDevice> device);
    std::unique_ptr<Device::CQxDevice> TakeDevice();

    SWizardServices Services() const { return m_services; }
    CPortSelectPage *PortPage() const { return m_portPage; }
    CDevFoundPage *FoundPage() const { return m_foundPage; }

    // The manual, else a short explanation of the wizard.
    void ShowHelp();

public Q_SLOTS:
    // A search that is still running is stopped first.
    void reject() override;

private:
    void onPageChanged(int id);

    SWizardServices m_services;
    SWizardSettings m_state;
    std::unique_ptr<Device::CQxDevice> m_device;
    CPortSelectPage *m_portPage;
    CDevFoundPage *m_foundPage;
};
