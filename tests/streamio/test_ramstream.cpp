// RAM disk files through CRamStream: sharing, growth, FIFO order and
// wrap-around, positions, and a FIFO shared by two threads.
#include "streamtest.h"

#include "streamio/ramdisk.h"
#include "streamio/ramstream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

using namespace StreamIO;
using StreamTest::CodeOf;
using StreamTest::ReadAll;

namespace {

constexpr std::uint32_t kCreate = SO_READ | SO_WRITE | SO_CREATE_ALWAYS;
constexpr std::uint32_t kFifoWriter = SO_WRITE | SO_OPEN_ALWAYS | SO_FIFO;
constexpr std::uint32_t kFifoReader = SO_READ | SO_OPEN_ALWAYS | SO_FIFO;

// Byte n of a recognisable sequence.
std::uint8_t SeqByte(std::uint32_t n)
{
    return std::uint8_t(n * 7 + n / 251);
}

QByteArray Seq(std::uint32_t from, std::uint32_t count)
{
    QByteArray b(qsizetype(count), '\0');
    for (std::uint32_t i = 0; i < count; ++i)
        b[qsizetype(i)] = char(SeqByte(from + i));
    return b;
}

class RamStreamTest : public ::testing::Test
{
protected:
    // No test may leave a file behind: a failed open must not count as an open.
    void TearDown() override { EXPECT_EQ(RamDisk()->FileCount(), 0); }
};

TEST_F(RamStreamTest, MissingFileWithoutCreateBitRaises2)
{
    CRamStream s;
    EXPECT_EQ(CodeOf([&] { s.Open(QStringLiteral("RAM:x"), SO_READ); }), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(s.GetErrorCode(), ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(s.IsOpen());
    EXPECT_EQ(CodeOf([&] { s.Open(QStringLiteral("RAM:x"), SO_READ | SO_WRITE); }), ERR_FILE_NOT_FOUND);
}

TEST_F(RamStreamTest, SecondOpenNeedsTheShareBitsOfTheFirst)
{
    CRamStream first, reader, writer, other;
    ASSERT_TRUE(first.Open(QStringLiteral("Shared"), kCreate | SO_SHARE_READ));
    EXPECT_EQ(first.Write("data", 4), 4);
    EXPECT_TRUE(reader.Open(QStringLiteral("Shared"), SO_READ));
    EXPECT_EQ(CodeOf([&] { writer.Open(QStringLiteral("Shared"), SO_WRITE); }), ERR_SHARING_VIOLATION);
    EXPECT_EQ(CodeOf([&] { other.Open(QStringLiteral("Shared"), kCreate | SO_SHARE_READ); }), ERR_SHARING_VIOLATION);
    EXPECT_EQ(CodeOf([&] { other.Open(QStringLiteral("Shared"), SO_READ | SO_CREATE_NEW); }), ERR_FILE_EXISTS);
    EXPECT_EQ(ReadAll(reader), QByteArray("data"));
    first.Close();
    EXPECT_EQ(ReadAll(reader), QByteArray("data"));   // alive while one stream has it
    reader.Close();
    EXPECT_EQ(CodeOf([&] { other.Open(QStringLiteral("Shared"), SO_READ); }), ERR_FILE_NOT_FOUND);

    CRamStream owner, reader2;
    ASSERT_TRUE(owner.Open(QStringLiteral("Private"), kCreate));
    EXPECT_EQ(CodeOf([&] { reader2.Open(QStringLiteral("Private"), SO_READ); }), ERR_SHARING_VIOLATION);
    owner.Close();

    // With SO_SHARE_WRITE a second create-always empties the file for both.
    CRamStream a, b;
    ASSERT_TRUE(a.Open(QStringLiteral("Both"), kCreate | SO_SHARE_READ | SO_SHARE_WRITE));
    EXPECT_EQ(a.Write("abc", 3), 3);
    ASSERT_TRUE(b.Open(QStringLiteral("Both"), kCreate));
    EXPECT_EQ(a.GetLength(), 0u);
    EXPECT_EQ(b.GetLength(), 0u);
}

TEST_F(RamStreamTest, GrowthAndShortReadAtTheEnd)
{
    CRamStream s;
    ASSERT_TRUE(s.Open(QStringLiteral("Grow"), kCreate));
    const QByteArray data = Seq(0, 600);
    EXPECT_EQ(s.Write(data.constData(), 600), 600);
    EXPECT_EQ(s.GetLength(), 600u);
    EXPECT_EQ(s.GetCapacity(), 1024u);

    s.SetPosition(0);
    char buf[1000];
    EXPECT_EQ(s.Read(buf, 1000), 600);
    EXPECT_EQ(QByteArray(buf, 600), data);
    EXPECT_FALSE(s.HasError());
    EXPECT_EQ(s.Read(buf, 1000), 0);
    EXPECT_EQ(s.GetErrorCode(), ERR_HANDLE_EOF);
    EXPECT_TRUE(s.IsTimeoutOrEnd());

    // Larger files keep growing in whole steps and keep their content.
    const QByteArray more = Seq(600, 5000);
    EXPECT_EQ(s.Write(more.constData(), 5000), 5000);
    EXPECT_EQ(s.GetCapacity() % 512, 0u);
    EXPECT_GE(s.GetCapacity(), 5600u);
    EXPECT_EQ(ReadAll(s), Seq(0, 5600));
}

TEST_F(RamStreamTest, FifoKeepsOrderAcrossWrapAndGrowth)
{
    CRamStream w, r;
    ASSERT_TRUE(w.Open(QStringLiteral("Pipe"), kFifoWriter));
    ASSERT_TRUE(r.Open(QStringLiteral("Pipe"), kFifoReader));
    EXPECT_FALSE(r.IsRandomAccess());

    QByteArray got;
    char buf[2000];
    EXPECT_EQ(w.Write(Seq(0, 300).constData(), 300), 300);
    EXPECT_EQ(r.Read(buf, 200), 200);
    got.append(buf, 200);
    EXPECT_EQ(w.Write(Seq(300, 400).constData(), 400), 400);   // passes the buffer end
    EXPECT_EQ(w.GetLength(), 500u);
    EXPECT_EQ(r.GetLength(), 500u);
    // Growing while the data wrap must move both pieces in order.
    EXPECT_EQ(w.Write(Seq(700, 900).constData(), 900), 900);
    EXPECT_EQ(r.GetLength(), 1400u);
    const int n = r.Read(buf, 2000);
    EXPECT_EQ(n, 1400);
    got.append(buf, n);
    EXPECT_EQ(got, Seq(0, 1600));
    EXPECT_EQ(r.GetLength(), 0u);
    EXPECT_EQ(r.Read(buf, 1), 0);
    EXPECT_EQ(r.GetErrorCode(), ERR_HANDLE_EOF);

    EXPECT_EQ(CodeOf([&] { r.Seek(0, SEEK_FROM_BEGIN); }), ERR_SEEK_ON_DEVICE);
    EXPECT_EQ(CodeOf([&] { w.Seek(0, SEEK_FROM_CURRENT); }), ERR_SEEK_ON_DEVICE);

    EXPECT_EQ(w.Write("abc", 3), 3);
    r.ClearInput();
    EXPECT_EQ(r.GetLength(), 0u);
}

TEST_F(RamStreamTest, FifoTakesOneReaderAndOneWriter)
{
    CRamStream w, r, w2, r2;
    ASSERT_TRUE(w.Open(QStringLiteral("Fifo"), kFifoWriter));
    ASSERT_TRUE(r.Open(QStringLiteral("Fifo"), kFifoReader));
    EXPECT_EQ(CodeOf([&] { w2.Open(QStringLiteral("Fifo"), kFifoWriter); }), ERR_SHARING_VIOLATION);
    EXPECT_EQ(CodeOf([&] { r2.Open(QStringLiteral("Fifo"), kFifoReader); }), ERR_SHARING_VIOLATION);
    EXPECT_EQ(CodeOf([&] { w2.Open(QStringLiteral("Fifo"), SO_WRITE | SO_CREATE_ALWAYS | SO_FIFO); }),
              ERR_SHARING_VIOLATION);
    r.Close();
    EXPECT_TRUE(r2.Open(QStringLiteral("Fifo"), kFifoReader));   // the reader place is free again
    w.Close();
    EXPECT_TRUE(w2.Open(QStringLiteral("Fifo"), kFifoWriter));

    // A FIFO created with share bits refuses to be created anew.
    CRamStream s1, s2;
    ASSERT_TRUE(s1.Open(QStringLiteral("SharedFifo"), kFifoWriter | SO_SHARE_READ | SO_SHARE_WRITE));
    EXPECT_EQ(CodeOf([&] { s2.Open(QStringLiteral("SharedFifo"), SO_WRITE | SO_CREATE_ALWAYS | SO_FIFO); }),
              ERR_OPEN_FAILED);
}

TEST_F(RamStreamTest, SeekRulesOnAPlainFile)
{
    CRamStream s;
    ASSERT_TRUE(s.Open(QStringLiteral("Seek"), kCreate));
    EXPECT_EQ(s.Write("0123456789", 10), 10);
    EXPECT_TRUE(s.IsRandomAccess());
    EXPECT_EQ(s.Seek(0, SEEK_FROM_END), 10u);
    EXPECT_EQ(s.Seek(-3, SEEK_FROM_CURRENT), 7u);
    EXPECT_EQ(CodeOf([&] { s.Seek(-1, SEEK_FROM_BEGIN); }), ERR_NEGATIVE_SEEK);
    EXPECT_EQ(CodeOf([&] { s.Seek(1, SEEK_FROM_END); }), ERR_SEEK_ON_DEVICE);
    EXPECT_EQ(s.GetErrorCode(), ERR_SEEK_ON_DEVICE);
    EXPECT_EQ(CodeOf([&] { s.Seek(-8, SEEK_FROM_CURRENT); }), ERR_NEGATIVE_SEEK);
    EXPECT_EQ(CodeOf([&] { s.Seek(0, 4); }), ERR_SEEK_ON_DEVICE);
    EXPECT_EQ(s.GetPosition(), 7u);   // refused seeks do not move
    EXPECT_EQ(s.ReadByte(), '7');
}

TEST_F(RamStreamTest, ClosingTheLastStreamDiscardsTheFile)
{
    CRamStream s;
    ASSERT_TRUE(s.Open(QStringLiteral("Gone"), SO_READ | SO_WRITE | SO_OPEN_ALWAYS));
    EXPECT_EQ(s.Write("payload", 7), 7);
    s.Close();
    EXPECT_FALSE(s.IsOpen());
    ASSERT_TRUE(s.Open(QStringLiteral("Gone"), SO_READ | SO_WRITE | SO_OPEN_ALWAYS));
    EXPECT_EQ(s.GetLength(), 0u);
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0);
}

TEST_F(RamStreamTest, AccessBitsAndClosedStream)
{
    CRamStream w, r;
    ASSERT_TRUE(w.Open(QStringLiteral("Access"), SO_WRITE | SO_CREATE_ALWAYS | SO_SHARE_READ));
    ASSERT_TRUE(r.Open(QStringLiteral("Access"), SO_READ));
    char c = 'x';
    EXPECT_EQ(CodeOf([&] { w.Read(&c, 1); }), ERR_READ_FAULT);
    EXPECT_EQ(CodeOf([&] { r.Write(&c, 1); }), ERR_WRITE_FAULT);
    EXPECT_EQ(CodeOf([&] { r.Truncate(); }), ERR_WRITE_FAULT);
    w.Close();
    r.Close();

    EXPECT_EQ(CodeOf([&] { r.Read(&c, 1); }), ERR_INVALID_HANDLE);
    EXPECT_EQ(CodeOf([&] { r.GetLength(); }), ERR_INVALID_HANDLE);
    EXPECT_EQ(CodeOf([&] { r.ClearInput(); }), ERR_INVALID_HANDLE);
    EXPECT_EQ(CodeOf([&] {
                  r.SetPosition(5);
                  r.GetPosition();
                  r.Close();
              }),
              0u);
}

TEST_F(RamStreamTest, WritePastThe32BitRangeRaises14)
{
    CRamStream s;
    ASSERT_TRUE(s.Open(QStringLiteral("Far"), kCreate));
    EXPECT_EQ(s.Write("abc", 3), 3);
    const std::uint32_t capacity = s.GetCapacity();
    char block[32] = {};
    s.SetPosition(0xFFFFFFF0u);
    EXPECT_EQ(CodeOf([&] { s.Write(block, 32); }), ERR_OUTOFMEMORY);
    EXPECT_EQ(s.GetErrorCode(), ERR_OUTOFMEMORY);
    s.SetPosition(0xFFFFFFFFu);
    EXPECT_EQ(CodeOf([&] { s.Write(block, 1); }), ERR_OUTOFMEMORY);
    EXPECT_EQ(s.GetLength(), 3u);
    EXPECT_EQ(s.GetCapacity(), capacity);
    EXPECT_EQ(ReadAll(s), QByteArray("abc"));
}

TEST_F(RamStreamTest, GapBeforeALaterWriteIsZeroed)
{
    CRamStream s;
    ASSERT_TRUE(s.Open(QStringLiteral("Gap"), kCreate));
    // Leave old bytes in the allocation behind a shorter end.
    const QByteArray junk(2000, char(0xAA));
    EXPECT_EQ(s.Write(junk.constData(), 2000), 2000);
    s.SetPosition(3);
    s.Truncate();
    EXPECT_EQ(s.GetLength(), 3u);

    s.SetPosition(1000);
    EXPECT_EQ(s.Write("x", 1), 1);
    EXPECT_EQ(s.GetLength(), 1001u);
    const QByteArray all = ReadAll(s);
    ASSERT_EQ(all.size(), 1001);
    EXPECT_EQ(all.left(3), junk.left(3));
    EXPECT_EQ(all.mid(3, 997), QByteArray(997, '\0'));
    EXPECT_EQ(all.back(), 'x');
}

TEST_F(RamStreamTest, FifoWithOneWriterThreadAndOneReaderThread)
{
    constexpr std::uint32_t kTotal = 6u << 20;
    std::vector<std::uint8_t> data(kTotal);
    std::mt19937 gen(1234);
    for (auto &b : data)
        b = std::uint8_t(gen());
    auto checksum = [](std::uint64_t h, const std::uint8_t *p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            h = (h ^ p[i]) * 0x100000001B3ull;   // FNV-1a: sensitive to order
        return h;
    };
    const std::uint64_t expected = checksum(0xCBF29CE484222325ull, data.data(), data.size());

    CRamStream w, r;
    ASSERT_TRUE(w.Open(QStringLiteral("Threads"), kFifoWriter));
    ASSERT_TRUE(r.Open(QStringLiteral("Threads"), kFifoReader));
    std::atomic<bool> writerDone{false};
    std::atomic<std::uint32_t> writerError{0}, readerError{0};
    std::uint64_t received = 0, sum = 0xCBF29CE484222325ull;

    std::thread writer([&] {
        std::mt19937 sizes(99);
        try {
            for (std::uint32_t at = 0; at < kTotal;) {
                const std::uint32_t n = std::min<std::uint32_t>(1 + sizes() % 8192, kTotal - at);
                if (w.Write(data.data() + at, int(n)) != int(n))
                    throw StreamError(ERR_WRITE_FAULT, w.GetName());
                at += n;
            }
        } catch (const StreamError &e) {
            writerError = e.code();
        }
        writerDone = true;
    });
    std::thread reader([&] {
        std::mt19937 sizes(7);
        std::vector<std::uint8_t> buf(5000);
        try {
            while (received < kTotal) {
                // Read after looking at the flag: an empty FIFO then means the writer is through.
                const bool done = writerDone;
                const int n = r.Read(buf.data(), int(1 + sizes() % buf.size()));
                if (n == 0) {
                    if (done)
                        break;
                    std::this_thread::yield();
                    continue;
                }
                sum = checksum(sum, buf.data(), std::size_t(n));
                received += std::uint64_t(n);
            }
        } catch (const StreamError &e) {
            readerError = e.code();
        }
    });
    writer.join();
    reader.join();

    EXPECT_EQ(writerError.load(), 0u);
    EXPECT_EQ(readerError.load(), 0u);
    EXPECT_EQ(received, kTotal);
    EXPECT_EQ(sum, expected);
    EXPECT_EQ(r.GetLength(), 0u);
}

}   // namespace
