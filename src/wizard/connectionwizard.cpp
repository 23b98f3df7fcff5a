#include "wizard/connectionwizard.h"

#include "instrument/instrumentservice.h"
#include "res/resources.h"

bool RunConnectionWizard(SWizardServices services, CSettingsStore *store, QWidget *parent)
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
    // Instruments found but not chosen close their ports.
    services.instrument.DropCandidates();
    return finished && sheet.Adopted() && services.instrument.HasInstrument();
}
