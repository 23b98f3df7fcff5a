// The command engine against scripted replies: frames, statuses, long
// replies and their checksums, text lines, S-commands and the short exchanges.
#include "scriptedstream.h"

#include "device/crc.h"
#include "device/qxcommands.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Device;
using DeviceTest::CScriptedStream;
using DeviceTest::Hex;
using DeviceTest::LittleEndian;
using DeviceTest::LongReply;

namespace {

const QByteArray kCheck("123456789");
const auto *kCheckBytes = reinterpret_cast<const std::uint8_t *>(kCheck.constData());

QByteArray crc16Of(const QByteArray &d)
{
    return LittleEndian(Crc16(reinterpret_cast<const std::uint8_t *>(d.constData()), std::size_t(d.size())), 2);
}

TEST(Checksums, StandardCheckValues)
{
    EXPECT_EQ(Crc8(kCheckBytes, 9), 0xA1);
    EXPECT_EQ(Crc16(kCheckBytes, 9), 0xBB3D);
    EXPECT_EQ(Crc32(kCheckBytes, 9), 0xCBF43926u);
    // Nothing to sum gives the initial values after the final step.
    EXPECT_EQ(Crc8(kCheckBytes, 0), 0);
    EXPECT_EQ(Crc32(kCheckBytes, 0), 0u);
}

TEST(Checksums, ModeCommandHexBytesSumToFF)
{
    const QByteArray bytes = QByteArray::fromHex(QByteArray("SC030202F8\r\n").mid(2, 8));
    unsigned sum = 0;
    for (char c : bytes)
        sum += std::uint8_t(c);
    EXPECT_EQ(bytes.size(), 4);
    EXPECT_EQ(sum & 0xFF, 0xFFu);
}

class Engine : public ::testing::Test
{
protected:
    NError_code execute(std::vector<std::uint8_t> &buffer, std::uint32_t payload, std::uint32_t &reply,
                        CCallback *progress = nullptr)
    {
        return engine.Execute(0xD2, buffer.data(), payload, reply, std::uint32_t(buffer.size()), 200, -1, progress);
    }

