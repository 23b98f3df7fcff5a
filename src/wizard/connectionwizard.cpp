#include "wizard/connectionwizard.h"

#include "device/vetrasmartdevice.h"
#include "res/resources.h"

std::unique_ptr<Device::CVetraSmartDevice> RunConnectionWizard(SWizardServices services, CSettingsStore *store,
                                                               QWidget *parent)
{
    CDevSelectSheet sheet(Res::IDS_WIZARD_CAPTION, services, parent);
    const QString key = WizardSettingsKey();
    if (store)
        sheet.LoadWizardSettings(*store, key);
    // This program looks for its own instrument only, and never in express mode.
    sheet.State().deviceType = Device::Type_Vetrameter;
    sheet.State().express = false;
    const bool finished = sheet.DoModal() == CDevSelectSheet::kFinish;
    // Saved on Cancel too: the next run starts from the user's last choices.
    if (store)
        sheet.SaveWizardSettings(*store, key);
    if (!finished)
        return nullptr;
    std::unique_ptr<Device::CQxDevice> device = sheet.TakeDevice();
    if (auto *cover = dynamic_cast<Device::CVetraSmartDevice *>(device.get())) {
        device.release();
        return std::unique_ptr<Device::CVetraSmartDevice>(cover);
    }
    return nullptr;
}
