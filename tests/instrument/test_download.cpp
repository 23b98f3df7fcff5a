// Downloads and deletion against the simulated instrument, with each of its
// faults.
#include "simfixture.h"

#include "data/statistics.h"

using namespace Device;

namespace {

// The fields a download record carries (it has no name, comment or time).
void ExpectSameRecord(const TVetraObject &got, const TVetraObject &served)
{
    EXPECT_EQ(got.version.value(),
              (std::uint64_t(served.version.value() >> 32 & 0xFF) << 32) | (served.version.value() & 0xFF));
    EXPECT_EQ(got.deviceName, served.deviceName.left(16));
    EXPECT_EQ(got.serialNumber, served.serialNumber.left(16));
    EXPECT_EQ(got.softwareVersion, served.softwareVersion.left(9));
    EXPECT_EQ(got.hardwareIndex, served.hardwareIndex.left(5));
    EXPECT_EQ(got.signature, served.signature.left(9));
    EXPECT_EQ(got.regional, served.regional);
    EXPECT_EQ(got.storageMode, served.storageMode);
    EXPECT_EQ(got.rawDefaultBarDiameter, served.rawDefaultBarDiameter);
    EXPECT_EQ(got.neighborCorrection, served.neighborCorrection);
    EXPECT_EQ(got.objectNumber, served.objectNumber);
    ASSERT_EQ(got.measurements.size(), served.measurements.size());
    for (std::size_t i = 0; i < got.measurements.size(); ++i) {
        EXPECT_EQ(got.measurements[i].number, i + 1);
        EXPECT_EQ(got.measurements[i].cover, served.measurements[i].cover);
        EXPECT_EQ(got.measurements[i].rawDiameter, served.measurements[i].rawDiameter);
    }
    EXPECT_TRUE(got.objectName.isEmpty());
    EXPECT_EQ(got.timeStamp, 0);
}

}   // namespace

TEST_F(SimFixture, BinaryDownloadOf549ObjectsSwitchesTheLineThereAndBack)
{
    sim->GenerateObjects(549, 3);
    auto device = Connected();
    sim->ClearLog();
    STransferContainer c;
    ASSERT_TRUE(device->DownloadObjects(c, 115200, true));
    const QList<TVetraObject> served = sim->Objects();
    ASSERT_EQ(c.objects.size(), 549);
    EXPECT_EQ(c.version.value(), std::uint64_t(1) << 32);
    for (qsizetype i = 0; i < served.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectSameRecord(c.objects[i], served[i]);
        EXPECT_TRUE(IsSameObject(c.objects[i], served[i]));
    }
    const QStringList log = sim->Log();
    EXPECT_TRUE(log.contains(QStringLiteral("text BR 035")));
    EXPECT_TRUE(log.contains(QStringLiteral("text BR 208")));
    EXPECT_LT(log.indexOf(QStringLiteral("text BR 035")), log.indexOf(QStringLiteral("frame D2 12")));
    EXPECT_EQ(sim->Baud(), 19200u);
    EXPECT_EQ(device->GetLineSettings()->baud, 19200u);
}

TEST_F(SimFixture, TextDownloadReadsTheDataFileTexts)
{
    auto device = Connected();
    STransferContainer c;
    ASSERT_TRUE(device->DownloadObjects(c, 115200, false));
    const QList<TVetraObject> served = sim->Objects();
    ASSERT_EQ(c.objects.size(), served.size());
    for (qsizetype i = 0; i < served.size(); ++i) {
        EXPECT_TRUE(IsSameObject(c.objects[i], served[i]));
        EXPECT_EQ(c.objects[i].objectName, served[i].objectName);   // the text form carries names and times
        EXPECT_EQ(c.objects[i].timeStamp, served[i].timeStamp);
    }
}

TEST_F(SimFixture, DeleteAllEmptiesTheInstrumentAndAnEmptyDownloadSucceeds)
{
    auto device = Connected();
    EXPECT_EQ(device->DeleteAllObjects(), Err_Success);
    EXPECT_TRUE(sim->Objects().isEmpty());
    STransferContainer c;
    c.objects.append(TVetraObject{});                        // a download starts from an empty list
    EXPECT_TRUE(device->DownloadObjects(c, 115200, true));   // answered with 0xF3
    EXPECT_TRUE(c.objects.isEmpty());
}

TEST_F(SimFixture, EveryFaultFailsTheDownloadAndLeavesTheLineAt19200)
{
    struct Case
    {
        VetraSim::Fault fault;
        bool succeeds;
    };
    const Case cases[] = {
        {VetraSim::Fault::BadChecksum, false}, {VetraSim::Fault::Truncated, false}, {VetraSim::Fault::Garbage, false},
        {VetraSim::Fault::Silent, false},      {VetraSim::Fault::NoObjects, true},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(int(k.fault));
        sim->SetFault(VetraSim::Fault::None);
        auto device = Connected();
        sim->SetFault(k.fault);
        STransferContainer c;
        EXPECT_EQ(device->DownloadObjects(c, 115200, true), k.succeeds);
        EXPECT_TRUE(c.objects.isEmpty());
        EXPECT_EQ(device->GetLineSettings()->baud, 19200u);
        sim->SetFault(VetraSim::Fault::None);
        EXPECT_EQ(sim->Baud(), 19200u);
    }
}

TEST_F(SimFixture, ALinkThatDropsMidDownloadFailsWithoutACrash)
{
    auto device = Connected();
    sim->SetFault(VetraSim::Fault::DisconnectAfter, 2000);
    STransferContainer c;
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_TRUE(sim->Log().contains(QStringLiteral("disconnected")));
}

TEST_F(SimFixture, IdentificationRefusesAnotherFamilyAndFallsBackToSCommands)
{
    sim->SetFault(VetraSim::Fault::WrongFamily);
    auto wrong = Connected(false);
    SDeviceInfo info;
    EXPECT_FALSE(wrong->Identify(info));
    EXPECT_EQ(wrong->GetSignature().left(2), QStringLiteral("07"));
    wrong.reset();   // the port is held while a driver is connected

    sim->SetFault(VetraSim::Fault::None);
    sim->SetTextIdentification(false);
    auto older = Connected(false);
    sim->ClearLog();
    ASSERT_TRUE(older->Identify(info));
    EXPECT_EQ(older->GetProtocol(), CVetraSmartDevice::Protocol_S);
    EXPECT_EQ(older->GetMode(), CVetraSmartDevice::Mode_Normal);   // mode 2 was entered and left again
    EXPECT_EQ(info.serialNumber, QStringLiteral("VM-20931"));
    const QStringList log = sim->Log();
    EXPECT_TRUE(log.contains(QStringLiteral("S SC030202F8")));
    EXPECT_TRUE(log.contains(QStringLiteral("S SI030000FC")));
    EXPECT_TRUE(log.contains(QStringLiteral("S SC030200FA")));
}

TEST_F(SimFixture, ABaudRateAlreadySetSendsNothing)
{
    auto device = Connected();
    sim->ClearLog();
    EXPECT_TRUE(device->SetBaudRate(19200));
    EXPECT_TRUE(sim->Log().isEmpty());
}
