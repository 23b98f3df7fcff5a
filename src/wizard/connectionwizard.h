#pragma once
// The connection holder's use of the wizard: the stored choices in, the
// cover meter as the type to look for, the choices stored again however the
// wizard ended, and the chosen instrument out.

#include "wizard/devselectsheet.h"

#include <memory>

class CSettingsStore;
class QWidget;

namespace Device {
class CVetraSmartDevice;
}

// Null when the user cancelled or chose nothing. `store` may be null (no
// settings are read or written then).
std::unique_ptr<Device::CVetraSmartDevice> RunConnectionWizard(SWizardServices services, CSettingsStore *store,
                                                               QWidget *parent = nullptr);
