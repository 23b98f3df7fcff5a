// The engine and the cover-meter driver against the simulated instrument on
// a pseudo-terminal, unpaced. Every test names the fault it runs under.
#include "simulator.h"

#include "data/statistics.h"
#include "device/vetrasmartdevice.h"
#include "streamio/portmap.h"
#include "streamio/ramstream.h"
#include "streamio/rs232stream.h"
#include "streamio/streamtable.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Device;
using StreamIO::CRs232Stream;
using VetraSim::CSimulator;
using VetraSim::Fault;

namespace {

constexpr std::uint32_t kPort = 5;

class Simulated : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StreamIO::InitStreamLayer();
        sim.SetPacing(false);
        sim.GenerateObjects(6, 3);
        sim.Start();
        StreamIO::SetPortMap({{kPort, sim.SlavePath()}});
        device = std::make_unique<CVetraSmartDevice>();
        auto *stream = new CRs232Stream;
        ASSERT_TRUE(stream->OpenPort(kPort, StreamIO::SO_READ | StreamIO::SO_WRITE, device->GetLineSettings()));
        ASSERT_TRUE(device->Connect(stream, Port_Serial));
    }
    void TearDown() override
    {
        device.reset();   // closes the port while the instrument still runs
        sim.Stop();
        StreamIO::SetPortMap({});
        StreamIO::ShutdownStreamLayer();
    }
    void expectSameObjects(const STransferContainer &c) const
    {
        const QList<TVetraObject> expected = sim.Objects();
        ASSERT_EQ(c.objects.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(IsSameObject(c.objects[i], expected[i])) << "object " << i;
        EXPECT_EQ(c.version.value(), std::uint64_t(1) << 32);
    }
    bool logHas(const QString &entry) const { return sim.Log().contains(entry); }

    CSimulator sim;
    std::unique_ptr<CVetraSmartDevice> device;
};

TEST_F(Simulated, FaultNone_IdentifyByText)
{
    SDeviceInfo info;
    ASSERT_TRUE(device->Identify(info));
    EXPECT_EQ(info.typeName, QStringLiteral("Vetrameter"));
    EXPECT_EQ(info.firmwareVersion, QStringLiteral("2.11"));
    EXPECT_EQ(info.serialNumber, QStringLiteral("VM-20931"));
    EXPECT_EQ(device->GetHardwareRevision(), QStringLiteral("C"));
    EXPECT_EQ(device->GetSignature(), QStringLiteral("06A3F1B2"));
    EXPECT_EQ(device->GetProtocol(), CVetraSmartDevice::Protocol_Text);
    EXPECT_EQ(device->GetMode(), CVetraSmartDevice::Mode_2);
    EXPECT_TRUE(logHas(QStringLiteral("text @ID@")));
    EXPECT_EQ(device->GetInfoText(),
              QStringLiteral("Device type:\tVetrameter\r\nSerial number:\tVM-20931\r\nFirmware Version:\t2.11\r\n"
                             "Hardware revision:\tC\r\nSignature:\t06A3F1B2"));
    EXPECT_EQ(device->GetFirmwareId(), 0x06A3F1B2);
    EXPECT_EQ(device->GetSerialNumber(), QStringLiteral("VM-20931"));
}

TEST_F(Simulated, FaultNone_OlderInstrumentIdentifiesBySCommands)
{
    sim.SetTextIdentification(false);
    SDeviceInfo info;
    ASSERT_TRUE(device->Identify(info));
    EXPECT_EQ(info.serialNumber, QStringLiteral("VM-20931"));
    EXPECT_EQ(device->GetProtocol(), CVetraSmartDevice::Protocol_S);
    EXPECT_EQ(device->GetMode(), CVetraSmartDevice::Mode_Normal);   // entered mode 2 and left it
    const QStringList log = sim.Log();
    const qsizetype enter = log.indexOf(QStringLiteral("S SC030202F8"));
    ASSERT_GE(enter, 0);
    EXPECT_EQ(log.value(enter + 1), QStringLiteral("S SI030000FC"));
    EXPECT_EQ(log.value(enter + 2), QStringLiteral("S SC030200FA"));

    ASSERT_TRUE(device->EnterMode1());
    EXPECT_EQ(device->GetMode(), CVetraSmartDevice::Mode_1);
    sim.ClearLog();
    ASSERT_TRUE(device->EnterMode2());   // leaves mode 1 first
    EXPECT_EQ(device->GetMode(), CVetraSmartDevice::Mode_2);
    EXPECT_EQ(sim.Log(), (QStringList{QStringLiteral("S SC030100FB"), QStringLiteral("S SC030202F8")}));
}

