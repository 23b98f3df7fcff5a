// The driver base class and the cover-meter driver without an instrument:
// error texts, connecting, the type registry, and download replies built
// byte by byte and played through a scripted stream.
#include "scriptedstream.h"

#include "device/crc.h"
#include "device/vetrasmartdevice.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Device;
using DeviceTest::CScriptedStream;
using DeviceTest::Hex;
using DeviceTest::LittleEndian;
using DeviceTest::LongReply;

namespace {

const QString kRestart = QStringLiteral("\r\nPlease restart the device and this Application and retry the Upgrade.\r\n"
                                        "In case the error persists, contact a Quelix service centre.");

TEST(DeviceErrors, TextsWithAndWithoutRestartAdvice)
{
    CVetraSmartDevice d;
    EXPECT_EQ(d.GetErrorText(Err_Aborted), QStringLiteral("The process was aborted by the user."));
    EXPECT_EQ(d.GetErrorText(NError_code(42)),
              QStringLiteral("An error (42) occurred during the device Upgrade.") + kRestart);
    EXPECT_EQ(d.GetErrorText(Err_Checksum),
              QStringLiteral("An error (13) occurred during the device Upgrade.") + kRestart);
    EXPECT_EQ(d.GetErrorText(Err_Communication),
              QStringLiteral("A communication error occurred during the device Upgrade.") + kRestart);
    EXPECT_FALSE(d.GetErrorText(Err_PackageRead).contains(QStringLiteral("restart")));
}

TEST(DeviceConnect, OnlyOneOpenStreamOfAKnownKind)
{
    CVetraSmartDevice d;
    auto *first = new CScriptedStream;
    auto second = std::make_unique<CScriptedStream>();
    ASSERT_TRUE(d.Connect(first, Port_Serial));
    EXPECT_FALSE(d.Connect(second.get(), Port_Serial));
    EXPECT_EQ(d.GetStream(), first);
    EXPECT_EQ(d.GetPortKind(), Port_Serial);
    EXPECT_FALSE(d.Commands()->IsCrLfMode());   // CR lines, set without talking
    EXPECT_TRUE(first->Written().isEmpty());

    EXPECT_EQ(d.Disconnect(), first);
    std::unique_ptr<CScriptedStream> back(first);
    EXPECT_EQ(d.GetStream(), nullptr);
    EXPECT_EQ(d.GetPortKind(), Port_None);

    EXPECT_FALSE(d.Connect(second.get(), NPorts(3)));
    second->Close();
    EXPECT_FALSE(d.Connect(second.get(), Port_Usb));
    EXPECT_FALSE(d.Connect(nullptr, Port_Ip));
    EXPECT_EQ(d.GetStream(), nullptr);
}

TEST(DeviceConnect, UnconnectedDriverRefusesEveryCommand)
{
    CVetraSmartDevice d;
    std::uint8_t buffer[8] = {0x12};
    std::uint32_t reply = 5;
    EXPECT_EQ(d.Execute(0xD2, buffer, 1, reply, 8, 100, -1), Err_BadArguments);
    EXPECT_EQ(reply, 0u);
    EXPECT_EQ(d.Query(0xD2, 1, buffer, 8, 100), 0);
    char answer[8];
    EXPECT_EQ(d.QueryText("BR ?", answer, 8, 100), -1);
    SDeviceInfo info;
    EXPECT_FALSE(d.Identify(info));
    EXPECT_FALSE(d.SetBaudRate(115200));
    EXPECT_EQ(d.DeleteAllObjects(), Err_BadArguments);
    STransferContainer c;
    EXPECT_FALSE(d.DownloadObjects(c, 115200, true));

    auto *s = new CScriptedStream;
    ASSERT_TRUE(d.Connect(s, Port_Serial));
    EXPECT_EQ(d.Execute(0xD2, buffer, 1, reply, 0, 100, -1), Err_BadArguments);
    EXPECT_EQ(d.Execute(0xD2, nullptr, 1, reply, 8, 100, -1), Err_BadArguments);
    EXPECT_TRUE(s->Written().isEmpty());
}

TEST(DeviceRegistry, OnlyTheCoverMeterHasADriver)
{
    std::unique_ptr<CQxDevice> d(CreateDevice(Type_Vetrameter));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetPortMask(), 1u);
    EXPECT_EQ(d->GetType(), Type_Vetrameter);
    EXPECT_EQ(d->GetTypeName(), QStringLiteral("Vetrameter"));
    EXPECT_EQ(d->GetFamilyCode(), 6u);
    const StreamIO::SSerialSettings &s = *d->GetLineSettings();
    EXPECT_EQ(s.baud, 19200u);
    EXPECT_EQ(s.readTimeout, 1500);
    EXPECT_EQ(s.writeTimeout, 50);
    std::unique_ptr<CQxDevice> twin(d->CreateInstance());
    EXPECT_NE(dynamic_cast<CVetraSmartDevice *>(twin.get()), nullptr);

