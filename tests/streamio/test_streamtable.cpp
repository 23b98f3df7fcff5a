// Stream table handles, stream-name parsing and the stream layer's lifetime.
#include "streamtest.h"

#include "support/testsupport.h"

#include "streamio/filestream.h"
#include "streamio/ramdisk.h"
#include "streamio/ramstream.h"
#include "streamio/streamtable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

using namespace StreamIO;
using StreamTest::CodeOf;

namespace {

class StreamLayerEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { InitStreamLayer(); }
    void TearDown() override { ShutdownStreamLayer(); }
};
[[maybe_unused]] ::testing::Environment *const g_layer = ::testing::AddGlobalTestEnvironment(
    new StreamLayerEnvironment);

constexpr std::uint32_t kRamShared = SO_READ | SO_WRITE | SO_OPEN_ALWAYS | SO_SHARE_READ | SO_SHARE_WRITE;

TEST(StreamTable, StaleHandleDoesNotFindTheStreamThatReusesItsSlot)
{
    auto first = std::make_unique<CRamStream>();
    const StreamHandle stale = first->GetHandle();
    ASSERT_GE(stale, 0x400u);
    EXPECT_EQ(FindStream(stale), first.get());
    first.reset();
    EXPECT_EQ(FindStream(stale), nullptr);

    CRamStream second;
    ASSERT_TRUE(second.Open(QStringLiteral("Stale"), kRamShared));
    EXPECT_EQ(second.GetHandle() & 0x3FF, stale & 0x3FF);   // the freed slot is taken again
    EXPECT_NE(second.GetHandle(), stale);
    EXPECT_EQ(FindStream(stale), nullptr);
    EXPECT_EQ(FindStream(second.GetHandle()), &second);

    // An unknown handle closes nothing.
    EXPECT_EQ(CloseStreamByHandle(stale), ERR_INVALID_HANDLE);
    EXPECT_EQ(CloseStreamByHandle(0), ERR_INVALID_HANDLE);
    EXPECT_EQ(CloseStreamByHandle(0x400u | 1000u), ERR_INVALID_HANDLE);   // slot past the table
    EXPECT_TRUE(second.IsOpen());

    // Closing by handle keeps the object and its registration.
    EXPECT_EQ(CloseStreamByHandle(second.GetHandle()), 0u);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(FindStream(second.GetHandle()), &second);
}

TEST(StreamTable, GenerationWrapNeverYieldsAHandleBelow0x400)
{
    // One full cycle of the 22-bit generation passes its wrap point.
    StreamHandle previous = 0;
    int low = 0, repeated = 0;
    for (std::uint32_t i = 0; i < 0x400000u + 2; ++i) {
        CRamStream s;
        const StreamHandle h = s.GetHandle();
        low += h < 0x400u;
        repeated += h == previous;
        previous = h;
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(repeated, 0);
}

TEST(StreamTable, StreamBeyond1024WorksWithoutHandle)
{
    std::vector<std::unique_ptr<CRamStream>> streams;
    std::set<StreamHandle> handles;
    for (int i = 0; i < kMaxStreams; ++i) {
        auto s = std::make_unique<CRamStream>();
        ASSERT_TRUE(s->Open(QStringLiteral("Crowd"), kRamShared));
        ASSERT_NE(s->GetHandle(), 0u) << "stream " << i;
        handles.insert(s->GetHandle());
        streams.push_back(std::move(s));
    }
    EXPECT_EQ(handles.size(), std::size_t(kMaxStreams));

    CRamStream extra;
    EXPECT_EQ(extra.GetHandle(), 0u);
    EXPECT_EQ(FindStream(0), nullptr);
    ASSERT_TRUE(extra.Open(QStringLiteral("Crowd"), kRamShared));
    EXPECT_EQ(extra.Write("abc", 3), 3);
    EXPECT_EQ(StreamTest::ReadAll(*streams.front()), QByteArray("abc"));
    EXPECT_EQ(CloseStreamByHandle(0), ERR_INVALID_HANDLE);
    EXPECT_TRUE(extra.IsOpen());

    streams.pop_back();
    CRamStream late;   // a freed slot is available again
    EXPECT_NE(late.GetHandle(), 0u);
    EXPECT_EQ(FindStream(late.GetHandle()), &late);
}

TEST(StreamNames, OnlyComDigitsAndOptionalColonIsASerialPort)
{
    std::uint32_t port = 0;
    EXPECT_TRUE(IsSerialPortName(QStringLiteral("com3:"), &port));
    EXPECT_EQ(port, 3u);
    EXPECT_TRUE(IsSerialPortName(QStringLiteral("COM3:"), &port));
    EXPECT_EQ(port, 3u);
    EXPECT_TRUE(IsSerialPortName(QStringLiteral("Com12"), &port));
    EXPECT_EQ(port, 12u);
    for (const QString &name :
         {QStringLiteral("COM"), QStringLiteral("COM:"), QStringLiteral("commission.qxs"), QStringLiteral("com3.qxs"),
          QStringLiteral("COM3::"), QStringLiteral("COM 3"), QStringLiteral("xCOM3"), QStringLiteral("COM3x")})
        EXPECT_FALSE(IsSerialPortName(name)) << name.toStdString();
}

// Relative names open in a private current folder.
class StreamNamesInFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    }
    void TearDown() override
    {
        QDir::setCurrent(m_previous);
        qunsetenv("VETRADESK_PORTMAP");
    }
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }

    QTemporaryDir m_dir;
    QString m_previous;
};