    CScriptedStream stream;
    CQxCommands engine{&stream};
};

TEST_F(Engine, PayloadAbove47IsRefusedWithoutSending)
{
    std::vector<std::uint8_t> buffer(64, 0x55);
    std::uint32_t reply = 99;
    EXPECT_EQ(execute(buffer, 48, reply), Err_BadArguments);
    EXPECT_EQ(reply, 0u);
    EXPECT_TRUE(stream.Written().isEmpty());
    EXPECT_EQ(engine.Execute(0xD2, buffer.data(), 1, reply, 64, -5, -1, nullptr), Err_BadArguments);
    EXPECT_TRUE(stream.Written().isEmpty());

    // 47 is the largest payload: its length byte is C0 + 47.
    stream.QueueReply(Hex("00"));
    EXPECT_EQ(execute(buffer, 47, reply), Err_Success);
    ASSERT_EQ(stream.Written().size(), 49);
    EXPECT_EQ(std::uint8_t(stream.Written()[0]), 0xEF);
    EXPECT_EQ(std::uint8_t(stream.Written()[1]), 0xD2);
}

TEST_F(Engine, RequestFrameClearsInputAndUsesReadTimeoutForBoth)
{
    std::vector<std::uint8_t> buffer{0x12, 0x34};
    stream.Preload(Hex("AA BB"));   // stale bytes must not be taken for the reply
    stream.QueueReply(Hex("02 01 02"));
    std::uint32_t reply = 0;
    EXPECT_EQ(execute(buffer, 2, reply), Err_Success);
    EXPECT_EQ(stream.Written(), Hex("C2 D2 12 34"));
    EXPECT_EQ(reply, 2u);
    EXPECT_EQ(buffer[0], 0x01);
    EXPECT_EQ(buffer[1], 0x02);
    EXPECT_EQ(stream.ClearInputCalls(), 1);
    ASSERT_FALSE(stream.TimeoutCalls().isEmpty());
    EXPECT_EQ(stream.TimeoutCalls().last(), qMakePair(200, 200));
}

TEST_F(Engine, OversizedShortReplyKeepsWhatFitsAndConsumesTheRest)
{
    std::vector<std::uint8_t> buffer(3, 0);
    stream.QueueReply(Hex("05 0A 0B 0C 0D 0E"));
    std::uint32_t reply = 0;
    EXPECT_EQ(execute(buffer, 1, reply), Err_Truncated);
    EXPECT_EQ(reply, 5u);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(stream.Unread(), 0);

    // A reply that stops early, or whose stream fails, is a communication failure.
    std::vector<std::uint8_t> large(16, 0);
    stream.QueueReply(Hex("05 01 02"));
    EXPECT_EQ(execute(large, 1, reply), Err_Communication);
    EXPECT_EQ(reply, 2u);
    stream.QueueReply(Hex("04"));
    stream.FailEmptyReads(StreamIO::ERR_IO_DEVICE);
    EXPECT_EQ(execute(large, 1, reply), Err_Communication);
}

TEST_F(Engine, StatusBytesAreNeverData)
{
    std::vector<std::uint8_t> buffer(16, 0x12);
    stream.QueueReply(Hex("F3"));
    std::uint32_t reply = 7;
    EXPECT_EQ(execute(buffer, 1, reply), Err_Communication);
    EXPECT_EQ(buffer[0], 0xF3);
    EXPECT_EQ(reply, 0u);
    EXPECT_EQ(engine.LastStatus(), 0xF3);

    stream.QueueReply(Hex("00"));
    EXPECT_EQ(execute(buffer, 1, reply), Err_Success);
    EXPECT_EQ(engine.LastStatus(), 0x00);
    EXPECT_EQ(reply, 0u);

    // No reply at all.
    EXPECT_EQ(execute(buffer, 1, reply), Err_Communication);
}

TEST_F(Engine, LongReplyChecksumKinds)
{
    const QByteArray data("measured cover values");
    const auto *d = reinterpret_cast<const std::uint8_t *>(data.constData());
    const std::size_t n = std::size_t(data.size());
    struct Case
    {
        std::uint8_t kind;
        QByteArray sum;
        NError_code expected;
    };
    const Case cases[] = {
        {1, LittleEndian(Crc8(d, n), 1), Err_Success},
        {1, LittleEndian(Crc8(d, n) ^ 0x01, 1), Err_Checksum},
        {2, crc16Of(data), Err_Success},
        {2, LittleEndian(Crc16(d, n) ^ 0x4000, 2), Err_Checksum},   // the data is kept all the same
        {4, LittleEndian(Crc32(d, n), 4), Err_Success},
        {4, LittleEndian(Crc32(d, n) ^ 0x80000000u, 4), Err_Checksum},
        {7, QByteArray(), Err_Success},   // kinds without a checksum are taken as they come
        {0, QByteArray(), Err_Success},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.kind));
        std::vector<std::uint8_t> buffer(64, 0);
        stream.QueueReply(LongReply(c.kind, data, c.sum));
        std::uint32_t reply = 0;
        EXPECT_EQ(execute(buffer, 1, reply), c.expected);
        EXPECT_EQ(reply, std::uint32_t(data.size() + c.sum.size()));
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(buffer.data()), data.size()), data);
        EXPECT_EQ(stream.Unread(), 0);
    }
}

struct ProgressLog : CCallback
{
    void OnProgress(int percent, int kind, int) override
    {
        percents.push_back(percent);
        kinds.push_back(kind);
    }
    std::vector<int> percents;
    std::vector<int> kinds;
};

TEST_F(Engine, EmptyLongReplyWithoutChecksumSucceeds)
{
    ProgressLog progress;
    std::vector<std::uint8_t> buffer(8, 0);
    stream.QueueReply(LongReply(7, QByteArray(), QByteArray()));
    std::uint32_t reply = 5;
    EXPECT_EQ(execute(buffer, 1, reply, &progress), Err_Success);
    EXPECT_EQ(reply, 0u);
    EXPECT_TRUE(progress.percents.empty());
}

