#include "app/wizardsettings.h"

#include "app/settingsstore.h"
#include "res/resources.h"

namespace {

const QString kExpress = QStringLiteral("Express");
const QString kDeviceType = QStringLiteral("DeviceType");
const QString kComPort = QStringLiteral("ComPort");
const QString kCommPort = QStringLiteral("CommPort");
const QString kScan = QStringLiteral("Scan");
const QString kStopScan = QStringLiteral("Stop Scan");
const QString kIpAddress = QStringLiteral("IP Address");
constexpr int kMaxString = 259;

}   // namespace

QString WizardSettingsKey()
{
    return Res::LoadString(Res::IDS_KEY_UPGRADE_TOOL) + QStringLiteral("\\ConnWizard");
}

bool LoadWizardSettings(const CSettingsStore &store, const QString &key, SWizardSettings &s)
{
    if (key.isEmpty() || !store.KeyExists(key))
        return false;
    auto number = [&](const QString &name) { return store.ReadNumber(key, name); };
    auto flag = [&](const QString &name, bool &target) {
        if (const auto v = number(name))
            target = *v != 0;
    };
    flag(kExpress, s.express);
    const auto type = number(kDeviceType);
    s.deviceType = Device::NTypes(type && *type <= 7 ? *type : 0);
    const auto com = number(kComPort);
    s.comPort = com && *com >= 1 && *com <= 9998 ? *com : 1;
    const auto kind = number(kCommPort);
    s.portKind = Device::NPorts(kind && *kind >= 1 && *kind <= 9998 ? *kind : 0);
    flag(kScan, s.scanPorts);
    flag(kStopScan, s.stopAfterFirst);
    const auto ip = store.ReadString(key, kIpAddress);
    s.ipAddress = ip && ip->size() <= kMaxString ? *ip : QString();
    return true;
}

bool SaveWizardSettings(CSettingsStore &store, const QString &key, const SWizardSettings &s)
{
    if (key.isEmpty())
        return false;
    const std::uint32_t type = std::uint32_t(s.deviceType);
    const std::uint32_t com = s.comPort >= 1 && s.comPort <= 9999 ? s.comPort : 1;
    return store.Write(key, kExpress, std::uint32_t(s.express ? 1 : 0)) && store.Write(key, kDeviceType, type)
           && store.Write(key, kComPort, com) && store.Write(key, kCommPort, std::uint32_t(s.portKind))
           && store.Write(key, kScan, std::uint32_t(s.scanPorts ? 1 : 0))
           && store.Write(key, kStopScan, std::uint32_t(s.stopAfterFirst ? 1 : 0))
           && store.Write(key, kIpAddress, s.ipAddress);
}
