// CQXArchive: byte layouts, strings, buffer boundaries, construction and
// closing failures.
#include "streamtest.h"

#include "streamio/archive.h"
#include "streamio/ramstream.h"
#include "streamio/streamtable.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

using namespace StreamIO;
using StreamTest::CodeOf;
using StreamTest::Hex;
using StreamTest::ReadAll;

namespace {

using Store = std::function<void(CQXArchive &)>;

// A RAM file holding `bytes`, open for reading and writing.
std::unique_ptr<CRamStream> RamWith(const QString &name, const QByteArray &bytes = {})
{
    auto s = std::make_unique<CRamStream>();
    s->Open(name, SO_READ | SO_WRITE | SO_CREATE_ALWAYS | SO_SHARE_READ | SO_SHARE_WRITE);
    s->Write(bytes.constData(), int(bytes.size()));
    return s;
}

constexpr std::uint32_t kReadShared = SO_READ | SO_SHARE_READ | SO_SHARE_WRITE;

// The RAM stream `name` after an archive stored `put` on it, reopened for
// loading (closing the archive closes its borrowed stream).
std::unique_ptr<CRamStream> StoredStream(const QString &name, const Store &put,
                                         std::uint16_t mode = CQXArchive::MODE_STORE,
                                         std::uint32_t bufferSize = CQXArchive::kDefaultBufferSize)
{
    auto s = RamWith(name);
    CRamStream keep;   // keeps the file alive meanwhile
    keep.Open(name, kReadShared);
    {
        CQXArchive a(s->GetHandle(), mode, bufferSize);
        put(a);
    }
    EXPECT_FALSE(s->IsOpen());
    s->Open(name, kReadShared);
    return s;
}

QByteArray Stored(const Store &put, std::uint16_t mode = CQXArchive::MODE_STORE)
{
    return ReadAll(*StoredStream(QStringLiteral("Store"), put, mode));
}

TEST(Archive, ThreeByteStreamReadAsU32RaisesEnd)
{
    auto s = RamWith(QStringLiteral("Three"), Hex("01 02 03"));
    CQXArchive a(s->GetHandle(), CQXArchive::MODE_LOAD);
    EXPECT_EQ(CodeOf([&] { a.GetU32(); }), ERR_HANDLE_EOF);
    EXPECT_EQ(StreamTest::NameOf([&] { a.GetU32(); }), QStringLiteral("RAM:Three"));
}

TEST(Archive, StringLayouts)
{
    EXPECT_EQ(Stored([](CQXArchive &a) { a.PutString(u"abc"); }), Hex("FE 03 00 61 00 62 00 63 00"));
    EXPECT_EQ(Stored([](CQXArchive &a) {
                  a.PutString(QString());
                  a.PutString(QStringLiteral(""));
              }),
              Hex("FE 00 00 FE 00 00"));
    const QString withZero(QStringLiteral("a\0b").data(), 3);
    ASSERT_EQ(withZero.size(), 3);
    EXPECT_EQ(Stored([&](CQXArchive &a) { a.PutString(withZero); }), Hex("FE 03 00 61 00 00 00 62 00"));
}

TEST(Archive, StringsRoundTrip)
{
    const QString withZero(QStringLiteral("a\0b").data(), 3);
    const QString longest(0xFFFF, QChar(u'\u20AC'));   // passes many buffer boundaries
    auto s = StoredStream(QStringLiteral("Strings"), [&](CQXArchive &a) {
        a.PutString(QString());
        a.PutString(withZero);
        a.PutString(longest);
        a.PutString(QStringLiteral("end"));
    });
    CQXArchive a(s->GetHandle(), CQXArchive::MODE_LOAD);
    QString reused = QStringLiteral("left over");
    a.GetString(reused);
    EXPECT_TRUE(reused.isEmpty());
    const QString z = a.GetString();
    EXPECT_EQ(z.size(), 3);
    EXPECT_EQ(z, withZero);
    EXPECT_EQ(a.GetString(), longest);
    EXPECT_EQ(a.GetString(), QStringLiteral("end"));
    EXPECT_EQ(CodeOf([&] { a.GetU8(); }), ERR_HANDLE_EOF);
}

TEST(Archive, TooLongStringRaises122AndWritesNothing)
{
    auto s = RamWith(QStringLiteral("Long"));
    CQXArchive a(s->GetHandle(), CQXArchive::MODE_STORE);
    a.PutU8(7);
    EXPECT_EQ(CodeOf([&] { a.PutString(QString(0x10000, QChar(u'x'))); }), ERR_INSUFFICIENT_BUFFER);
    a.Flush();
    EXPECT_EQ(ReadAll(*s), Hex("07"));
}

TEST(Archive, EightBitTagIsLatin1AndStopsAtZero)
{
    auto s = RamWith(QStringLiteral("Tag"), Hex("FF 03 00 41 42 43  FF 04 00 41 00 42 43  FF 01 00 E9  5A"));
    CQXArchive a(s->GetHandle(), CQXArchive::MODE_LOAD);
    EXPECT_EQ(a.GetString(), QStringLiteral("ABC"));
    EXPECT_EQ(a.GetString(), QStringLiteral("A"));   // the bytes after the zero are still consumed
    EXPECT_EQ(a.GetString(), QString(QChar(0xE9)));
    EXPECT_EQ(a.GetU8(), 0x5A);
}

TEST(Archive, ByteOrders)
{
    const Store put = [](CQXArchive &a) {
        a.PutU16(0x0102);
        a.PutU32(0x01020304);
        a.PutU64(0x05060708u, 0x01020304u);
        const std::uint16_t arr[] = {0x0A0B, 0x0C0D};
        a.PutU16Array(arr, 2);
        a.PutString(u"a");
    };
    const QByteArray little = Hex("02 01  04 03 02 01  08 07 06 05 04 03 02 01  0B 0A 0D 0C  FE 01 00 61 00");
    const QByteArray big = Hex("01 02  01 02 03 04  01 02 03 04 05 06 07 08  0A 0B 0C 0D  FE 00 01 00 61");
    EXPECT_EQ(Stored(put), little);
    EXPECT_EQ(Stored(put, CQXArchive::MODE_BIG_ENDIAN), big);

    for (const std::uint16_t order : {std::uint16_t(0), std::uint16_t(CQXArchive::MODE_BIG_ENDIAN)}) {
        auto s = RamWith(QStringLiteral("Order"), order ? big : little);
        CQXArchive a(s->GetHandle(), CQXArchive::MODE_LOAD | order);
        EXPECT_EQ(a.GetU16(), 0x0102);
        EXPECT_EQ(a.GetU32(), 0x01020304u);
        std::uint32_t low = 0, high = 0;
        a.GetU64(low, high);
        EXPECT_EQ(low, 0x05060708u);
        EXPECT_EQ(high, 0x01020304u);
        std::uint16_t arr[2] = {};
        a.GetU16Array(arr, 2);
        EXPECT_EQ(arr[0], 0x0A0B);
        EXPECT_EQ(arr[1], 0x0C0D);
        EXPECT_EQ(a.GetString(), QStringLiteral("a"));
    }
    // Read in the wrong order the bytes come out swapped.
    auto s = RamWith(QStringLiteral("Order"), big);
    CQXArchive a(s->GetHandle(), CQXArchive::MODE_LOAD);
    EXPECT_EQ(a.GetU16(), 0x0201);
}

TEST(Archive, StoringByHandleReplacesWhatTheStreamHeld)
{
    auto s = RamWith(QStringLiteral("Replace"), QByteArray(100, 'z'));
    ASSERT_EQ(s->GetPosition(), 100u);
    CQXArchive a(s->GetHandle(), CQXArchive::MODE_STORE);
    a.PutU32(0xDEADBEEF);
    a.PutU8(1);
    a.Flush();
    EXPECT_EQ(s->GetLength(), 5u);
    EXPECT_EQ(ReadAll(*s), Hex("EF BE AD DE 01"));

    // Loading by handle starts at the front whatever the position.
    auto l = RamWith(QStringLiteral("Rewind"), Hex("11 22"));
    CQXArchive b(l->GetHandle(), CQXArchive::MODE_LOAD);
    EXPECT_EQ(b.GetU16(), 0x2211);
}

TEST(Archive, SmallBuffersAreRaisedTo16AndLargeRequestsAreChunked)
{
    std::vector<std::uint16_t> units(100);
    QByteArray bytes(100, '\0');
    for (int i = 0; i < 100; ++i) {
        units[std::size_t(i)] = std::uint16_t(0x1234 + 257 * i);
        bytes[i] = char(i * 3);
    }
    const QString text(50, QChar(u'q'));
    const Store put = [&](CQXArchive &a) {
        EXPECT_EQ(a.GetBufferSize(), 16u);
        a.PutU8(1);
        a.PutU8(2);
        a.PutU8(3);
        a.PutU64(0x0102030405060708ull);
        a.PutU64(0x1112131415161718ull);   // no longer fits: flushed first
        a.PutBytes(bytes.constData(), 100);
        a.PutU16Array(units.data(), 100);
        a.PutString(text);
    };
    auto s = StoredStream(QStringLiteral("Small"), put, CQXArchive::MODE_STORE, 4);
    EXPECT_EQ(s->GetLength(), 3u + 16u + 100u + 200u + 3u + 100u);
    CQXArchive a(s->GetHandle(), CQXArchive::MODE_LOAD, 4);
    EXPECT_EQ(a.GetBufferSize(), 16u);
    EXPECT_EQ(a.GetU8(), 1);
    EXPECT_EQ(a.GetU8(), 2);
    EXPECT_EQ(a.GetU8(), 3);
    EXPECT_EQ(a.GetU64(), 0x0102030405060708ull);
    EXPECT_EQ(a.GetU64(), 0x1112131415161718ull);
    QByteArray gotBytes(100, '\0');
    std::vector<std::uint16_t> gotUnits(100);
    EXPECT_EQ(CodeOf([&] {
                  a.GetBytes(gotBytes.data(), 100);
                  a.GetU16Array(gotUnits.data(), 100);
              }),
              0u);
    EXPECT_EQ(gotBytes, bytes);
    EXPECT_EQ(gotUnits, units);
    EXPECT_EQ(a.GetString(), text);
}

// Stores a seeded mix of primitives with odd buffer sizes, so that values of
// every width straddle buffer boundaries, and loads it back.
TEST(Archive, MixedPrimitivesRoundTripAcrossBufferBoundaries)
{
    for (const std::uint16_t order : {std::uint16_t(0), std::uint16_t(CQXArchive::MODE_BIG_ENDIAN)}) {
        struct Item
        {
            int kind;
            std::uint64_t value;
            QString text;
        };
        std::vector<Item> items;
        std::mt19937_64 gen(42 + order);
        for (int i = 0; i < 4000; ++i) {
            Item it{int(gen() % 5), gen(), {}};
            if (it.kind == 4)
                it.text = QString(qsizetype(it.value % 40), QChar(char16_t(0x41 + it.value % 7000)));
            items.push_back(it);
        }
        std::uint32_t stored = 0;
        auto s = StoredStream(
            QStringLiteral("Mixed"),
            [&](CQXArchive &a) {
                for (const Item &it : items) {
                    switch (it.kind) {
                    case 0: a.PutU8(std::uint8_t(it.value)); break;
                    case 1: a.PutU16(std::uint16_t(it.value)); break;
                    case 2: a.PutU32(std::uint32_t(it.value)); break;
                    case 3: a.PutU64(it.value); break;
                    default: a.PutString(it.text); break;
                    }
                }
                stored = a.GetPosition();
            },
            CQXArchive::MODE_STORE | order, 17);
        EXPECT_EQ(s->GetLength(), stored);
        CQXArchive a(s->GetHandle(), CQXArchive::MODE_LOAD | order, 23);
        int wrong = 0;
        for (const Item &it : items) {
            switch (it.kind) {
            case 0: wrong += a.GetU8() != std::uint8_t(it.value); break;
            case 1: wrong += a.GetU16() != std::uint16_t(it.value); break;
            case 2: wrong += a.GetU32() != std::uint32_t(it.value); break;
            case 3: wrong += a.GetU64() != it.value; break;
            default: wrong += a.GetString() != it.text; break;
            }
        }
        EXPECT_EQ(wrong, 0) << "order " << order;
        EXPECT_EQ(a.GetPosition(), stored);
        EXPECT_EQ(CodeOf([&] { a.GetU8(); }), ERR_HANDLE_EOF);
    }
}

TEST(Archive, ByNameOnAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.qxs"));
    EXPECT_EQ(CodeOf([&] { CQXArchive a(path, CQXArchive::MODE_LOAD); }), ERR_FILE_NOT_FOUND);
    {
        CQXArchive a(path, CQXArchive::MODE_STORE, CQXArchive::kFileBufferSize);
        for (std::uint32_t i = 0; i < 40000; ++i)
            a.PutU32(i * 2654435761u);
        // A storing archive holds the file: nobody loads a half-written one.
        EXPECT_EQ(CodeOf([&] { CQXArchive b(path, CQXArchive::MODE_LOAD); }), ERR_SHARING_VIOLATION);
    }
    EXPECT_EQ(QFileInfo(path).size(), 160000);
    CQXArchive a(path, CQXArchive::MODE_LOAD, CQXArchive::kFileBufferSize);
    int wrong = 0;
    for (std::uint32_t i = 0; i < 40000; ++i)
        wrong += a.GetU32() != i * 2654435761u;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(CodeOf([&] { a.GetU8(); }), ERR_HANDLE_EOF);
}

TEST(Archive, ConstructionByHandleNeedsAnOpenRegisteredStream)
{
    EXPECT_EQ(CodeOf([] { CQXArchive a(StreamHandle(0), CQXArchive::MODE_LOAD); }), ERR_INVALID_HANDLE);
    StreamHandle stale;
    {
        CRamStream gone;
        stale = gone.GetHandle();
    }
    EXPECT_EQ(CodeOf([&] { CQXArchive a(stale, CQXArchive::MODE_STORE); }), ERR_INVALID_HANDLE);
    CRamStream closed;
    EXPECT_EQ(CodeOf([&] { CQXArchive a(closed.GetHandle(), CQXArchive::MODE_STORE); }), ERR_INVALID_HANDLE);
}

TEST(Archive, FlushAndCloseRules)
{
    auto s = RamWith(QStringLiteral("Rules"), Hex("01 02 03 04"));
    CQXArchive loader(s->GetHandle(), CQXArchive::MODE_LOAD);
    EXPECT_EQ(CodeOf([&] { loader.Flush(); }), ERR_WRITE_FAULT);
    EXPECT_EQ(loader.GetU32(), 0x04030201u);
    loader.Close();
    EXPECT_FALSE(s->IsOpen());
    EXPECT_EQ(CodeOf([&] { loader.Close(); }), ERR_HANDLE_EOF);
    EXPECT_EQ(CodeOf([&] { loader.Flush(); }), ERR_HANDLE_EOF);
    EXPECT_EQ(CodeOf([&] { loader.GetU8(); }), ERR_HANDLE_EOF);
}

// A primitive of the wrong direction must not read or overwrite the buffer,
// and a closed archive hands out nothing it had buffered.
TEST(Archive, WrongDirectionAndClosedArchivesRaise)
{
    auto s = RamWith(QStringLiteral("Direction"), Hex("01 02 03 04 05 06 07 08"));
    {
        CQXArchive loader(s->GetHandle(), CQXArchive::MODE_LOAD | CQXArchive::MODE_ABORT_ON_DESTROY);
        EXPECT_EQ(loader.GetU8(), 0x01);
        EXPECT_EQ(CodeOf([&] { loader.PutU32(0xFFFFFFFF); }), ERR_WRITE_FAULT);
        EXPECT_EQ(loader.GetU8(), 0x02);   // the buffered bytes are untouched
        loader.Abort();
        EXPECT_EQ(CodeOf([&] { loader.GetU8(); }), ERR_HANDLE_EOF);
    }
    auto t = RamWith(QStringLiteral("Direction2"));
    CQXArchive storer(t->GetHandle(), CQXArchive::MODE_STORE);
    storer.PutU32(7);
    EXPECT_EQ(CodeOf([&] { storer.GetU8(); }), ERR_READ_FAULT);
    storer.Close();
    EXPECT_EQ(CodeOf([&] { storer.PutU8(1); }), ERR_HANDLE_EOF);
}

TEST(Archive, DestructorNeverThrows)
{
    // The stream is closed underneath a storing archive with bytes pending.
    auto s = RamWith(QStringLiteral("Under"));
    EXPECT_NO_THROW({
        CQXArchive a(s->GetHandle(), CQXArchive::MODE_STORE);
        a.PutU32(1);
        s->Close();
        EXPECT_EQ(CodeOf([&] { a.Close(); }), ERR_INVALID_HANDLE);
    });
    EXPECT_NO_THROW({
        auto t = RamWith(QStringLiteral("Under"));
        CQXArchive a(t->GetHandle(), CQXArchive::MODE_STORE);
        a.PutU32(1);
        t->Close();
    });

    // Abort-on-destroy drops what is still buffered.
    auto d = RamWith(QStringLiteral("Dropped"));
    CRamStream watch;
    ASSERT_TRUE(watch.Open(QStringLiteral("Dropped"), SO_READ | SO_SHARE_READ | SO_SHARE_WRITE));
    {
        CQXArchive a(d->GetHandle(), CQXArchive::MODE_STORE | CQXArchive::MODE_ABORT_ON_DESTROY);
        a.PutU32(0x12345678);
    }
    EXPECT_FALSE(d->IsOpen());
    EXPECT_EQ(watch.GetLength(), 0u);
}

}   // namespace
