#pragma once
// The connection holder's use of the wizard: the stored choices in, the
// cover meter as the type to look for, the choices stored again however the
// wizard ended, and the chosen instrument handed to the instrument service.

#include "wizard/devselectsheet.h"

class CSettingsStore;
class QWidget;

// True when the service holds the chosen instrument; false when the user
// cancelled or chose nothing. `store` may be null (no settings are read or
// written then).
bool RunConnectionWizard(SWizardServices services, CSettingsStore *store, QWidget *parent = nullptr);
