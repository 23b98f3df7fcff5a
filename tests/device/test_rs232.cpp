// The serial port stream over a pseudo-terminal pair of the test's own: port
// names, opening errors, line settings, time-outs, input control, lost links.
#include "streamio/portmap.h"
#include "streamio/rs232stream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace StreamIO;

namespace {

constexpr std::uint32_t kPort = 5;
constexpr std::uint32_t kReadWrite = SO_READ | SO_WRITE;

// The instrument side of a terminal; the slave is the port the stream opens.
class PtyPair
{
public:
    PtyPair()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        slavePath = QString::fromLocal8Bit(::ptsname(master));
        // Held open so that the terminal outlives a stream that closes it.
        slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    ~PtyPair()
    {
        closeMaster();
        if (slave >= 0)
            ::close(slave);
    }
    bool ok() const { return master >= 0 && slave >= 0; }
    void send(const QByteArray &bytes) const
    {
        ASSERT_EQ(::write(master, bytes.constData(), bytes.size()), bytes.size());
    }
    // What the stream wrote, waiting up to 1 s for the first byte.
    QByteArray received() const
    {
        QByteArray all;
        pollfd p{master, POLLIN, 0};
        while (::poll(&p, 1, all.isEmpty() ? 1000 : 50) > 0 && (p.revents & POLLIN)) {
            char chunk[256];
            const ssize_t n = ::read(master, chunk, sizeof chunk);
            if (n <= 0)
                break;
            all.append(chunk, int(n));
        }
        return all;
    }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    int master = -1;
    int slave = -1;
    QString slavePath;
};

SSerialSettings driverSettings(std::uint32_t baud = 19200, std::uint32_t parity = 0)
{
    SSerialSettings s;
    s.baud = baud;
    s.parity = parity;
    s.readTimeout = 1500;
    s.writeTimeout = 50;
    return s;
}

class SerialPort : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        qunsetenv("VETRADESK_PORTMAP");
        SetPortMap({{kPort, pty.slavePath}});
    }
    void TearDown() override { SetPortMap({}); }
    void open(CRs232Stream &s, const SSerialSettings &settings = driverSettings())
    {
        ASSERT_TRUE(s.OpenPort(kPort, kReadWrite, &settings));
    }

    PtyPair pty;
};

template <class F>
std::uint32_t codeOf(F &&f, QString *message = nullptr)
{
    try {
        f();
    } catch (const StreamError &e) {
        if (message)
            *message = e.message();
        return e.code();
    }
    return 0;
}

TEST_F(SerialPort, OpensTheMappedDeviceAndAppliesTheRecord)
{
    CRs232Stream s;
    open(s);
    EXPECT_TRUE(s.IsOpen());
    EXPECT_EQ(s.GetName(), pty.slavePath);
    EXPECT_EQ(s.GetPort(), kPort);
    EXPECT_FALSE(s.IsRandomAccess());
    int r = 0, w = 0;
    ASSERT_TRUE(s.GetTimeouts(r, w));
    EXPECT_EQ(r, 1500);
    EXPECT_EQ(w, 50);

    SSerialSettings got;
    ASSERT_TRUE(s.GetLineSettings(got));
    EXPECT_EQ(got.marker, SSerialSettings::kMarker);
    EXPECT_EQ(got.baud, 19200u);
    EXPECT_EQ(got.dataBits, 8);
    EXPECT_EQ(got.parity, 0u);
    EXPECT_EQ(got.readTimeout, 1500);

    EXPECT_EQ(s.Write("hello", 5), 5);
    EXPECT_EQ(pty.received(), QByteArray("hello"));
    pty.send("back");
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 4), 4);
    EXPECT_EQ(QByteArray(buf, 4), QByteArray("back"));
}

TEST_F(SerialPort, ReadTimeOutReturnsWhatArrivedThenTimesOutEmpty)
{
    CRs232Stream s;
    open(s);
    ASSERT_TRUE(s.SetTimeouts(200, 50));
    pty.send("abc");
    char buf[10] = {};
    EXPECT_EQ(s.Read(buf, 10), 3);
    EXPECT_EQ(QByteArray(buf, 3), QByteArray("abc"));
    EXPECT_FALSE(s.HasError());

    EXPECT_EQ(s.Read(buf, 10), 0);
    EXPECT_EQ(s.GetErrorCode(), ERR_TIMEOUT);
    EXPECT_TRUE(s.IsTimeoutOrEnd());
}