TEST_F(Engine, LongReplyInPiecesReportsRisingProgress)
{
    ProgressLog progress;
    const QByteArray data(100, 'x');
    std::vector<std::uint8_t> buffer(200, 0);
    stream.QueueReply(LongReply(2, data, crc16Of(data)));
    stream.SetReadChunk(30);
    std::uint32_t reply = 0;
    EXPECT_EQ(engine.Execute(0xD2, buffer.data(), 1, reply, 200, 200, 10000, &progress), Err_Success);
    EXPECT_EQ(reply, 102u);
    ASSERT_EQ(progress.percents.size(), 4u);   // 30, 60, 90, 102 of 102 bytes
    EXPECT_EQ(progress.percents.front(), 29);
    EXPECT_EQ(progress.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.percents.begin(), progress.percents.end()));
    EXPECT_EQ(progress.kinds.front(), 1);

    // A receiver that asked for no transfer progress hears nothing.
    ProgressLog quiet;
    quiet.transferProgress = false;
    stream.QueueReply(LongReply(2, data, crc16Of(data)));
    EXPECT_EQ(engine.Execute(0xD2, buffer.data(), 1, reply, 200, 200, 10000, &quiet), Err_Success);
    EXPECT_TRUE(quiet.percents.empty());
}

TEST_F(Engine, LongReplyLargerThanTheBufferOrCutShort)
{
    const QByteArray data(40, 'y');
    std::vector<std::uint8_t> small(16, 0);
    stream.QueueReply(LongReply(2, data, crc16Of(data)));
    std::uint32_t reply = 0;
    EXPECT_EQ(execute(small, 1, reply), Err_Truncated);
    EXPECT_EQ(reply, 42u);
    EXPECT_EQ(stream.Unread(), 0);

    std::vector<std::uint8_t> buffer(64, 0);
    stream.QueueReply(LongReply(2, data, QByteArray()).left(5 + 25));
    EXPECT_EQ(execute(buffer, 1, reply), Err_Communication);
    EXPECT_EQ(reply, 25u);

    stream.QueueReply(Hex("EF 02 10"));   // the header itself is short
    EXPECT_EQ(execute(buffer, 1, reply), Err_Communication);
}

TEST_F(Engine, QueryMapsResultsOntoLengthsAndStatuses)
{
    std::uint8_t buffer[8] = {};
    stream.QueueReply(Hex("03 01 02 03"));
    EXPECT_EQ(engine.Query(0xF1, 0, buffer, 8, 200), 3);
    stream.QueueReply(Hex("F3"));
    EXPECT_EQ(engine.Query(0xD2, 1, buffer, 8, 200), 0xF3);
    EXPECT_EQ(engine.Query(0xD2, 1, buffer, 8, 200), int(CQxCommands::Query_CommunicationFailure));
    EXPECT_EQ(engine.Query(0xD2, 48, buffer, 8, 200), int(CQxCommands::Query_BadArguments));
    EXPECT_EQ(engine.Query(0xD2, 1, buffer, 8, -1), int(CQxCommands::Query_BadArguments));

    const QByteArray data("abcd");
    stream.QueueReply(LongReply(2, data, Hex("00 00")));
    EXPECT_EQ(engine.Query(0xD2, 1, buffer, 8, 200), int(CQxCommands::Query_ChecksumMismatch));
    stream.QueueReply(LongReply(2, data, crc16Of(data)));
    EXPECT_EQ(engine.Query(0xD2, 1, buffer, 8, 200), 4);   // L, not L plus the checksum

    // A truncated reply reports its full length once the excess is gone.
    stream.QueueReply(Hex("0C 01 02 03 04 05 06 07 08 09 0A 0B 0C"));
    EXPECT_EQ(engine.Query(0xD2, 1, buffer, 8, 200), 12);
    EXPECT_EQ(stream.Unread(), 0);
}

