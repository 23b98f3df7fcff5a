// The USB pipe stream over FIFOs standing in for the driver's pipes.
#include "streamtest.h"

#include "streamio/usbhoststream.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace StreamIO;
using StreamTest::CodeOf;

namespace {

class UsbStreamTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetUsbClassFolder(dir.filePath(QStringLiteral("class")));
    }
    void TearDown() override { SetUsbClassFolder(QString()); }

    // A device folder with its two pipes.
    QString MakeDevice(const QString &name)
    {
        const QString device = dir.filePath(QStringLiteral("class/") + name);
        EXPECT_TRUE(QDir().mkpath(device));
        for (const char *pipe : {"PIPE00", "PIPE01"})
            EXPECT_EQ(::mkfifo(QFile::encodeName(device + u'/' + QLatin1String(pipe)).constData(), 0600), 0);
        return device;
    }
    // The instrument's end of a pipe.
    static int Peer(const QString &device, const char *pipe, int access)
    {
        return ::open(QFile::encodeName(device + u'/' + QLatin1String(pipe)).constData(), access | O_NONBLOCK);
    }

    QTemporaryDir dir;
};

}   // namespace

TEST_F(UsbStreamTest, EnumerationListsDeviceFoldersWithBothPipes)
{
    QStringList devices{QStringLiteral("stale")};
    EXPECT_EQ(EnumerateUsbDevices(devices), 0u);   // no class folder: no device, no error
    EXPECT_TRUE(devices.isEmpty());
    const QString b = MakeDevice(QStringLiteral("b"));
    const QString a = MakeDevice(QStringLiteral("a"));
    QDir().mkpath(dir.filePath(QStringLiteral("class/not-a-device")));
    EXPECT_EQ(EnumerateUsbDevices(devices), 0u);
    EXPECT_EQ(devices, (QStringList{a, b}));
}

TEST_F(UsbStreamTest, ReadOnlyOpenLeavesTheOutputPipeClosed)
{
    const QString device = MakeDevice(QStringLiteral("d"));
    CUsbHostStream s;
    ASSERT_TRUE(s.Open(device, SO_READ));
    EXPECT_EQ(CodeOf([&] { s.Write("x", 1); }), ERR_WRITE_FAULT);
    CUsbHostStream second;
    EXPECT_EQ(CodeOf([&] { second.Open(device, SO_READ); }), ERR_SHARING_VIOLATION);   // the pipe is taken
    EXPECT_FALSE(second.IsOpen());
    CUsbHostStream missing;
    EXPECT_EQ(CodeOf([&] { missing.Open(dir.filePath(QStringLiteral("class/none")), SO_READ); }), ERR_FILE_NOT_FOUND);
}

TEST_F(UsbStreamTest, ReadsEndWithTheTimeoutOrWithNothing)
{
    const QString device = MakeDevice(QStringLiteral("d"));
    CUsbHostStream s;
    ASSERT_TRUE(s.Open(device, SO_READ | SO_WRITE));
    ASSERT_TRUE(s.SetTimeouts(150, 150));
    const int instrument = Peer(device, "PIPE00", O_WRONLY);
    ASSERT_GE(instrument, 0);
    ASSERT_EQ(::write(instrument, "0123456789", 10), 10);
    char buffer[64];
    EXPECT_EQ(s.Read(buffer, 64), 10);
    EXPECT_EQ(s.GetErrorCode(), ERR_TIMEOUT);
    EXPECT_EQ(QByteArray(buffer, 10), QByteArray("0123456789"));
    EXPECT_EQ(s.Read(buffer, 64), 0);   // nothing came within the time-out
    EXPECT_EQ(s.GetErrorCode(), ERR_HANDLE_EOF);

    const int listener = Peer(device, "PIPE01", O_RDONLY);
    ASSERT_GE(listener, 0);
    EXPECT_EQ(s.Write("abc", 3), 3);
    EXPECT_EQ(s.GetErrorCode(), 0u);
    char got[3];
    EXPECT_EQ(::read(listener, got, 3), 3);
    EXPECT_EQ(QByteArray(got, 3), QByteArray("abc"));
    ::close(instrument);
    ::close(listener);
    s.Close();
    EXPECT_FALSE(s.IsOpen());
}
