// CFileStream over plain files: access, creation and sharing bits, reads at
// the end, positions.
#include "streamtest.h"

#include "support/testsupport.h"

#include "streamio/filestream.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace StreamIO;
using StreamTest::CodeOf;
using TestSupport::ReadBytes;
using TestSupport::WriteBytes;

namespace {

class FileStreamTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

TEST_F(FileStreamTest, ShortReadAtTheEndThenZeroWithEndError)
{
    WriteBytes(path("data"), "abcdefgh");
    CFileStream s;
    ASSERT_TRUE(s.Open(path("data"), SO_READ));
    EXPECT_EQ(s.SetPosition(4), 4u);
    char buf[10] = {};
    EXPECT_EQ(s.Read(buf, 10), 4);
    EXPECT_EQ(QByteArray(buf, 4), QByteArray("efgh"));
    EXPECT_FALSE(s.HasError());
    EXPECT_EQ(s.Read(buf, 10), 0);
    EXPECT_EQ(s.GetErrorCode(), ERR_HANDLE_EOF);
    EXPECT_TRUE(s.IsTimeoutOrEnd());
    // A later successful read clears the end mark.
    s.SetPosition(0);
    EXPECT_EQ(s.Read(buf, 1), 1);
    EXPECT_FALSE(s.HasError());
}

TEST_F(FileStreamTest, MissingAccessBitsRaiseReadAndWriteFaults)
{
    WriteBytes(path("data"), "0123");
    CFileStream reader;
    ASSERT_TRUE(reader.Open(path("data"), SO_READ));
    EXPECT_EQ(CodeOf([&] { reader.Write("x", 1); }), ERR_WRITE_FAULT);
    EXPECT_EQ(reader.GetErrorCode(), ERR_WRITE_FAULT);   // recorded before raising
    EXPECT_EQ(CodeOf([&] { reader.Truncate(); }), ERR_WRITE_FAULT);
    EXPECT_EQ(StreamTest::NameOf([&] { reader.Write("x", 1); }), path("data"));
    reader.Close();

    CFileStream writer;
    ASSERT_TRUE(writer.Open(path("data"), SO_WRITE));
    char c;
    EXPECT_EQ(CodeOf([&] { writer.Read(&c, 1); }), ERR_READ_FAULT);
    EXPECT_EQ(writer.GetErrorCode(), ERR_READ_FAULT);
    writer.Close();
    EXPECT_EQ(ReadBytes(path("data")), QByteArray("0123"));
}

TEST_F(FileStreamTest, CreationBits)
{
    CFileStream s;
    EXPECT_EQ(CodeOf([&] { s.Open(path("missing"), SO_READ | SO_WRITE); }), ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(s.IsOpen());
    EXPECT_FALSE(QFile::exists(path("missing")));
    EXPECT_EQ(StreamTest::NameOf([&] { s.Open(path("missing"), SO_READ); }), path("missing"));

    WriteBytes(path("data"), "old");
    ASSERT_TRUE(s.Open(path("data"), SO_READ | SO_WRITE | SO_OPEN_ALWAYS));
    EXPECT_EQ(s.GetLength(), 3u);   // kept
    s.Close();
    EXPECT_EQ(CodeOf([&] { s.Open(path("data"), SO_READ | SO_WRITE | SO_CREATE_NEW); }), ERR_FILE_EXISTS);
    EXPECT_EQ(ReadBytes(path("data")), QByteArray("old"));
    ASSERT_TRUE(s.Open(path("data"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS));
    EXPECT_EQ(s.GetLength(), 0u);   // emptied
    s.Close();

    ASSERT_TRUE(s.Open(path("new"), SO_WRITE | SO_CREATE_NEW));
    EXPECT_TRUE(QFile::exists(path("new")));
}

TEST_F(FileStreamTest, DirectoryOpenedForWritingIsAccessDenied)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
    CFileStream s;
    EXPECT_EQ(CodeOf([&] { s.Open(path("sub"), SO_READ | SO_WRITE); }), ERR_ACCESS_DENIED);
    EXPECT_FALSE(s.IsOpen());
}

TEST_F(FileStreamTest, UnreadableFileIsAccessDenied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads files regardless of their permissions";
    WriteBytes(path("secret"), "x");
    ASSERT_TRUE(QFile::setPermissions(path("secret"), QFileDevice::Permissions()));
    CFileStream s;
    EXPECT_EQ(CodeOf([&] { s.Open(path("secret"), SO_READ); }), ERR_ACCESS_DENIED);
}

TEST_F(FileStreamTest, OpenOnAnOpenStreamIsRefusedWithoutRaising)
{
    WriteBytes(path("a"), "first");
    WriteBytes(path("b"), "second");
    CFileStream s;
    ASSERT_TRUE(s.Open(path("a"), SO_READ));
    EXPECT_FALSE(s.Open(path("b"), SO_READ));
    EXPECT_EQ(s.GetErrorCode(), ERR_NOT_SUPPORTED);
    EXPECT_EQ(s.GetName(), path("a"));
    EXPECT_EQ(StreamTest::ReadAll(s), QByteArray("first"));

    s.Close();
    s.Close();   // closing a closed stream is harmless
    EXPECT_TRUE(s.Reopen());
    EXPECT_EQ(StreamTest::ReadAll(s), QByteArray("first"));

    CFileStream unnamed;
    EXPECT_FALSE(unnamed.Reopen());
}

TEST_F(FileStreamTest, SeekOriginsAndInvalidOrigin)
{
    WriteBytes(path("digits"), "0123456789");
    CFileStream s;
    ASSERT_TRUE(s.Open(path("digits"), SO_READ));
    EXPECT_TRUE(s.IsRandomAccess());
    EXPECT_EQ(s.GetLength(), 10u);
    EXPECT_EQ(s.Seek(3, SEEK_FROM_BEGIN), 3u);
    EXPECT_EQ(s.Seek(2, SEEK_FROM_CURRENT), 5u);
    EXPECT_EQ(s.Seek(-2, SEEK_FROM_END), 8u);
    EXPECT_EQ(s.GetPosition(), 8u);
    EXPECT_EQ(s.ReadByte(), '8');
    EXPECT_EQ(CodeOf([&] { s.Seek(0, 0); }), ERR_SEEK);
    EXPECT_EQ(CodeOf([&] { s.Seek(0, 4); }), ERR_SEEK);
    EXPECT_EQ(s.GetPosition(), 9u);   // a refused seek does not move
    EXPECT_EQ(CodeOf([&] { s.Seek(-1, SEEK_FROM_BEGIN); }), ERR_NEGATIVE_SEEK);
}

TEST_F(FileStreamTest, TruncateMakesThePositionTheEnd)
{
    CFileStream s;
    ASSERT_TRUE(s.Open(path("t"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS));
    EXPECT_EQ(s.Write("0123456789", 10), 10);
    s.SetPosition(4);
    s.Truncate();
    EXPECT_EQ(s.GetLength(), 4u);
    EXPECT_EQ(s.Write("X", 1), 1);
    s.Close();
    EXPECT_EQ(ReadBytes(path("t")), QByteArray("0123X"));
}

TEST_F(FileStreamTest, SharingViolations)
{
    WriteBytes(path("s"), "content");
    const QString name = path("s");
    {
        CFileStream writer, other;
        ASSERT_TRUE(writer.Open(name, SO_READ | SO_WRITE));   // no share bits: exclusive
        EXPECT_EQ(CodeOf([&] { other.Open(name, SO_READ | SO_SHARE_READ); }), ERR_SHARING_VIOLATION);
        EXPECT_EQ(other.GetErrorCode(), ERR_SHARING_VIOLATION);
        EXPECT_FALSE(other.IsOpen());
        // A refused create-always must not empty the file the writer holds.
        EXPECT_EQ(CodeOf([&] { other.Open(name, SO_READ | SO_WRITE | SO_CREATE_ALWAYS); }), ERR_SHARING_VIOLATION);
        EXPECT_EQ(writer.GetLength(), 7u);
        writer.Close();
        EXPECT_TRUE(other.Open(name, SO_READ | SO_SHARE_READ));
    }
    {
        CFileStream r1, r2, w;
        ASSERT_TRUE(r1.Open(name, SO_READ | SO_SHARE_READ));
        EXPECT_TRUE(r2.Open(name, SO_READ | SO_SHARE_READ));
        EXPECT_EQ(CodeOf([&] { w.Open(name, SO_READ | SO_WRITE | SO_SHARE_READ); }), ERR_SHARING_VIOLATION);
    }
    {
        CFileStream w1, w2, alone;
        ASSERT_TRUE(w1.Open(name, SO_WRITE | SO_SHARE_WRITE));
        EXPECT_TRUE(w2.Open(name, SO_WRITE | SO_SHARE_WRITE));
        // Streams that let others write still keep out one that wants the file alone.
        EXPECT_EQ(CodeOf([&] { alone.Open(name, SO_READ | SO_WRITE); }), ERR_SHARING_VIOLATION);
    }
    EXPECT_EQ(ReadBytes(name), QByteArray("content"));
}

TEST_F(FileStreamTest, DeviceOperationsOnAPlainFileReportNotSupported)
{
    CFileStream s;
    ASSERT_TRUE(s.Open(path("p"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS));
    int r = 7, w = 7;
    EXPECT_FALSE(s.SetTimeouts(100, 100));
    EXPECT_EQ(s.GetErrorCode(), ERR_NOT_SUPPORTED);
    EXPECT_FALSE(s.GetTimeouts(r, w));
    EXPECT_EQ(s.GetErrorCode(), ERR_NOT_SUPPORTED);
    EXPECT_FALSE(s.CancelTransfer());
    EXPECT_EQ(s.GetErrorCode(), ERR_NOT_SUPPORTED);
    s.Close();

    // Every operation but Close on a closed stream raises 6.
    char c;
    EXPECT_EQ(CodeOf([&] { s.Read(&c, 1); }), ERR_INVALID_HANDLE);
    EXPECT_EQ(CodeOf([&] { s.GetLength(); }), ERR_INVALID_HANDLE);
    EXPECT_EQ(CodeOf([&] { s.Flush(); }), ERR_INVALID_HANDLE);
}

TEST_F(FileStreamTest, UnnamedFileAppearsOnlyWhenLinked)
{
    const QDir folder(m_dir.path());
    const auto entries = [&] { return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
    {
        CFileStream s;
        if (!s.OpenUnnamed(m_dir.path(), SO_READ | SO_WRITE))
            GTEST_SKIP() << "the file system of " << m_dir.path().toStdString() << " has no unnamed files";
        EXPECT_EQ(s.GetName(), m_dir.path());
        EXPECT_EQ(s.Write("abc", 3), 3);
        EXPECT_TRUE(entries().isEmpty());
        s.Close();
        EXPECT_TRUE(entries().isEmpty()) << "closed without a name, the file is gone";
        EXPECT_FALSE(s.Reopen());
        EXPECT_EQ(s.GetErrorCode(), ERR_NOT_SUPPORTED);
    }

    WriteBytes(path("taken"), "keep");
    CFileStream s;
    ASSERT_TRUE(s.OpenUnnamed(m_dir.path(), SO_READ | SO_WRITE));
    EXPECT_EQ(s.Write("content", 7), 7);
    EXPECT_EQ(CodeOf([&] { s.LinkAs(path("taken")); }), ERR_FILE_EXISTS);
    EXPECT_EQ(ReadBytes(path("taken")), QByteArray("keep"));
    EXPECT_EQ(CodeOf([&] { s.LinkAs(path("no/such/folder")); }), ERR_FILE_NOT_FOUND);
    s.LinkAs(path("linked"));
    EXPECT_EQ(s.GetName(), path("linked"));
    EXPECT_EQ(CodeOf([&] { s.LinkAs(path("twice")); }), ERR_NOT_SUPPORTED) << "it has a name now";
    // A named file is held like any other written file.
    CFileStream other;
    EXPECT_EQ(CodeOf([&] { other.Open(path("linked"), SO_READ); }), ERR_SHARING_VIOLATION);
    s.Close();
    EXPECT_EQ(ReadBytes(path("linked")), QByteArray("content"));
    EXPECT_EQ(entries(), QStringList({QStringLiteral("linked"), QStringLiteral("taken")}));
    EXPECT_TRUE(s.Reopen());
    EXPECT_EQ(StreamTest::ReadAll(s), QByteArray("content"));
}

TEST_F(FileStreamTest, UnnamedFileRefusalsAndFailures)
{
    CFileStream s;
    CFileStream::SetUnnamedFilesRefused(true);
    const bool opened = s.OpenUnnamed(m_dir.path(), SO_READ | SO_WRITE);
    CFileStream::SetUnnamedFilesRefused(false);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(s.IsOpen());
    EXPECT_EQ(s.GetErrorCode(), ERR_NOT_SUPPORTED);

    EXPECT_EQ(CodeOf([&] { s.OpenUnnamed(m_dir.path(), SO_READ); }), ERR_INVALID_PARAMETER);
    EXPECT_EQ(CodeOf([&] { s.OpenUnnamed(path("missing"), SO_WRITE); }), ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(s.IsOpen());

    WriteBytes(path("plain"), "x");
    CFileStream named;
    ASSERT_TRUE(named.Open(path("plain"), SO_READ | SO_WRITE));
    EXPECT_EQ(CodeOf([&] { named.LinkAs(path("again")); }), ERR_NOT_SUPPORTED);
    EXPECT_FALSE(named.OpenUnnamed(m_dir.path(), SO_WRITE)) << "already open";
    EXPECT_EQ(named.GetName(), path("plain"));
}

}   // namespace