TEST_F(Engine, QuestionMarkAnswerFailsSendTextButQueryTextReturnsIt)
{
    stream.QueueReply(Hex("06"));
    stream.QueueReply("?\r");
    EXPECT_FALSE(engine.SendText("XY", 200));
    EXPECT_STREQ(engine.ReplyText(), "?");
    EXPECT_EQ(stream.Written(), QByteArray("\x10XY\r"));

    stream.QueueReply(Hex("06"));
    stream.QueueReply("?\r");
    char answer[16] = {};
    EXPECT_EQ(engine.QueryText("XY", answer, 16, 200), 1);
    EXPECT_STREQ(answer, "?");
}

TEST_F(Engine, EmptyCommandsMissingRepliesAndShortAnswerBuffers)
{
    stream.QueueReply(Hex("06"));
    EXPECT_TRUE(engine.SendText("", 100));
    EXPECT_STREQ(engine.ReplyText(), "");
    EXPECT_EQ(stream.Written(), Hex("10 0D"));

    char answer[8] = {};
    EXPECT_EQ(engine.QueryText("", answer, 8, 100), 1);
    EXPECT_STREQ(answer, "?");
    EXPECT_EQ(stream.Written(), Hex("10 0D"));   // nothing more was sent

    EXPECT_FALSE(engine.SendText("ID", 100));   // no go-ahead
    EXPECT_EQ(engine.QueryText("ID", answer, 8, 100), -1);
    stream.QueueReply(Hex("06"));   // go-ahead, then silence
    EXPECT_EQ(engine.QueryText("ID", answer, 8, 100), -1);

    stream.QueueReply(Hex("06"));
    stream.QueueReply("abcdefgh\r");
    EXPECT_EQ(engine.QueryText("BR ?", answer, 4, 100), 8);
    EXPECT_STREQ(answer, "abc");
}

TEST_F(Engine, ReadLineEndsAtCrOrLfByMode)
{
    char line[32];
    engine.SetLineEndMode(false, false);
    EXPECT_FALSE(engine.IsCrLfMode());
    stream.Preload("ab\rcd\r\n");
    EXPECT_EQ(engine.ReadLine(line, 32), 3);
    EXPECT_STREQ(line, "ab\r");
    EXPECT_EQ(engine.ReadLine(line, 32), 3);
    EXPECT_STREQ(line, "cd\r");

    engine.SetLineEndMode(true, false);
    stream.ClearInput();
    stream.Preload("ab\rcd\r\n");
    EXPECT_EQ(engine.ReadLine(line, 32), 7);
    EXPECT_STREQ(line, "ab\rcd\r\n");

    // The LF never comes: a line ending in CR still counts, one without does not.
    stream.Preload("ef\r");
    EXPECT_EQ(engine.ReadLine(line, 32), 3);
    stream.Preload("gh");
    EXPECT_EQ(engine.ReadLine(line, 32), 0);
    EXPECT_STREQ(line, "");

    // The size limit ends a line, with room for the zero byte.
    stream.Preload("123456789\r");
    EXPECT_EQ(engine.ReadLine(line, 5), 4);
    EXPECT_STREQ(line, "1234");
}

TEST_F(Engine, LfLinesTakeTheTextAfterTheFirstSpace)
{
    engine.SetLineEndMode(true, false);
    stream.QueueReply(Hex("06"));
    stream.QueueReply("A ab\rcd\r\n");
    EXPECT_TRUE(engine.SendText("EC?", 100));
    EXPECT_STREQ(engine.ReplyText(), "ab");   // cut at the first CR

    stream.QueueReply(Hex("06"));
    stream.QueueReply("A ab\rcd\r\n");
    char answer[32] = {};
    EXPECT_EQ(engine.QueryText("EC?", answer, 32, 100), 5);
    EXPECT_STREQ(answer, "ab\rcd");   // cut at the last CR

    stream.QueueReply(Hex("06"));
    stream.QueueReply("nospace\r\n");
    EXPECT_FALSE(engine.SendText("EC?", 100));
    stream.QueueReply(Hex("06"));
    stream.QueueReply("nospace\r\n");
    EXPECT_EQ(engine.QueryText("EC?", answer, 32, 100), 0);

    // A CR-only line is taken whole, spaces and all.
    engine.SetLineEndMode(false, false);
    stream.QueueReply(Hex("06"));
    stream.QueueReply("Vetrameter;2.11;VM-1\r");
    EXPECT_TRUE(engine.SendText("ID", 100));
    EXPECT_STREQ(engine.ReplyText(), "Vetrameter;2.11;VM-1");
}

