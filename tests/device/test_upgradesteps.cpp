// The base upgrade steps of the driver, against scripted replies.
#include "scriptedstream.h"

#include "device/crc.h"
#include "device/qxdevice.h"
#include "device/worker.h"
#include "streamio/ramstream.h"
#include "streamio/streamtable.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace Device;
using DeviceTest::CScriptedStream;
using DeviceTest::Hex;

namespace {

// An instrument that uses the base steps as they are.
class PlainDevice : public CQxDevice
{
public:
    PlainDevice() : CQxDevice(NTypes(5), Port_Serial, QStringLiteral("Other"), 5) {}
    CQxDevice *CreateInstance() const override { return new PlainDevice; }
    bool Identify(SDeviceInfo &) override { return true; }
    QString GetInfoText() override { return {}; }
    QString GetSerialNumber() override { return {}; }
    std::int32_t GetFirmwareId() override { return 0x0500002A; }
};

class UpgradeSteps : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StreamIO::InitStreamLayer();
        stream = new CScriptedStream;
        ASSERT_TRUE(device.Connect(stream, Port_Serial));
        for (int i = 0; i < 100; ++i)
            data.append(char(i * 7));
        package.Open(QStringLiteral("RAM:steps"), StreamIO::SO_READ | StreamIO::SO_WRITE | StreamIO::SO_CREATE_ALWAYS);
        package.Write(data.constData(), int(data.size()));
        package.SetPosition(0);
        ASSERT_TRUE(device.AttachPackage(&package));
        contents.header.firmwareId = 0x0500002A;
        for (int i = 0; i < CPackageHeader::kHeaderBlockSize; ++i)
            contents.header.headerBlock[i] = char(i);
        block.size = std::uint32_t(data.size());
    }
    void TearDown() override { device.DetachPackage(); }

    PlainDevice device;
    CScriptedStream *stream = nullptr;   // owned by the driver
    StreamIO::CRamStream package;
    QByteArray data;
    CContents contents;
    SBlockDescriptor block;
};

}   // namespace

TEST_F(UpgradeSteps, ModeChangesSendTheHeaderBlockInFourParts)
{
    EXPECT_EQ(device.CheckPackage(contents), Err_Success);
    contents.header.firmwareId = 1;
    EXPECT_EQ(device.CheckPackage(contents), Err_PackageType);
    EXPECT_EQ(device.PrepareUpgrade(contents), Err_Success);

    block.modeBefore = 0x01;   // mode 1, header block wanted
    stream->QueueReply(Hex("01 00"));
    for (int i = 0; i < 4; ++i)
        stream->QueueReply(Hex("00"));
    ASSERT_EQ(device.SetModeForBlock(contents, block), Err_Success);
    const QByteArray written = stream->Written();
    EXPECT_TRUE(written.startsWith(Hex("C2 F4 00 01")));
    for (int part = 0; part < 4; ++part) {
        QByteArray frame = Hex("E2 F8 01");
        frame.append(char(part));
        frame.append(contents.header.headerBlock.mid(part * 32, 32));
        EXPECT_TRUE(written.contains(frame)) << part;
    }
    // The same mode again, header already sent: nothing more goes out.
    const qsizetype before = stream->Written().size();
    EXPECT_EQ(device.SetModeForBlock(contents, block), Err_Success);
    EXPECT_EQ(stream->Written().size(), before);

    block.modeAfter = 0x02;
    stream->QueueReply(Hex("01 00"));
    EXPECT_EQ(device.FinishBlock(contents, block), Err_Success);
    EXPECT_TRUE(stream->Written().endsWith(Hex("C2 F4 00 02")));
    block.modeAfter = 0x03;   // no answer to the mode change
    EXPECT_EQ(device.FinishBlock(contents, block), Err_ModeChangeFailed);
}

TEST_F(UpgradeSteps, UploadSendsFramesAndTheCrcThenProgramsOnRequest)
{
    for (int i = 0; i < 4; ++i)   // three data frames (44, 44, 12 bytes) and the CRC frame
        stream->QueueReply(Hex("00"));
    ASSERT_EQ(device.UploadBlock(block), Err_Success);
    QByteArray crc = Hex("C5 F8 03");
    std::uint8_t sum[4];
    qToLittleEndian(Crc32(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size())), sum);
    crc.append(reinterpret_cast<const char *>(sum), 4);
    EXPECT_TRUE(stream->Written().endsWith(crc));
    EXPECT_TRUE(stream->Written().startsWith(Hex("ED F8 02") + data.left(44)));

    const qsizetype before = stream->Written().size();
    EXPECT_EQ(device.ProgramBlock(block), Err_Success);   // not asked to program
    EXPECT_EQ(stream->Written().size(), before);
    block.modeAfter = SBlockDescriptor::kProgram;
    stream->QueueReply(Hex("00"));
    EXPECT_EQ(device.ProgramBlock(block), Err_Success);
    EXPECT_TRUE(stream->Written().endsWith(Hex("C1 F8 04")));
    stream->QueueReply(Hex("F5"));
    EXPECT_EQ(device.ProgramBlock(block), Err_ProgramFailed);

    package.SetPosition(0);
    stream->QueueReply(Hex("F5"));   // the first data frame is refused
    EXPECT_EQ(device.UploadBlock(block), Err_UploadFailed);
}

TEST_F(UpgradeSteps, SkippingAndAbortingAndUnconnected)
{
    EXPECT_EQ(device.SkipBlock(block), Err_Success);
    EXPECT_EQ(package.GetPosition(), std::uint32_t(data.size()));
    AbortJobs(0);
    EXPECT_EQ(device.CheckPackage(contents), Err_Aborted);
    EXPECT_EQ(device.UploadBlock(block), Err_Aborted);
    ClearAbort();
    delete device.Disconnect();
    EXPECT_EQ(device.PrepareUpgrade(contents), Err_BadArguments);
    EXPECT_EQ(device.FinishUpgrade(), Err_BadArguments);
}

TEST_F(UpgradeSteps, ABlockPastThePackageEndIsNotSkippedInto)
{
    block.size = 0x80000010;   // would be a negative seek as a 32-bit offset
    EXPECT_EQ(device.SkipBlock(block), Err_PackageRead);
    EXPECT_EQ(package.GetPosition(), 0u);
}
