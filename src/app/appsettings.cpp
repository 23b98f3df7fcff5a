#include "app/appsettings.h"

#include "app/language.h"
#include "app/settingsstore.h"
#include "data/timetext.h"
#include "res/report.h"
#include "res/resources.h"
#include "streamio/portmap.h"
#include "streamio/streamtable.h"

#include <QFileInfo>

namespace Settings {
namespace {

CSettingsStore *g_store = nullptr;
QString g_programPath;
SSettings g_settings;

QString text(int id)
{
    return Res::LoadString(id);
}

void writeFailed()
{
    Res::ShowMessage(Res::MessageIcon::Error, text(Res::IDS_APP_TITLE), text(Res::IDS_REGISTRY_WRITE_FAILED));
}

// A string value; longer than one platform path counts as missing.
std::optional<QString> readString(const QString &key, const QString &name)
{
    std::optional<QString> v = g_store->ReadString(key, name);
    if (v && v->size() > kMaxStringLength)
        return std::nullopt;
    return v;
}

// Program data, not texts of a language: never translated.
const QString kRequiredCoverName = QStringLiteral("RequiredCover");   // mm as text, empty = none
const QString kQuantileName = QStringLiteral("AssessQuantile");       // a share, as text

SAssessmentSettings loadAssessment(const QString &key)
{
    SAssessmentSettings a;
    if (std::optional<QString> v = readString(key, kRequiredCoverName); v && !v->trimmed().isEmpty()) {
        bool ok = false;
        const double mm = v->toDouble(&ok);
        if (ok && mm >= 0 && mm < 255)
            a.requiredCover = mm;
    }
    if (std::optional<QString> v = readString(key, kQuantileName)) {
        bool ok = false;
        const double p = v->toDouble(&ok);
        if (ok && p > 0 && p <= 0.5)
            a.quantile = p;
    }
    return a;
}

QString loadString(const QString &key, int nameId, const QString &fallback)
{
    const QString name = text(nameId);
    if (std::optional<QString> v = readString(key, name))
        return *v;
    if (!g_store->Write(key, name, fallback))
        writeFailed();
    return fallback;
}

}   // namespace

void Attach(CSettingsStore *store, const QString &programPath)
{
    g_store = store;
    g_programPath = programPath;
    g_settings = SSettings{};
}

CSettingsStore *Store()
{
    return g_store;
}

const QString &ProgramPath()
{
    return g_programPath;
}

QString ProgramFolder()
{
    const qsizetype slash = g_programPath.lastIndexOf(u'/');
    return slash > 0 ? g_programPath.left(slash) : QString();
}

const SSettings &Current()
{
    return g_settings;
}

QString SettingsKey()
{
    return text(Res::IDS_KEY_SETTINGS);
}

QString PortMapKey()
{
    return SettingsKey() + QStringLiteral("\\Ports");
}

void LoadSettings()
{
    if (!g_store)
        return;
    const QString key = SettingsKey();
    if (!g_store->CreateKey(key))
        return;   // no store: empty settings, built-in language, no folder check
    g_settings.languageFile = loadString(key, Res::IDS_VALUE_LANGUAGEFILE, g_programPath);
    g_settings.dataFolder = loadString(key, Res::IDS_VALUE_DATAFOLDER, QString());
    const QString dtName = text(Res::IDS_VALUE_DTFORMAT);
    if (std::optional<std::uint32_t> v = g_store->ReadNumber(key, dtName)) {
        g_settings.dtFormat = *v;
    } else {
        g_settings.dtFormat = 0;
        if (!g_store->Write(key, dtName, std::uint32_t(0)))
            writeFailed();
    }
    g_settings.assessment = loadAssessment(key);
    const QString folder = ProgramFolder();
    g_settings.pfad = loadString(key, Res::IDS_VALUE_PFAD, folder.isEmpty() ? text(Res::IDS_DEFAULT_PFAD) : folder);

    // Serial ports the user mapped by hand: "COM3" → "/dev/ttyUSB0".
    QHash<std::uint32_t, QString> ports;
    for (const QString &name : g_store->ValueNames(PortMapKey())) {
        std::uint32_t n = 0;
        const std::optional<QString> device = g_store->ReadString(PortMapKey(), name);
        if (device && StreamIO::IsSerialPortName(name, &n) && n > 0)
            ports.insert(n, *device);
    }
    if (!ports.isEmpty())
        StreamIO::SetPortMap(ports);
    CheckProgramFolder();
}

void CheckProgramFolder()
{
    const QString &folder = g_settings.pfad;
    const QFileInfo info(folder);
    // A drive root such as "D:\" counts as present even when its status cannot be read.
    const bool driveRoot = folder.size() == 3 && folder.endsWith(QStringLiteral(":\\"));
    const bool present = (info.exists() && info.isDir()) || driveRoot;
    if (!present) {
        Res::ShowMessage(Res::MessageIcon::Error, text(Res::IDS_CAPTION_ERROR), text(Res::IDS_FOLDER_INCORRECT));
        return;
    }
    // "Marked read-only" is the folder's own mark: no write permission for
    // anyone. Whether this user may write is another matter — an installed
    // program's folder belongs to root, and that is no fault to report at
    // every start.
    const auto writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!driveRoot && !(info.permissions() & writable))
        Res::ShowMessage(Res::MessageIcon::Error, text(Res::IDS_CAPTION_ERROR), text(Res::IDS_FOLDER_READ_ONLY));
}

