// The upgrade job against the simulated instrument.
#include "simfixture.h"

#include "receiver.h"

#include "device/worker.h"
#include "streamio/ramstream.h"

#include <QtEndian>

#include <condition_variable>
#include <mutex>
#include <thread>

using namespace Device;

namespace {

using UpgradeReceiver = RecordingReceiver;

// One S-record with its count and checksum.
QByteArray SRecord(const QByteArray &addressAndData)
{
    QByteArray bytes = QByteArray(1, char(addressAndData.size() + 1)) + addressAndData;
    unsigned sum = 0;
    for (char b : bytes)
        sum += std::uint8_t(b);
    bytes.append(char(0xFF - (sum & 0xFF)));
    return "S1" + bytes.toHex().toUpper() + "\r\n";
}

// A block of S-record data behind its 16-byte sub-header.
QByteArray SRecordBlock(int records)
{
    QByteArray data;
    for (int i = 0; i < records; ++i)
        data += SRecord(QByteArray::fromHex("0100") + QByteArray(8, char('A' + i)));
    QByteArray sub(16, '\0');
    qToLittleEndian<std::uint16_t>(16, sub.data() + 4);
    qToLittleEndian<std::uint32_t>(std::uint32_t(data.size()), sub.data() + 12);
    return sub + data;
}

StreamIO::CRamStream *PackageStream(const QByteArray &bytes)
{
    auto *s = new StreamIO::CRamStream;
    s->Open(QStringLiteral("RAM:package"), StreamIO::SO_READ | StreamIO::SO_WRITE | StreamIO::SO_CREATE_ALWAYS);
    s->Write(bytes.constData(), int(bytes.size()));
    s->SetPosition(0);
    return s;
}

QByteArray Package(std::uint32_t firmwareId, std::uint8_t blockMode, int blocks = 2)
{
    CPackageHeader header;
    header.firmwareId = firmwareId;
    QList<SBlockDescriptor> descriptors;
    QList<QByteArray> data;
    for (int i = 0; i < blocks; ++i) {
        SBlockDescriptor d;
        d.contentKind = 0x41;
        d.deviceMode = blockMode;
        descriptors.append(d);
        data.append(SRecordBlock(3 + i));
    }
    return BuildPackage(header, {{0, 0, std::uint16_t(blocks)}}, descriptors, data);
}

class UpgradeTest : public SimFixture
{
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        ASSERT_TRUE(StartWorker());
        ClearAbort();
    }
    void TearDown() override
    {
        StopWorker();
        SimFixture::TearDown();
    }
};

}   // namespace

TEST_F(UpgradeTest, EveryStepRunsAndTheJobReportsSuccess)
{
    auto device = Connected(false);
    UpgradeReceiver r;
    ASSERT_TRUE(QueueUpgrade(&r, device.get(), PackageStream(Package(0x06A3F1B2, 1))));
    ASSERT_TRUE(r.WaitForFinish());
    EXPECT_EQ(r.finishedCode, 0) << qPrintable(r.finishedText);
    EXPECT_TRUE(r.finishedText.isEmpty());
    const QString all = r.statuses.join(u'\n');
    for (const char *step : {"Perform some device checks.", "Do device specific initializations.", "Erase Memory",
                             "Set the device into the appropriate operation mode. [1/2]",
                             "Transfer datablock to the device. [2/2]", "Finished the device upgrade successfully."})
        EXPECT_TRUE(all.contains(QLatin1String(step))) << step;
    // Every record of both blocks went out and was accepted.
    int records = 0;
    for (const QString &entry : sim->Log())
        records += entry.startsWith(QStringLiteral("S S1"));
    EXPECT_EQ(records, 3 + 4);
    for (const char *command : {"S SE030000FC", "S SX030000FC", "S SC030102F9"})
        EXPECT_TRUE(sim->Log().contains(QLatin1String(command))) << command;
    ASSERT_FALSE(r.progress.isEmpty());
    EXPECT_EQ(r.progress.last(), qMakePair(100, 1));
    EXPECT_TRUE(std::any_of(r.progress.begin(), r.progress.end(), [](const auto &p) { return p.second == 2; }));
    EXPECT_EQ(device->GetPackage(), nullptr);   // detached (and destroyed) by the job
    EXPECT_EQ(device->Callback(), nullptr);
}

