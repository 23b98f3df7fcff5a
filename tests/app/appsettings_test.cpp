// The settings store and the program settings read from it at start.
#include "app/appsettings.h"
#include "app/language.h"
#include "app/settingsstore.h"
#include "app/startup.h"
#include "app/wizardsettings.h"
#include "res/report.h"
#include "res/resources.h"
#include "streamio/portmap.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Value = CSettingsStore::Value;

struct SMessage
{
    Res::MessageIcon icon;
    QString caption, text;
};

class CRecordingReporter : public Res::IReporter
{
public:
    Res::ReportAnswer Show(Res::ReportKind, const QString &caption, const QString &text, bool) override
    {
        messages.push_back({Res::MessageIcon::Error, caption, text});
        return Res::ReportAnswer::Ok;
    }
    void Message(Res::MessageIcon icon, const QString &caption, const QString &text) override
    {
        messages.push_back({icon, caption, text});
    }
    std::vector<SMessage> messages;
};

class AppSettings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        binFolder = dir.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(binFolder));
        programPath = binFolder + QStringLiteral("/vetradesk");
        storePath = dir.filePath(QStringLiteral("config/Quelix/settings.json"));
        Res::SetReporter(&reporter);
    }
    void TearDown() override
    {
        Settings::Attach(nullptr, QString());
        Res::SetReporter(nullptr);
        StreamIO::SetPortMap({});
        LoadLanguageLibrary(programPath);
    }
    // One start: a fresh store read from the file, attached and loaded.
    CSettingsStore &Start()
    {
        store = std::make_unique<CSettingsStore>(storePath);
        Settings::Attach(store.get(), programPath);
        Settings::LoadSettings();
        return *store;
    }
    // A value placed in the file before the start.
    void Preset(const QString &name, const Value &value, const QString &key = Settings::SettingsKey())
    {
        CSettingsStore s(storePath);
        ASSERT_TRUE(s.Write(key, name, value));
    }

    QTemporaryDir dir;
    QString binFolder, programPath, storePath;
    CRecordingReporter reporter;
    std::unique_ptr<CSettingsStore> store;
};

TEST_F(AppSettings, FirstStartWritesTheFourDefaultsAndUsesTheBuiltInLanguage)
{
    Start();
    LoadLanguageLibrary(Settings::Current().languageFile);

    CSettingsStore reread(storePath);   // written back to the file, with their types
    const QString key = QStringLiteral("Software\\Quelix\\Vetradesk\\Settings");
    ASSERT_EQ(Settings::SettingsKey(), key);
    EXPECT_EQ(reread.ReadString(key, QStringLiteral("LanguageFile")), programPath);
    EXPECT_EQ(reread.ReadString(key, QStringLiteral("DataFolder")), QString());
    EXPECT_EQ(reread.ReadNumber(key, QStringLiteral("DTFormat")), 0u);
    EXPECT_EQ(reread.ReadString(key, QStringLiteral("Pfad")), binFolder);
    EXPECT_EQ(reread.ValueNames(key).size(), 4);
    EXPECT_TRUE(reporter.messages.empty());

    EXPECT_EQ(Res::StringSource(), nullptr);
    int dateId = 0, timeId = 0;
    EXPECT_EQ(Settings::GetDatePattern(&dateId), QStringLiteral("MM/dd/yyyy"));
    EXPECT_EQ(Settings::GetTimePattern(&timeId), QStringLiteral("h:mm tt"));
    EXPECT_EQ(dateId, 1022);
    EXPECT_EQ(timeId, 1030);
    EXPECT_EQ(Settings::FormatTimeStamp(1796742900),   // 2026-12-08 15:15 UTC
              QStringLiteral("12/08/2026 4:15 PM"));
}

TEST_F(AppSettings, TheAssessmentIsStoredOnceChosenAndNonsenseReadsAsItsDefault)
{
    Start();
    EXPECT_FALSE(Settings::Current().assessment.requiredCover) << "no limit until one is chosen";
    EXPECT_EQ(Settings::Current().assessment.quantile, 0.05);
    SAssessmentSettings chosen;
    chosen.requiredCover = 27.5;
    chosen.quantile = 0.1;
    Settings::SaveAssessment(chosen);
    Start();
    ASSERT_TRUE(Settings::Current().assessment.requiredCover);
    EXPECT_EQ(*Settings::Current().assessment.requiredCover, 27.5);
    EXPECT_EQ(Settings::Current().assessment.quantile, 0.1);

    Preset(QStringLiteral("RequiredCover"), QStringLiteral("lots"));
    Preset(QStringLiteral("AssessQuantile"), QStringLiteral("0.9"));
    Start();
    EXPECT_FALSE(Settings::Current().assessment.requiredCover);
    EXPECT_EQ(Settings::Current().assessment.quantile, 0.05);
}

