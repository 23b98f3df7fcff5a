// Why an exchange with the instrument failed: the cause the driver keeps for
// each fault of the simulated instrument, and the line it gives the user.
#include "simfixture.h"

#include "device/failure.h"
#include "device/framing.h"
#include "streamio/streamerror.h"

using namespace Device;
using VetraSim::Fault;

namespace {

// The binary download of n objects: a 5-byte head and 262 bytes a record.
constexpr std::uint32_t BinaryLength(qsizetype n)
{
    return 5 + 262 * std::uint32_t(n);
}

class FailureTest : public SimFixture
{
};

}   // namespace

// One driver through several faults in turn, so that each case also shows the
// cause of the case before it does not linger.
TEST_F(FailureTest, EachDownloadFaultLeavesItsOwnCause)
{
    auto device = Connected();
    const std::uint32_t length = BinaryLength(sim->Objects().size());

    sim->SetFault(Fault::BadChecksum);
    STransferContainer c;
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::Checksum);
    EXPECT_TRUE(FailureText(device->LastFailure()).contains(QStringLiteral("checksum")));

    // A good download after a failed one has no cause left.
    sim->SetFault(Fault::None);
    ASSERT_TRUE(device->DownloadObjects(c, 115200, true));
    EXPECT_EQ(c.objects.size(), sim->Objects().size());
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::None);
    EXPECT_TRUE(FailureText(device->LastFailure()).isEmpty());

    // Half the data, then nothing: the counts are those of the reply body
    // (data and a 2-byte checksum) after the head.
    sim->SetFault(Fault::Truncated);
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    SFailure f = device->LastFailure();
    EXPECT_EQ(f.cause, NFailureCause::Incomplete);
    EXPECT_EQ(f.received, length / 2);
    EXPECT_EQ(f.expected, length + 2);
    EXPECT_TRUE(FailureText(f).contains(QStringLiteral("(%1 of %2 bytes)").arg(length / 2).arg(length + 2)))
        << qPrintable(FailureText(f));

    // "No objects" is the instrument's refusing status, yet no failure: the
    // Refused the exchange recorded must not reach the user.
    sim->SetFault(Fault::NoObjects);
    c.objects.append(TVetraObject{});
    EXPECT_TRUE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::None);
    EXPECT_EQ(device->LastFailure().status, 0);
    EXPECT_TRUE(FailureText(device->LastFailure()).isEmpty());

    // Silent, at the line's own rate: no "BR" exchange, so one read time-out
    // instead of two.
    sim->SetFault(Fault::Silent);
    EXPECT_FALSE(device->DownloadObjects(c, CVetraSmartDevice::kDefaultBaud, true));
    f = device->LastFailure();
    EXPECT_EQ(f.cause, NFailureCause::NoAnswer);
    EXPECT_TRUE(FailureText(f).contains(QStringLiteral("did not answer"))) << qPrintable(FailureText(f));

    sim->SetFault(Fault::None);
    ASSERT_TRUE(device->DownloadObjects(c, 115200, true));
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::None);
    EXPECT_EQ(device->GetLineSettings()->baud, 19200u);
}

TEST_F(FailureTest, ALinkLostMidDownloadCarriesTheStreamsReason)
{
    auto device = Connected();
    // Only the identification went out so far (well under 200 bytes); the
    // download of 12 objects is over 3000: the cable is pulled inside it.
    ASSERT_GT(BinaryLength(sim->Objects().size()), 3000u);
    sim->SetFault(Fault::DisconnectAfter, 2000);
    STransferContainer c;
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_TRUE(c.objects.isEmpty());
    ASSERT_TRUE(sim->Log().contains(QStringLiteral("disconnected")));
    // Switching the line back afterwards fails too; it must not replace the cause.
    const SFailure f = device->LastFailure();
    EXPECT_EQ(f.cause, NFailureCause::LinkLost);
    EXPECT_NE(f.streamCode, 0u);
    EXPECT_NE(f.streamCode, StreamIO::ERR_TIMEOUT);
    EXPECT_FALSE(f.streamText.isEmpty());
    EXPECT_TRUE(f.streamText.contains(sim->SlavePath())) << qPrintable(f.streamText);
    const QString text = FailureText(f);
    EXPECT_TRUE(text.contains(QStringLiteral("connection to the instrument was lost"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(f.streamText)) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("no reason given")));
}