TEST_F(SerialPort, WithoutTimeOutsAReadWaitsForEveryByte)
{
    CRs232Stream s;
    open(s);
    ASSERT_TRUE(s.SetTimeouts(-1, -1));
    int r = 0, w = 0;
    ASSERT_TRUE(s.GetTimeouts(r, w));
    EXPECT_EQ(r, -1);
    EXPECT_EQ(w, -1);

    std::thread writer([this] {
        pty.send("12");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.send("345");
    });
    char buf[5] = {};
    const int n = s.Read(buf, 5);
    writer.join();
    EXPECT_EQ(n, 5);
    EXPECT_EQ(QByteArray(buf, 5), QByteArray("12345"));
}

TEST_F(SerialPort, TimeOutsRoundTripAndZeroRecordLeavesThem)
{
    CRs232Stream s;
    open(s);
    ASSERT_TRUE(s.SetTimeouts(1500, 50));
    int r = 0, w = 0;
    s.GetTimeouts(r, w);
    EXPECT_EQ(r, 1500);
    EXPECT_EQ(w, 50);

    ASSERT_TRUE(s.SetTimeouts(700, 30));
    SSerialSettings zero = driverSettings();
    zero.readTimeout = 0;
    zero.writeTimeout = 0;
    ASSERT_TRUE(s.SetLineSettings(zero));
    s.GetTimeouts(r, w);
    EXPECT_EQ(r, 700);
    EXPECT_EQ(w, 30);
}

TEST_F(SerialPort, BytesPerSecondFollowsTheRecordNotTheTerminal)
{
    CRs232Stream s;
    // A pseudo-terminal cannot take parity; the stream goes on and keeps the record.
    open(s, driverSettings(115200, 1));
    EXPECT_TRUE(s.IsOpen());
    EXPECT_EQ(s.GetErrorCode(), 0u);
    EXPECT_EQ(s.Settings().parity, 1u);
    EXPECT_EQ(s.GetBytesPerSecond(), 10472);

    ASSERT_TRUE(s.SetLineSettings(driverSettings(19200, 0)));
    EXPECT_EQ(s.GetBytesPerSecond(), 1920);
    SSerialSettings twoStops = driverSettings(9600);
    twoStops.stopBits = 2;
    twoStops.dataBits = 7;
    EXPECT_EQ(CRs232Stream::BytesPerSecond(twoStops), 9600 / 11 * 7 / 8);

    // The terminal keeps the rate, which the instrument side can see.
    ASSERT_TRUE(s.SetLineSettings(driverSettings(115200)));
    SSerialSettings got;
    ASSERT_TRUE(s.GetLineSettings(got));
    EXPECT_EQ(got.baud, 115200u);
}

TEST_F(SerialPort, RecordWithWrongMarkerIsRefused)
{
    SSerialSettings bad = driverSettings();
    bad.marker = 0;
    CRs232Stream s;
    EXPECT_FALSE(s.OpenPort(kPort, kReadWrite, &bad));
    EXPECT_EQ(s.GetErrorCode(), ERR_INVALID_PARAMETER);
    EXPECT_FALSE(s.IsOpen());

    open(s);
    EXPECT_FALSE(s.SetLineSettings(bad));
    EXPECT_EQ(s.GetErrorCode(), ERR_INVALID_PARAMETER);
}