TEST_F(AppSettings, DateTimeFormatSelectsPatternsAndOutOfRangeIndexMeansZero)
{
    struct Case
    {
        std::uint32_t value;
        const char16_t *date;
        const char16_t *time;
        int dateId, timeId;
    };
    const Case cases[] = {
        {0x0203, u"dd/MM/yyyy", u"HH:mm", 1024, 1033},   {0x0503, u"MM/dd/yyyy", u"HH:mm", 1022, 1033},
        {0x0004, u"MM/dd/yyyy", u"h:mm tt", 1022, 1030}, {0x0301, u"dd.MM.yyyy", u"h:mmt", 1025, 1031},
        {0x0102, u"dd-MM-yyyy", u"H:mm", 1023, 1032},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        Preset(QStringLiteral("DTFormat"), c.value);
        Start();
        int dateId = 0, timeId = 0;
        EXPECT_EQ(Settings::GetDatePattern(&dateId), QString::fromUtf16(c.date));
        EXPECT_EQ(Settings::GetTimePattern(&timeId), QString::fromUtf16(c.time));
        EXPECT_EQ(dateId, c.dateId);
        EXPECT_EQ(timeId, c.timeId);
    }
    // 0x0203 shown: 24-hour clock, day first.
    Preset(QStringLiteral("DTFormat"), std::uint32_t(0x0203));
    Start();
    EXPECT_EQ(Settings::FormatTimeStamp(1796742900),   // 2026-12-08 15:15 UTC
              QStringLiteral("08/12/2026 16:15"));

    Settings::SaveDateTimeFormat(0x0301);   // written through as a number
    EXPECT_EQ(CSettingsStore(storePath).ReadNumber(Settings::SettingsKey(), QStringLiteral("DTFormat")), 0x0301u);
}