TEST_F(StreamNamesInFolder, SerialPortNamesAreNeverCreatedAsFiles)
{
    // Keep any serial implementation off real devices: COM3 stands for a
    // plain file, which is no port.
    const QString notAPort = m_dir.filePath(QStringLiteral("notaport"));
    TestSupport::WriteBytes(notAPort, "keep");
    qputenv("VETRADESK_PORTMAP", (QStringLiteral("COM3=") + notAPort).toLocal8Bit());

    for (const QString &name : {QStringLiteral("com3:"), QStringLiteral("COM3:")}) {
        CIoStream *opened = nullptr;
        EXPECT_EQ(CodeOf([&] { opened = OpenStream(name, SO_READ | SO_WRITE | SO_CREATE_ALWAYS); }), ERR_NOT_SUPPORTED)
            << name.toStdString();
        EXPECT_EQ(opened, nullptr);
        delete opened;
    }
    EXPECT_EQ(entries(), QStringList{QStringLiteral("notaport")});
    EXPECT_EQ(TestSupport::ReadBytes(notAPort), QByteArray("keep"));
}

TEST_F(StreamNamesInFolder, NamesThatOnlyLookLikePortsOpenAsFiles)
{
    const QStringList names{QStringLiteral("COM"), QStringLiteral("commission.qxs"), QStringLiteral("com3.qxs"),
                            QStringLiteral("COM:"), QStringLiteral("ramdisk.txt")};
    for (const QString &name : names) {
        std::unique_ptr<CIoStream> s(OpenStream(name, SO_READ | SO_WRITE | SO_CREATE_ALWAYS));
        ASSERT_NE(dynamic_cast<CFileStream *>(s.get()), nullptr) << name.toStdString();
        EXPECT_EQ(s->Write("ab", 2), 2);
        s->Close();
        EXPECT_EQ(QFileInfo(m_dir.filePath(name)).size(), 2) << name.toStdString();
    }
    EXPECT_EQ(entries().size(), names.size());
}

TEST(StreamNames, RamPrefixIgnoresCaseButFileNamesDoNot)
{
    std::unique_ptr<CIoStream> clip(
        OpenStream(QStringLiteral("ram:Clip"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS | SO_SHARE_READ));
    ASSERT_NE(dynamic_cast<CRamStream *>(clip.get()), nullptr);
    EXPECT_EQ(clip->Write("xyz", 3), 3);

    CRamStream same;
    ASSERT_TRUE(same.Open(QStringLiteral("Clip"), SO_READ));   // the prefix is added
    EXPECT_EQ(same.GetName(), QStringLiteral("RAM:Clip"));
    EXPECT_EQ(StreamTest::ReadAll(same), QByteArray("xyz"));

    CRamStream other;
    EXPECT_EQ(CodeOf([&] { other.Open(QStringLiteral("RAM:clip"), SO_READ); }), ERR_FILE_NOT_FOUND);

    EXPECT_EQ(CodeOf([] { delete OpenStream(QStringLiteral("RAM:a:b"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS); }),
              ERR_INVALID_NAME);
    EXPECT_EQ(CodeOf([&] { other.Open(QStringLiteral("a:b"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS); }),
              ERR_INVALID_NAME);
    EXPECT_FALSE(other.IsOpen());
}

TEST(StreamLayer, ShutdownAbortsOpenStreamsAndDiscardsRamFiles)
{
    QTemporaryDir dir;
    CFileStream file;
    ASSERT_TRUE(file.Open(dir.filePath(QStringLiteral("f")), SO_READ | SO_WRITE | SO_CREATE_ALWAYS));
    CRamStream ram;
    ASSERT_TRUE(ram.Open(QStringLiteral("Survivor"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS));
    const StreamHandle h = ram.GetHandle();

    ShutdownStreamLayer();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(ram.IsOpen());
    EXPECT_EQ(FindStream(h), nullptr);
    EXPECT_EQ(RamDisk(), nullptr);

    InitStreamLayer();
    InitStreamLayer();   // idempotent
    ASSERT_NE(RamDisk(), nullptr);
    EXPECT_EQ(RamDisk()->FileCount(), 0);
    CRamStream again;
    EXPECT_EQ(CodeOf([&] { again.Open(QStringLiteral("Survivor"), SO_READ); }), ERR_FILE_NOT_FOUND);
    EXPECT_NE(FindStream(again.GetHandle()), nullptr);
}

}   // namespace