bool SaveAssessment(const SAssessmentSettings &assessment)
{
    g_settings.assessment = assessment;
    if (!g_store || !g_store->KeyExists(SettingsKey()))
        return false;
    const QString cover = assessment.requiredCover ? QString::number(*assessment.requiredCover) : QString();
    if (!g_store->Write(SettingsKey(), kRequiredCoverName, cover)
        || !g_store->Write(SettingsKey(), kQuantileName, QString::number(assessment.quantile))) {
        writeFailed();
        return false;
    }
    return true;
}

bool SaveDateTimeFormat(std::uint32_t value)
{
    g_settings.dtFormat = value;
    if (!g_store || !g_store->KeyExists(SettingsKey()))
        return false;
    if (!g_store->Write(SettingsKey(), text(Res::IDS_VALUE_DTFORMAT), value)) {
        writeFailed();
        return false;
    }
    return true;
}

bool SetLanguageFile(const QString &path)
{
    g_settings.languageFile = path;
    const bool stored = g_store && g_store->Write(SettingsKey(), text(Res::IDS_VALUE_LANGUAGEFILE), path);
    if (g_store && !stored)
        writeFailed();
    LoadLanguageLibrary(path);
    return stored;
}

QString GetLanguageFile(bool fileNameOnly)
{
    if (g_settings.languageFile.isEmpty())
        SetLanguageFile(g_programPath);
    if (!fileNameOnly)
        return g_settings.languageFile;
    return g_settings.languageFile.mid(g_settings.languageFile.lastIndexOf(u'/') + 1);
}

QString GetDatePattern(int *id)
{
    const std::uint32_t index = (g_settings.dtFormat >> 8) & 0xFF;
    const int which = Res::IDS_DATE_PATTERN_0 + int(index <= 3 ? index : 0);
    if (id)
        *id = which;
    return text(which);
}

QString GetTimePattern(int *id)
{
    const std::uint32_t index = g_settings.dtFormat & 0xFF;
    const int which = Res::IDS_TIME_PATTERN_0 + int(index <= 3 ? index : 0);
    if (id)
        *id = which;
    return text(which);
}

QString FormatTimeStamp(std::int64_t stamp)
{
    return TimeText::FormatTimeStamp(stamp, GetDatePattern(), GetTimePattern());
}

void WriteUpgradeToolSettings()
{
    if (!g_store)
        return;
    const QString key = text(Res::IDS_KEY_UPGRADE_TOOL);
    if (!g_store->Write(key, text(Res::IDS_VALUE_PFAD), g_settings.pfad))
        writeFailed();
    const QString tool = g_settings.pfad + u'/' + text(Res::IDS_UPGRADE_TOOL_FILE);
    if (!g_store->Write(key, text(Res::IDS_VALUE_LANGUAGEFILE), tool))
        writeFailed();
}

}   // namespace Settings