TEST_F(AppSettings, ProgramFolderCheck)
{
    Preset(QStringLiteral("Pfad"), QStringLiteral("E:\\"));
    Start();
    EXPECT_TRUE(reporter.messages.empty()) << "a drive root counts as present";

    Preset(QStringLiteral("Pfad"), QStringLiteral("E:\\data"));
    Start();
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].icon, Res::MessageIcon::Error);
    EXPECT_EQ(reporter.messages[0].caption, QStringLiteral("Vetradesk Error"));
    EXPECT_EQ(reporter.messages[0].text, Res::BuiltinString(1002));
    EXPECT_TRUE(reporter.messages[0].text.startsWith(QStringLiteral("The folder for saving the files is incorrect.")));
    EXPECT_EQ(Settings::Current().pfad, QStringLiteral("E:\\data")) << "start-up goes on with the stored folder";

    reporter.messages.clear();
    Preset(QStringLiteral("Pfad"), QStringLiteral("X:\\\\"));   // four characters: no drive root
    Start();
    EXPECT_EQ(reporter.messages.size(), 1u);

    // A folder marked read-only is said; one that only this user may not
    // write (an installed program's, owned by root) is not.
    QTemporaryDir folders;
    const QString marked = folders.filePath(QStringLiteral("marked"));
    ASSERT_TRUE(QDir().mkpath(marked));
    QFile::setPermissions(marked, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                      | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
    reporter.messages.clear();
    Preset(QStringLiteral("Pfad"), marked);
    Start();
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, Res::BuiltinString(1003));
    QFile::setPermissions(marked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    reporter.messages.clear();
    Start();
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(AppSettings, OverLongOrWronglyTypedValueIsReplacedByItsDefault)
{
    const QString longest(Settings::kMaxStringLength, u'd');
    Preset(QStringLiteral("LanguageFile"), QString(260, u'x'));
    Preset(QStringLiteral("DataFolder"), longest);
    Preset(QStringLiteral("Pfad"), std::uint32_t(7));
    Preset(QStringLiteral("DTFormat"), QStringLiteral("515"));
    Start();
    EXPECT_EQ(Settings::Current().languageFile, programPath);
    EXPECT_EQ(Settings::Current().dataFolder, longest);
    EXPECT_EQ(Settings::Current().pfad, binFolder);
    EXPECT_EQ(Settings::Current().dtFormat, 0u);

    CSettingsStore reread(storePath);
    const QString key = Settings::SettingsKey();
    EXPECT_EQ(reread.ReadString(key, QStringLiteral("LanguageFile")), programPath);
    EXPECT_EQ(reread.ReadString(key, QStringLiteral("DataFolder")), longest);
    EXPECT_EQ(reread.ReadString(key, QStringLiteral("Pfad")), binFolder);
    EXPECT_EQ(reread.ReadNumber(key, QStringLiteral("DTFormat")), 0u);
}

TEST_F(AppSettings, ValueTypesSurviveTheFile)
{
    {
        CSettingsStore s(storePath);
        ASSERT_TRUE(s.Write(QStringLiteral("A\\B"), QStringLiteral("text"), QStringLiteral("42")));
        ASSERT_TRUE(s.Write(QStringLiteral("A\\B"), QStringLiteral("number"), std::uint32_t(42)));
        ASSERT_TRUE(s.Write(QStringLiteral("A\\B"), QStringLiteral("max"), std::uint32_t(0xFFFFFFFFu)));
        ASSERT_TRUE(s.Write(QStringLiteral("A\\B"), QStringLiteral("empty"), QString()));
        ASSERT_TRUE(s.CreateKey(QStringLiteral("A\\Empty")));
    }
    CSettingsStore s(storePath);
    EXPECT_FALSE(s.IsDamaged());
    const QString key = QStringLiteral("A\\B");
    EXPECT_EQ(s.ReadString(key, QStringLiteral("text")), QStringLiteral("42"));
    EXPECT_EQ(s.ReadNumber(key, QStringLiteral("text")), std::nullopt);
    EXPECT_EQ(s.ReadNumber(key, QStringLiteral("number")), 42u);
    EXPECT_EQ(s.ReadString(key, QStringLiteral("number")), std::nullopt);
    EXPECT_EQ(s.ReadNumber(key, QStringLiteral("max")), 0xFFFFFFFFu);
    EXPECT_EQ(s.ReadString(key, QStringLiteral("empty")), QString());
    EXPECT_TRUE(s.KeyExists(QStringLiteral("A\\Empty")));
    EXPECT_FALSE(s.KeyExists(QStringLiteral("A")));
    EXPECT_EQ(s.ReadString(QStringLiteral("a\\b"), QStringLiteral("text")), std::nullopt);
}

TEST_F(AppSettings, DamagedFileIsRefusedAndSetAsideOnFirstWrite)
{
    const QByteArray oneValue = CSettingsStore::Serialize(
        {{QStringLiteral("K"), {{QStringLiteral("v"), Value(std::uint32_t(1))}}}});
    QByteArray tooBig = oneValue;
    tooBig.replace("1", "4294967296");
    QByteArray negative = oneValue;
    negative.replace("1", "-1");
    const QByteArray damaged[] = {
        "{ \"format\": 1, \"keys\": {",
        "",
        "[]",
        "{\"format\": 2, \"keys\": {}}",
        "{\"format\": 1, \"keys\": {\"K\": {\"v\": {\"string\": 5}}}}",
        "{\"format\": 1, \"keys\": {\"K\": {\"v\": {\"string\": \"a\", \"dword\": 1}}}}",
        tooBig,
        negative,
    };
    ASSERT_TRUE(CSettingsStore::Parse(oneValue).has_value());
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.constData());
        QFile::remove(storePath + QStringLiteral(".damaged"));
        QDir().mkpath(QFileInfo(storePath).absolutePath());
        TestSupport::WriteBytes(storePath, bytes);
        CSettingsStore s(storePath);
        EXPECT_TRUE(s.IsDamaged());
        EXPECT_FALSE(s.Problem().isEmpty());
        EXPECT_FALSE(s.KeyExists(QStringLiteral("K")));

        ASSERT_TRUE(s.Write(QStringLiteral("K"), QStringLiteral("w"), std::uint32_t(2)));
        EXPECT_EQ(TestSupport::ReadBytes(storePath + QStringLiteral(".damaged")), bytes);
        ASSERT_TRUE(s.Write(QStringLiteral("K"), QStringLiteral("x"), std::uint32_t(3)));
        EXPECT_EQ(TestSupport::ReadBytes(storePath + QStringLiteral(".damaged")), bytes) << "set aside once";
        CSettingsStore healed(storePath);
        EXPECT_FALSE(healed.IsDamaged());
        EXPECT_EQ(healed.ReadNumber(QStringLiteral("K"), QStringLiteral("w")), 2u);
        EXPECT_EQ(healed.ReadNumber(QStringLiteral("K"), QStringLiteral("x")), 3u);
    }
    // Start-up on a damaged file: the defaults, written to a new file.
    TestSupport::WriteBytes(storePath, "garbage");
    Start();
    EXPECT_TRUE(store->IsDamaged());
    EXPECT_EQ(Settings::Current().languageFile, programPath);
    EXPECT_EQ(TestSupport::ReadBytes(storePath + QStringLiteral(".damaged")), QByteArray("garbage"));
    EXPECT_FALSE(CSettingsStore(storePath).IsDamaged());
}