TEST_F(SerialPort, PortWithoutDeviceRaisesNoSuchPort)
{
    SetPortMap({});
    constexpr std::uint32_t kAbsent = 250;   // beyond the devices any machine here has
    ASSERT_TRUE(ResolvePort(kAbsent).isEmpty());
    CRs232Stream s;
    QString message;
    const SSerialSettings settings = driverSettings();
    EXPECT_EQ(codeOf([&] { s.OpenPort(kAbsent, kReadWrite, &settings); }, &message), ERR_FILE_NOT_FOUND);
    EXPECT_TRUE(message.contains(QStringLiteral("COM250"))) << qPrintable(message);
    EXPECT_EQ(s.GetErrorCode(), ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(s.IsOpen());

    EXPECT_EQ(codeOf([&] { CRs232Stream direct(kAbsent, kReadWrite, &settings); }), ERR_FILE_NOT_FOUND);
}

TEST_F(SerialPort, SecondOpenOfAPortIsBusy)
{
    CRs232Stream first;
    open(first);
    CRs232Stream second;
    QString message;
    const SSerialSettings settings = driverSettings();
    EXPECT_EQ(codeOf([&] { second.OpenPort(kPort, kReadWrite, &settings); }, &message), ERR_SHARING_VIOLATION);
    EXPECT_TRUE(message.contains(QStringLiteral("in use"))) << qPrintable(message);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_TRUE(first.IsOpen());
}

TEST(PortMap, ParsesEntriesAndSkipsBadOnes)
{
    const auto map = ParsePortMap(
        QStringLiteral("COM3=/dev/ttyUSB0; com7 = /dev/pts/4 ;junk;COM=/x;COM0=/y;COM9=;=/z"));
    EXPECT_EQ(map.size(), 2);
    EXPECT_EQ(map.value(3), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(map.value(7), QStringLiteral("/dev/pts/4"));
    EXPECT_TRUE(ParsePortMap(QString()).isEmpty());
    EXPECT_TRUE(ResolvePort(0).isEmpty());
}

TEST_F(SerialPort, EnvironmentOverridesTheMap)
{
    SetPortMap({{kPort, QStringLiteral("/nonexistent/tty")}, {6, QStringLiteral("/dev/mapped6")}});
    qputenv("VETRADESK_PORTMAP", (QStringLiteral("COM5=") + pty.slavePath).toLocal8Bit());
    EXPECT_EQ(ResolvePort(kPort), pty.slavePath);
    EXPECT_EQ(ResolvePort(6), QStringLiteral("/dev/mapped6"));   // what the variable leaves out stays mapped
    CRs232Stream s;
    const SSerialSettings settings = driverSettings();
    const bool opened = s.OpenPort(kPort, kReadWrite, &settings);
    qunsetenv("VETRADESK_PORTMAP");
    EXPECT_TRUE(opened);
    EXPECT_EQ(s.GetName(), pty.slavePath);
    EXPECT_EQ(ResolvePort(kPort), QStringLiteral("/nonexistent/tty"));
}

TEST_F(SerialPort, InputCountAndClearInput)
{
    CRs232Stream s;
    open(s);
    pty.send("xyz");
    // The bytes reach the slave a little after the write.
    for (int i = 0; i < 200 && s.GetInputCount() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(s.GetInputCount(), 3);
    s.ClearInput();
    EXPECT_EQ(s.GetInputCount(), 0);
    ASSERT_TRUE(s.SetTimeouts(100, 50));
    char buf[4];
    EXPECT_EQ(s.Read(buf, 4), 0);
}

TEST_F(SerialPort, ReopenAppliesTheStoredRecord)
{
    CRs232Stream s;
    open(s);
    s.SetTimeouts(100, 10);
    s.Close();
    EXPECT_FALSE(s.IsOpen());
    ASSERT_TRUE(s.Reopen());
    int r = 0, w = 0;
    s.GetTimeouts(r, w);
    EXPECT_EQ(r, 1500);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(s.Write("k", 1), 1);
    EXPECT_EQ(pty.received(), QByteArray("k"));
}

TEST_F(SerialPort, LostLinkEndsReadsWithoutWaitingOutTheTimeOut)
{
    CRs232Stream s;
    open(s);
    ASSERT_TRUE(s.SetTimeouts(3000, 50));
    pty.closeMaster();
    char buf[4];
    int n = -1;
    const std::uint32_t code = codeOf([&] { n = s.Read(buf, 4); });
    if (code == 0) {
        EXPECT_EQ(n, 0);
        EXPECT_NE(s.GetErrorCode(), ERR_TIMEOUT);
    } else {
        EXPECT_NE(code, ERR_TIMEOUT);
    }
    codeOf([&] { s.Write("x", 1); });
    codeOf([&] { s.Close(); });
    EXPECT_FALSE(s.IsOpen());
}

}   // namespace