TEST_F(Engine, SCommandsWriteTheTextAndJudgeTheEcho)
{
    const char enter[] = "SC030202F8\r\n";
    stream.QueueReply("G");
    EXPECT_TRUE(engine.SendS(enter, 12, 'G'));
    EXPECT_EQ(stream.Written(), QByteArray(enter));
    stream.QueueReply("E");
    EXPECT_FALSE(engine.SendS(enter, 12, 'G'));
    EXPECT_FALSE(engine.SendS(enter, 12, 'G'));   // no echo at all
    EXPECT_TRUE(engine.SendS("SC030000FC\r\n", 12, 0));
}

TEST_F(Engine, ResyncReadsPastStaleBytesAndRetries)
{
    const QByteArray frame = Hex("C8 F7 00 05 55 5A AA AF FF F0");
    stream.Preload(Hex("9B C0"));
    stream.QueueReply(Hex("F0"));
    EXPECT_TRUE(engine.Resync());
    EXPECT_EQ(stream.Written(), frame);
    EXPECT_EQ(stream.TimeoutCalls().first(), qMakePair(2500, 500));

    CScriptedStream deaf;
    CQxCommands other(&deaf);
    deaf.QueueReply(Hex("01 02 03"));
    deaf.QueueReply(Hex("04 05 06"));
    deaf.QueueReply(Hex("07 08 F0"));   // the third attempt's third byte
    EXPECT_TRUE(other.Resync());
    EXPECT_EQ(deaf.Written(), frame + frame + frame);

    CScriptedStream silent;
    CQxCommands none(&silent);
    EXPECT_FALSE(none.Resync());
    EXPECT_EQ(silent.Written().size(), 30);
}

TEST(TransferTimeouts, SixtyFourBitArithmeticAndTheFloor)
{
    EXPECT_EQ(CQxCommands::TransferTimeout(0x5000000, 2, 1920), 87381533);
    EXPECT_EQ(CQxCommands::TransferTimeout(10, 1, 1920), 2000);
    EXPECT_EQ(CQxCommands::TransferTimeout(160000, 1, 0), 10200);            // 16000 B/s when the stream says 0
    EXPECT_EQ(CQxCommands::TransferTimeout(0xFFFFFFFF, 16, 1), INT32_MAX);   // clamped, not wrapped

    CScriptedStream stream;
    stream.SetBytesPerSecond(1920);
    CQxCommands engine(&stream);
    EXPECT_TRUE(engine.SetTransferTimeouts(0x5000000, 2));
    EXPECT_EQ(stream.TimeoutCalls().last(), qMakePair(87381533, 87381533));
}