TEST_F(AppSettings, StartUpOnDamagedFileSaysSoOnce)
{
    QDir().mkpath(QFileInfo(storePath).absolutePath());
    TestSupport::WriteBytes(storePath, "{ damaged");
    {
        CApplicationRun run(programPath, storePath);
        EXPECT_TRUE(run.IsRunning());
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_TRUE(reporter.messages[0].text.contains(storePath)) << reporter.messages[0].text.toStdString();
        EXPECT_EQ(Settings::Current().pfad, binFolder);
    }
    reporter.messages.clear();
    CApplicationRun again(programPath, storePath);
    EXPECT_TRUE(reporter.messages.empty()) << "the defaults were written to a new file";
}

TEST_F(AppSettings, PortMapIsTakenFromItsKey)
{
    const QString key = Settings::PortMapKey();
    EXPECT_EQ(key, QStringLiteral("Software\\Quelix\\Vetradesk\\Settings\\Ports"));
    Preset(QStringLiteral("COM3"), QStringLiteral("/dev/ttyUSB0"), key);
    Preset(QStringLiteral("COM12"), QStringLiteral("/dev/pts/4"), key);
    Preset(QStringLiteral("COM0"), QStringLiteral("/dev/ttyS0"), key);
    Preset(QStringLiteral("LPT1"), QStringLiteral("/dev/lp0"), key);
    Preset(QStringLiteral("COM5"), std::uint32_t(5), key);
    Start();
    const QHash<std::uint32_t, QString> expected{{3, QStringLiteral("/dev/ttyUSB0")},
                                                 {12, QStringLiteral("/dev/pts/4")}};
    EXPECT_EQ(StreamIO::PortMap(), expected);
}

TEST_F(AppSettings, WizardValuesAreReadBackWithTheirRules)
{
    CSettingsStore s(storePath);
    const QString key = WizardSettingsKey();
    EXPECT_EQ(key, QStringLiteral("Software\\Quelix\\QxUpgrade\\Settings\\ConnWizard"));

    SWizardSettings unchanged;
    unchanged.comPort = 4;
    EXPECT_FALSE(LoadWizardSettings(s, key, unchanged)) << "no key yet";
    EXPECT_EQ(unchanged.comPort, 4u);

    SWizardSettings written;
    written.comPort = 9999;
    written.deviceType = Device::NTypes(3);
    written.portKind = Device::NPorts(4);
    written.express = false;
    written.ipAddress = QStringLiteral("192.168.1.20");
    ASSERT_TRUE(SaveWizardSettings(s, key, written));
    EXPECT_EQ(s.ReadNumber(key, QStringLiteral("ComPort")), 9999u);
    SWizardSettings read;
    ASSERT_TRUE(LoadWizardSettings(CSettingsStore(storePath), key, read));
    EXPECT_EQ(read.comPort, 1u);
    EXPECT_EQ(read.deviceType, Device::NTypes(3));
    EXPECT_EQ(read.portKind, Device::NPorts(4));
    EXPECT_FALSE(read.express);
    EXPECT_EQ(read.ipAddress, QStringLiteral("192.168.1.20"));

    written.comPort = 0;   // outside 1..9999: written as 1
    ASSERT_TRUE(SaveWizardSettings(s, key, written));
    EXPECT_EQ(s.ReadNumber(key, QStringLiteral("ComPort")), 1u);

    ASSERT_TRUE(s.Write(key, QStringLiteral("ComPort"), std::uint32_t(9998)));
    ASSERT_TRUE(s.Write(key, QStringLiteral("IP Address"), std::uint32_t(3232235796u)));
    ASSERT_TRUE(s.Write(key, QStringLiteral("DeviceType"), std::uint32_t(8)));
    ASSERT_TRUE(s.Write(key, QStringLiteral("CommPort"), QStringLiteral("4")));
    ASSERT_TRUE(s.Write(key, QStringLiteral("Express"), std::uint32_t(2)));
    read.ipAddress = QStringLiteral("stale");
    ASSERT_TRUE(LoadWizardSettings(s, key, read));
    EXPECT_EQ(read.comPort, 9998u);
    EXPECT_EQ(read.ipAddress, QString());
    EXPECT_EQ(read.deviceType, Device::NTypes(0));
    EXPECT_EQ(read.portKind, Device::NPorts(0));
    EXPECT_TRUE(read.express);

    ASSERT_TRUE(s.Write(key, QStringLiteral("IP Address"), QString(260, u'1')));
    ASSERT_TRUE(LoadWizardSettings(s, key, read));
    EXPECT_EQ(read.ipAddress, QString());
    EXPECT_FALSE(LoadWizardSettings(s, QString(), read));
    EXPECT_FALSE(SaveWizardSettings(s, QString(), read));
}

}   // namespace