TEST_F(Simulated, FaultNone_ModeCommandsNeedTheSProtocol)
{
    SDeviceInfo info;
    ASSERT_TRUE(device->Identify(info));   // text: protocol 8
    EXPECT_FALSE(device->EnterMode1());
    EXPECT_FALSE(device->EnterMode2());
}

TEST_F(Simulated, FaultWrongFamily_IdentifyRefused)
{
    sim.SetFault(Fault::WrongFamily);
    SDeviceInfo info;
    EXPECT_FALSE(device->Identify(info));
    EXPECT_TRUE(device->GetSignature().startsWith(QStringLiteral("07")));
    EXPECT_EQ(device->GetFirmwareId(), 0);
}

TEST_F(Simulated, FaultNone_EmptyHardwareRevisionReadsAsDash)
{
    VetraSim::SIdentity id;
    id.hardwareRevision.clear();
    sim.SetIdentity(id);
    SDeviceInfo info;
    ASSERT_TRUE(device->Identify(info));
    EXPECT_EQ(device->GetHardwareRevision(), QStringLiteral("-"));
    EXPECT_EQ(info.serialNumber, QStringLiteral("VM-20931"));
    EXPECT_EQ(device->GetIdentity(),
              (QStringList{QStringLiteral("Vetrameter"), QStringLiteral("2.11"), QStringLiteral("VM-20931"),
                           QStringLiteral("-"), QStringLiteral("06A3F1B2")}));
}

TEST_F(Simulated, FaultSilent_IdentifyFails)
{
    sim.SetFault(Fault::Silent);
    SDeviceInfo info;
    EXPECT_FALSE(device->Identify(info));
}

TEST_F(Simulated, FaultGarbage_ThenResyncOnceCleared)
{
    sim.SetFault(Fault::Garbage);
    std::uint8_t buffer[64] = {};
    EXPECT_NE(device->Commands()->Query(0xF1, 0, buffer, sizeof buffer, 200), 4);
    sim.SetFault(Fault::None);
    EXPECT_TRUE(device->Commands()->Resync());
    EXPECT_TRUE(logHas(QStringLiteral("resync")));
    SDeviceInfo info;
    EXPECT_TRUE(device->Identify(info));
}

TEST_F(Simulated, FaultNone_BinaryDownloadAtEveryChecksumKind)
{
    for (const std::uint8_t kind : {2, 1, 4, 7}) {
        SCOPED_TRACE(int(kind));
        sim.SetChecksumKind(kind);
        sim.ClearLog();
        STransferContainer c;
        ASSERT_TRUE(device->DownloadObjects(c, 115200, true));
        expectSameObjects(c);
        EXPECT_TRUE(logHas(QStringLiteral("text BR 035")));
        EXPECT_TRUE(logHas(QStringLiteral("frame D2 12")));
        // The link is back at the rate the instrument starts with.
        EXPECT_EQ(sim.Baud(), 19200u);
        EXPECT_EQ(device->GetLineSettings()->baud, 19200u);
        EXPECT_EQ(static_cast<CRs232Stream *>(device->GetStream())->Settings().baud, 19200u);
    }
}

TEST_F(Simulated, FaultNone_TextDownload)
{
    // The data-file text gives ASTM inch corrections in table steps only.
    QList<TVetraObject> objects = sim.Objects();
    for (TVetraObject &o : objects)
        if (o.regional == 1 && o.neighborCorrection != 0)
            o.neighborCorrection = 50;
    sim.SetObjects(objects);
    STransferContainer c;
    ASSERT_TRUE(device->DownloadObjects(c, 115200, false));
    expectSameObjects(c);
    EXPECT_TRUE(logHas(QStringLiteral("frame D2 10")));
    EXPECT_EQ(sim.Baud(), 19200u);
}

TEST_F(Simulated, FaultNoObjects_DownloadIsAnEmptySuccess)
{
    sim.SetFault(Fault::NoObjects);
    STransferContainer c;
    c.objects.append(TVetraObject{});   // emptied by the download
    EXPECT_TRUE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
}

TEST_F(Simulated, FaultNone_EmptyInstrumentAnswersAnEmptyList)
{
    sim.SetObjects({});
    sim.SetEmptyAnswersStatus(false);
    STransferContainer c;
    EXPECT_TRUE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_EQ(c.version.value(), std::uint64_t(1) << 32);
}

