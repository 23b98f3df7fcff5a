#pragma once
// The connection wizard's stored choices, below the upgrade tool's key.

#include "device/devicetypes.h"

#include <QString>

#include <cstdint>

class CSettingsStore;

struct SWizardSettings
{
    Device::NTypes deviceType = Device::NTypes(0);
    Device::NPorts portKind = Device::Port_None;
    QString ipAddress;
    bool stopAfterFirst = true;
    bool scanPorts = true;
    bool express = true;
    std::uint32_t comPort = 1;
};

// "Software\Quelix\QxUpgrade\Settings\ConnWizard".
QString WizardSettingsKey();

// Values that are missing, of another type or out of range keep or get their
// defaults; a key that does not exist leaves everything as it was (false).
bool LoadWizardSettings(const CSettingsStore &store, const QString &key, SWizardSettings &settings);
// Stops at the first value that cannot be written (false), without a message.
bool SaveWizardSettings(CSettingsStore &store, const QString &key, const SWizardSettings &settings);