TEST_F(FailureTest, DeleteAllAndOtherExchangesKeepTheirCause)
{
    // No stream at all.
    CVetraSmartDevice loose;
    STransferContainer c;
    EXPECT_FALSE(loose.DownloadObjects(c, 115200, true));
    EXPECT_EQ(loose.LastFailure().cause, NFailureCause::NotConnected);
    EXPECT_NE(loose.DeleteAllObjects(), Err_Success);
    EXPECT_EQ(loose.LastFailure().cause, NFailureCause::NotConnected);
    EXPECT_FALSE(FailureText(loose.LastFailure()).isEmpty());

    auto device = Connected();
    sim->SetFault(Fault::Silent);
    EXPECT_NE(device->DeleteAllObjects(), Err_Success);
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::NoAnswer);
    EXPECT_FALSE(sim->Objects().isEmpty());
    const QString message = WithCause(QStringLiteral("Delete failed"), device->LastFailure());
    EXPECT_EQ(message, QStringLiteral("Delete failed\n") + FailureText(device->LastFailure()));

    // An unknown function: the instrument's status, two hex digits.
    sim->SetFault(Fault::None);
    std::uint8_t buffer[64] = {0x77};
    std::uint32_t length = 0;
    EXPECT_NE(device->Execute(Framing::kAppCommand, buffer, 1, length, sizeof buffer, 2000, -1), Err_Success);
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::Refused);
    EXPECT_EQ(device->LastFailure().status, 0xF2);
    SFailure f = device->LastFailure();
    EXPECT_TRUE(FailureText(f).contains(QStringLiteral("status F2 hex"))) << qPrintable(FailureText(f));

    // Garbage: its first byte (0x9B) reads as a short reply of 155 bytes, of
    // which 6 more come. A short read time-out keeps the wait brief; the
    // buffer holds 155 bytes, or the exchange would stop at its size.
    sim->SetFault(Fault::Garbage);
    std::uint8_t reply[256] = {Framing::kBinaryDownload};
    EXPECT_EQ(device->Execute(Framing::kAppCommand, reply, 1, length, sizeof reply, 300, -1), Err_Communication);
    f = device->LastFailure();
    EXPECT_EQ(f.cause, NFailureCause::Incomplete);
    EXPECT_EQ(f.received, 6u);
    EXPECT_EQ(f.expected, 0x9Bu);
    EXPECT_TRUE(FailureText(f).contains(QStringLiteral("(6 of 155 bytes)"))) << qPrintable(FailureText(f));
    // The same reply into a buffer too small for it: unreadable, not unexplained.
    EXPECT_EQ(device->Execute(Framing::kAppCommand, buffer, 1, length, sizeof buffer, 300, -1), Err_Truncated);
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::BadReply);

    sim->SetFault(Fault::None);
    EXPECT_EQ(device->DeleteAllObjects(), Err_Success);
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::None);
    EXPECT_EQ(WithCause(QStringLiteral("Delete failed"), device->LastFailure()), QStringLiteral("Delete failed"));
    EXPECT_TRUE(sim->Objects().isEmpty());

    // A driver whose stream was taken back is no longer connected.
    delete device->Disconnect();
    EXPECT_FALSE(device->DownloadObjects(c, 115200, true));
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::NotConnected);
}

TEST_F(FailureTest, AnInstrumentOfAnotherFamilyIsTheWrongType)
{
    sim->SetFault(Fault::WrongFamily);
    auto device = Connected(false);
    SDeviceInfo info;
    EXPECT_FALSE(device->Identify(info));
    EXPECT_EQ(device->LastFailure().cause, NFailureCause::WrongType);
    EXPECT_TRUE(FailureText(device->LastFailure()).contains(QStringLiteral("not a Vetrameter")))
        << qPrintable(FailureText(device->LastFailure()));
}