TEST_F(Simulated, FaultBadChecksum_DownloadFails)
{
    sim.SetFault(Fault::BadChecksum);
    STransferContainer c;
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_EQ(sim.Baud(), 19200u);
}

TEST_F(Simulated, FaultTruncated_DownloadFails)
{
    sim.SetFault(Fault::Truncated);
    STransferContainer c;
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_EQ(device->GetLineSettings()->baud, 19200u);
}

TEST_F(Simulated, FaultDisconnectAfter_DownloadFailsWithoutCrash)
{
    sim.SetFault(Fault::DisconnectAfter, 300);   // within the first records
    STransferContainer c;
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_TRUE(logHas(QStringLiteral("disconnected")));
    SDeviceInfo info;
    bool identified = true;
    try {
        identified = device->Identify(info);
    } catch (const StreamIO::StreamError &) {
        identified = false;   // callers treat a raised error as not identified
    }
    EXPECT_FALSE(identified);
}

TEST_F(Simulated, FaultNone_SameBaudRateSendsNothing)
{
    sim.ClearLog();
    EXPECT_TRUE(device->SetBaudRate(19200));
    EXPECT_TRUE(sim.Log().isEmpty());

    ASSERT_TRUE(device->SetBaudRate(57600));
    EXPECT_EQ(sim.Baud(), 57600u);
    EXPECT_TRUE(logHas(QStringLiteral("text BR 069")));
    ASSERT_TRUE(device->SetBaudRate(19200));
    EXPECT_TRUE(logHas(QStringLiteral("text BR 208")));
    EXPECT_EQ(sim.Baud(), 19200u);
}

TEST_F(Simulated, FaultNone_DeleteAllEmptiesTheInstrument)
{
    ASSERT_FALSE(sim.Objects().isEmpty());
    EXPECT_EQ(device->DeleteAllObjects(), Err_Success);
    EXPECT_TRUE(sim.Objects().isEmpty());
    EXPECT_TRUE(logHas(QStringLiteral("frame D2 11")));
    STransferContainer c;
    EXPECT_TRUE(device->DownloadObjects(c, 115200, true));   // 0xF3 now
    EXPECT_TRUE(c.objects.isEmpty());
}

}   // namespace

TEST_F(Simulated, FaultNone_FileCommandsRoundTripThroughTheInstrument)
{
    sim.SetFiles({{QStringLiteral("cfg\\unit.txt"), QByteArray("unit=mm")}});
    QString listing;
    ASSERT_TRUE(device->ListDirectory(0, listing));
    EXPECT_EQ(listing, QStringLiteral("cfg\\unit.txt,7"));

    StreamIO::CRamStream copy;
    ASSERT_TRUE(
        copy.Open(QStringLiteral("RAM:load"), StreamIO::SO_READ | StreamIO::SO_WRITE | StreamIO::SO_CREATE_ALWAYS));
    ASSERT_TRUE(device->LoadFile(copy, QStringLiteral("cfg\\unit.txt")));
    EXPECT_TRUE(logHas(QStringLiteral("text LOAD \"cfg\\\\unit.txt\"")));   // the backslash went out doubled
    EXPECT_EQ(copy.GetLength(), 7u);

    ASSERT_TRUE(device->SaveFileFrom(QStringLiteral("copy.txt"), copy));
    EXPECT_EQ(sim.Files().value(QStringLiteral("copy.txt")), QByteArray("unit=mm"));
    ASSERT_TRUE(device->SaveEmptyFile(QStringLiteral("empty.txt")));
    EXPECT_TRUE(sim.Files().contains(QStringLiteral("empty.txt")));
    ASSERT_TRUE(device->MoveDeviceFile(QStringLiteral("copy.txt"), QStringLiteral("moved.txt")));
    EXPECT_TRUE(sim.Files().contains(QStringLiteral("moved.txt")));
    ASSERT_TRUE(device->DeleteDeviceFile(QStringLiteral("moved.txt")));
    EXPECT_FALSE(sim.Files().contains(QStringLiteral("moved.txt")));
    EXPECT_FALSE(device->DeleteDeviceFile(QStringLiteral("moved.txt")));   // answered with "?"
    StreamIO::CRamStream none;
    ASSERT_TRUE(
        none.Open(QStringLiteral("RAM:none"), StreamIO::SO_READ | StreamIO::SO_WRITE | StreamIO::SO_CREATE_ALWAYS));
    EXPECT_FALSE(device->LoadFile(none, QStringLiteral("missing.txt")));   // length 0
}