TEST_F(UpgradeTest, AFailingStepEndsTheJobWithItsCode)
{
    {
        auto device = Connected(false);
        UpgradeReceiver r;   // a package for another instrument: the check refuses it
        ASSERT_TRUE(QueueUpgrade(&r, device.get(), PackageStream(Package(0x07000001, 1))));
        ASSERT_TRUE(r.WaitForFinish());
        EXPECT_EQ(r.finishedCode, Err_PackageType);
        EXPECT_EQ(r.finishedText, device->GetErrorText(Err_PackageType));
        EXPECT_FALSE(sim->Log().contains(QStringLiteral("S SE030000FC")));   // nothing was erased
    }
    {
        auto device = Connected(false);
        UpgradeReceiver r;   // a block for a mode the instrument does not have
        ASSERT_TRUE(QueueUpgrade(&r, device.get(), PackageStream(Package(0x06A3F1B2, 5))));
        ASSERT_TRUE(r.WaitForFinish());
        EXPECT_EQ(r.finishedCode, Err_BadArguments);
    }
    {
        auto device = Connected(false);
        UpgradeReceiver r;
        ASSERT_TRUE(QueueUpgrade(&r, device.get(), PackageStream(QByteArray("not a package"))));
        ASSERT_TRUE(r.WaitForFinish());
        EXPECT_EQ(r.finishedCode, Err_PackageRead);
    }
    UpgradeReceiver r;
    std::unique_ptr<StreamIO::CRamStream> unused(PackageStream(QByteArray()));
    EXPECT_FALSE(QueueUpgrade(&r, nullptr, unused.get()));   // no driver: nothing is queued
}

TEST_F(UpgradeTest, ASelectionLeavesBlocksOut)
{
    auto device = Connected(false);
    UpgradeReceiver r;
    const QList<SContentEntry> selection{{SContentEntry::kLeaveOut, 0, 1}};   // not the first block
    ASSERT_TRUE(QueueUpgrade(&r, device.get(), PackageStream(Package(0x06A3F1B2, 1)), &selection));
    ASSERT_TRUE(r.WaitForFinish());
    EXPECT_EQ(r.finishedCode, 0) << qPrintable(r.finishedText);
    int records = 0;
    for (const QString &entry : sim->Log())
        records += entry.startsWith(QStringLiteral("S S1"));
    EXPECT_EQ(records, 4);   // only the second block's records
}

TEST_F(UpgradeTest, AnUpgradeThatNeverRunsIsReportedAndItsPackageFreed)
{
    // A second, silent instrument on COM4 keeps a search busy ahead of the upgrade.
    VetraSim::CSimulator silent;
    silent.SetPacing(false);
    silent.SetFault(VetraSim::Fault::Silent);
    silent.Start();
    QHash<std::uint32_t, QString> ports = StreamIO::PortMap();
    ports.insert(4, silent.SlavePath());
    StreamIO::SetPortMap(ports);
    auto device = Connected(false);
    struct Idle : CCallback
    {
    } searchReceiver;
    SSearchParams p;
    p.type = Type_Vetrameter;
    p.portKind = Port_Serial;
    p.portNumber = 4;
    ASSERT_TRUE(QueueSearch(&searchReceiver, &p));
    UpgradeReceiver r;
    ASSERT_TRUE(QueueUpgrade(&r, device.get(), PackageStream(Package(0x06A3F1B2, 1))));
    for (int i = 0; i < 500 && !silent.Log().contains(QStringLiteral("text ignored")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    AbortJobs(10000);
    ASSERT_TRUE(r.WaitForFinish());
    EXPECT_EQ(r.finishedCode, Err_Aborted);
    EXPECT_FALSE(sim->Log().contains(QStringLiteral("S SE030000FC")));   // it never started
    // The package's RAM file went with it: the name can be created anew.
    StreamIO::CRamStream again;
    EXPECT_TRUE(
        again.Open(QStringLiteral("RAM:package"), StreamIO::SO_READ | StreamIO::SO_WRITE | StreamIO::SO_CREATE_NEW));
    silent.Stop();
}