TEST_F(Engine, RemoteSessionAndReadValueBytes)
{
    stream.QueueReply(Hex("01 00"));
    EXPECT_TRUE(engine.SetRemoteSession(true, 30500));
    EXPECT_EQ(stream.Written(), Hex("C2 F4 10 1F"));   // 31 s

    stream.QueueReply(Hex("01 00"));
    EXPECT_TRUE(engine.SetRemoteSession(true, 300000));
    EXPECT_EQ(stream.Written().right(4), Hex("C2 F4 10 2D"));   // 300 s modulo 255

    stream.QueueReply(Hex("01 00"));
    EXPECT_TRUE(engine.SetRemoteSession(false, 0));
    EXPECT_EQ(stream.Written().right(4), Hex("C2 F4 11 00"));
    EXPECT_FALSE(engine.SetRemoteSession(false, 0));   // no reply

    stream.SetTimeouts(1500, 50);
    stream.QueueReply(Hex("04 78 56 34 12"));
    EXPECT_EQ(engine.ReadValue(), 0x12345678);
    EXPECT_EQ(stream.Written().right(2), Hex("C0 F1"));
    // The waiting time is lowered after the first byte, then restored.
    const auto &calls = stream.TimeoutCalls();
    ASSERT_GE(calls.size(), 3);
    EXPECT_EQ(calls[calls.size() - 3], qMakePair(2000, 2000));
    EXPECT_EQ(calls[calls.size() - 2], qMakePair(50, 50));
    EXPECT_EQ(calls.last(), qMakePair(1500, 50));

    stream.QueueReply(Hex("F3"));
    EXPECT_EQ(engine.ReadValue(), -1);
    stream.QueueReply(Hex("02 01 02"));   // a count other than the expected 4
    EXPECT_EQ(engine.ReadValue(), -1);
}

}   // namespace

TEST_F(Engine, FileCommandsCheckTheirAnswersAndLimits)
{
    // DIRS: the eight hex digits must give the length of the listing.
    stream.QueueReply(Hex("06"));
    stream.QueueReply("00000004;a,1;\r");
    QString listing;
    ASSERT_TRUE(engine.ListDirectory(0x2A, listing));
    EXPECT_EQ(listing, QStringLiteral("a,1"));   // without the final ';'
    EXPECT_TRUE(stream.Written().contains("DIRS 002A\r"));
    stream.QueueReply(Hex("06"));
    stream.QueueReply("00000005;a,1;\r");
    EXPECT_FALSE(engine.ListDirectory(0, listing));

    // LOAD: a length of 0 ends the command before any data is read.
    CScriptedStream target;
    stream.QueueReply(Hex("06"));
    stream.QueueReply(Hex("00 00 00 00") + QByteArray("data"));
    EXPECT_FALSE(engine.LoadFile(target, QStringLiteral("x")));
    EXPECT_TRUE(target.Written().isEmpty());

    // MOVF: a name longer than 256 characters sends nothing at all.
    const QByteArray before = stream.Written();
    EXPECT_FALSE(engine.MoveDeviceFile(QString(257, u'n'), QStringLiteral("to")));
    EXPECT_EQ(stream.Written(), before);
    EXPECT_EQ(CQxCommands::DeviceName(QStringLiteral("a\\b")), QByteArray("a\\\\b"));
    EXPECT_EQ(CQxCommands::DeviceName(QStringLiteral("say \"hi\""), true), QByteArray("say \\\"hi\\\""));
}

TEST_F(Engine, RemoteLoginTriesBothFormsAndReadsTheAnswer)
{
    stream.QueueReply(Hex("06"));
    stream.QueueReply("?\r");   // the form with the value is refused
    stream.QueueReply(Hex("06"));
    stream.QueueReply("admin;7\r");
    QString user;
    std::int32_t rights = 0;
    ASSERT_TRUE(engine.RemoteLogin(QStringLiteral("ad\"min"), QStringLiteral("pw"), 0x1F, user, rights));
    EXPECT_EQ(user, QStringLiteral("admin"));
    EXPECT_EQ(rights, 7);
    EXPECT_TRUE(stream.Written().contains("RLGI \"ad\\\"min\"; \"pw\"; 0000001F\r"));
    EXPECT_TRUE(stream.Written().contains("RLGI \"ad\\\"min\"; \"pw\"\r"));

    stream.QueueReply(Hex("06"));
    stream.QueueReply(";3\r");   // a leading ';': no user name
    ASSERT_TRUE(engine.RemoteLogin(QStringLiteral("x"), QStringLiteral("y"), 0, user, rights));
    EXPECT_TRUE(user.isEmpty());
    EXPECT_EQ(rights, 3);
}