    EXPECT_EQ(CreateDevice(Type_None), nullptr);
    EXPECT_EQ(GetTypeName(Type_Vetrameter), QStringLiteral("Vetrameter"));
    EXPECT_TRUE(GetTypeName(Type_None).isEmpty());
}

// One 262-byte record; text fields are filled to their full width.
QByteArray makeRecord(std::uint16_t number, int count, char storage = 'A')
{
    QByteArray r(262, '\0');
    r[0] = 1;
    r[1] = 0;
    r.replace(2, 16, QByteArray(16, 'N'));
    r.replace(18, 16, QByteArray(16, 'S'));
    r.replace(34, 9, QByteArray(9, 'V'));
    r.replace(43, 5, QByteArray(5, 'H'));
    r.replace(48, 9, QByteArray(9, 'G'));
    r[57] = 2;
    r[58] = storage;
    r[59] = 16;
    r[60] = 30;
    r[61] = char(number & 0xFF);
    r[62] = char(number >> 8);
    r[63] = char(count);
    for (int i = 0; i < 99; ++i) {
        r[64 + i] = char(20 + i);
        r[163 + i] = char(1 + i % 60);
    }
    return r;
}

QByteArray replyHeader(std::uint8_t format, std::uint16_t n, std::uint16_t size = 262)
{
    return QByteArray(1, char(format)) + LittleEndian(n, 2) + LittleEndian(size, 2);
}

QByteArray withCrc16(const QByteArray &data)
{
    return LongReply(
        2, data,
        LittleEndian(Crc16(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size())), 2));
}

TEST(BinaryRecord, FieldsWithoutZeroByteStayWithinTheirWidth)
{
    CVetraSmartDevice d;
    const QByteArray r = makeRecord(0x0102, 3);
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(r.constData());
    TVetraObject o;
    ASSERT_TRUE(d.ParseBinaryObject(o, bytes));
    EXPECT_EQ(o.deviceName, QString(16, u'N'));
    EXPECT_EQ(o.serialNumber, QString(16, u'S'));
    EXPECT_EQ(o.softwareVersion, QString(9, u'V'));
    EXPECT_EQ(o.hardwareIndex, QString(5, u'H'));
    EXPECT_EQ(o.signature, QString(9, u'G'));
    EXPECT_EQ(o.version.value(), std::uint64_t(1) << 32);
    EXPECT_EQ(o.regional, 2);
    EXPECT_EQ(o.storageMode, 1);
    EXPECT_EQ(o.rawDefaultBarDiameter, 16);
    EXPECT_EQ(o.neighborCorrection, 30);
    EXPECT_EQ(o.objectNumber, 0x0102);
    ASSERT_EQ(o.measurements.size(), 3u);
    EXPECT_EQ(o.measurements[2].number, 3);
    EXPECT_EQ(o.measurements[2].cover, 22);
    EXPECT_EQ(o.measurements[2].rawDiameter, 3);
    EXPECT_TRUE(o.objectName.isEmpty());
    EXPECT_EQ(o.timeStamp, 0);

    QByteArray shorter = r;
    shorter[2 + 4] = 0;   // a zero byte ends the text early
    shorter[58] = 'M';
    ASSERT_TRUE(d.ParseBinaryObject(o, reinterpret_cast<const std::uint8_t *>(shorter.constData())));
    EXPECT_EQ(o.deviceName, QStringLiteral("NNNN"));
    EXPECT_EQ(o.storageMode, 0);
    shorter[58] = 'x';
    ASSERT_TRUE(d.ParseBinaryObject(o, reinterpret_cast<const std::uint8_t *>(shorter.constData())));
    EXPECT_EQ(o.storageMode, 255);

    TVetraObject tooMany;
    const QByteArray hundred = makeRecord(7, 100);
    EXPECT_FALSE(d.ParseBinaryObject(tooMany, reinterpret_cast<const std::uint8_t *>(hundred.constData())));
    EXPECT_EQ(tooMany.objectNumber, 7);   // the header was read before the count
    EXPECT_FALSE(d.ParseBinaryObject(tooMany, nullptr));
}

// A driver on a scripted stream; downloads at 19200 baud send no rate commands.
class ScriptedDriver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        stream = new CScriptedStream;
        ASSERT_TRUE(device.Connect(stream, Port_Serial));
    }
    bool download(const QByteArray &reply, STransferContainer &c)
    {
        stream->QueueReply(reply);
        return device.DownloadObjects(c, 19200, true);
    }

    CVetraSmartDevice device;
    CScriptedStream *stream = nullptr;   // owned by the driver
};

TEST_F(ScriptedDriver, BinaryDownloadRequestAndRestoredTimeouts)
{
    stream->SetTimeouts(777, 33);
    STransferContainer c;
    ASSERT_TRUE(download(withCrc16(replyHeader(1, 2) + makeRecord(1, 5) + makeRecord(2, 99)), c));
    EXPECT_EQ(stream->Written(), Hex("C1 D2 12"));
    ASSERT_EQ(c.objects.size(), 2);
    EXPECT_EQ(c.objects[1].measurements.size(), 99u);
    EXPECT_EQ(c.version.value(), std::uint64_t(1) << 32);
    EXPECT_TRUE(stream->TimeoutCalls().contains(qMakePair(1500, 1500)));
    EXPECT_EQ(stream->TimeoutCalls().last(), qMakePair(777, 33));
}

TEST_F(ScriptedDriver, ReplyAnnouncingMoreRecordsThanItHoldsFails)
{
    STransferContainer c;
    EXPECT_FALSE(download(withCrc16(replyHeader(1, 2) + makeRecord(1, 5)), c));
    EXPECT_TRUE(c.objects.isEmpty());
}

TEST_F(ScriptedDriver, ChecksumBytesAreNotTakenForRecordData)
{
    // One record is announced, 261 of its bytes come, then the CRC-16.
    STransferContainer c;
    EXPECT_FALSE(download(withCrc16(replyHeader(1, 1) + makeRecord(1, 5).left(261)), c));
    EXPECT_TRUE(c.objects.isEmpty());
}

TEST_F(ScriptedDriver, MalformedHeadersFail)
{
    STransferContainer c;
    EXPECT_FALSE(download(withCrc16(replyHeader(2, 1) + makeRecord(1, 5)), c));
    EXPECT_FALSE(download(withCrc16(replyHeader(1, 1, 261) + makeRecord(1, 5).left(261)), c));
    EXPECT_FALSE(download(withCrc16(Hex("01 00")), c));
    EXPECT_TRUE(c.objects.isEmpty());
}

TEST_F(ScriptedDriver, NoRecordsIsAnEmptySuccess)
{
    STransferContainer c;
    EXPECT_TRUE(download(withCrc16(replyHeader(1, 0)), c));
    EXPECT_TRUE(c.objects.isEmpty());
}

TEST_F(ScriptedDriver, FailedRecordIsCountedAndTheOthersKept)
{
    STransferContainer c;
    EXPECT_FALSE(download(withCrc16(replyHeader(1, 3) + makeRecord(1, 5) + makeRecord(2, 100) + makeRecord(3, 1)), c));
    ASSERT_EQ(c.objects.size(), 2);
    EXPECT_EQ(c.objects[0].objectNumber, 1);
    EXPECT_EQ(c.objects[1].objectNumber, 3);
}

TEST_F(ScriptedDriver, StatusF3MeansNoObjectsOnlyAsAStatus)
{
    STransferContainer c;
    EXPECT_TRUE(download(Hex("F3"), c));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_FALSE(download(Hex("F4"), c));
    EXPECT_FALSE(download(QByteArray(), c));
    // F3 as the first data byte of a reply is data, not the status.
    EXPECT_FALSE(download(Hex("01 F3"), c));
}

TEST_F(ScriptedDriver, DeleteAllUsesTheDefaultTimeouts)
{
    stream->QueueReply(Hex("00"));
    EXPECT_EQ(device.DeleteAllObjects(), Err_Success);
    EXPECT_EQ(stream->Written(), Hex("C1 D2 11"));
    EXPECT_EQ(stream->TimeoutCalls().last(), qMakePair(2000, 2000));
    stream->QueueReply(Hex("F2"));
    EXPECT_EQ(device.DeleteAllObjects(), Err_Communication);
}

TEST_F(ScriptedDriver, BaudChangeOnAStreamThatIsNoSerialPortFails)
{
    stream->QueueReply(Hex("06"));
    stream->QueueReply("208\r");
    stream->QueueReply(Hex("06"));
    stream->QueueReply("OK\r");
    EXPECT_FALSE(device.SetBaudRate(115200));
    EXPECT_EQ(device.GetLineSettings()->baud, 19200u);
    EXPECT_EQ(stream->Written(), QByteArray("\x10"
                                            "BR ?\r\x10"
                                            "BR 035\r\r"));

    stream->QueueReply(Hex("06"));
    stream->QueueReply("?\r");   // the instrument cannot change its rate
    EXPECT_FALSE(device.SetBaudRate(57600));
}

TEST_F(ScriptedDriver, IdentitySignatureMustNameTheFamily)
{
    struct Case
    {
        const char *line;
        bool accepted;
    };
    const Case cases[] = {
        {"Vetrameter;C;VM-1;06000001;2.11\r", true},
        {"Vetrameter;C;VM-1;00ABCDEF;2.11\r", false},   // top byte 0
        {"Vetrameter;C;VM-1;07000001;2.11\r", false},
        {"Vetrameter;C;VM-1;86000001;2.11\r", false},   // 0x80000000 and above
        {"Vetrameter;C;VM-1;06zz;2.11\r", false},
        {"Vetrameter;;VM-1;06000001;2.11\r", true},   // empty hardware revision
        {"Vetrameter;C;VM-1;06000001\r", false},      // four fields
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.line);
        stream->QueueReply(Hex("06"));
        stream->QueueReply(k.line);
        SDeviceInfo info;
        EXPECT_EQ(device.Identify(info), k.accepted);
    }
}

}   // namespace
