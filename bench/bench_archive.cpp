// Archive throughput on a RAM stream and on a file stream, beside a plain
// memcpy / write() of the same bytes.
//
// Stores and loads about 50 MB of mixed primitives (8/16/32/64-bit values,
// strings, 16-bit arrays) with a buffer of 1024 bytes, and on files also with
// the 64 KiB that file archives use; then shows that filling a RAM file stays
// linear (the cost per MB does not grow with the size).
#include "streamio/archive.h"
#include "streamio/ramstream.h"
#include "streamio/streamtable.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace StreamIO;

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kBufferSize = 1024;
const QString kText = QStringLiteral("Wall A north 17");   // 15 characters
constexpr std::uint16_t kArray[8] = {1, 2, 3, 4, 500, 600, 700, 800};
constexpr std::size_t kRecordBytes = 1 + 2 + 4 + 8 + (3 + 2 * 15) + 2 * 8;

double seconds(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void storeRecords(CQXArchive &ar, std::size_t records)
{
    for (std::size_t i = 0; i < records; ++i) {
        ar.PutU8(std::uint8_t(i));
        ar.PutU16(std::uint16_t(i));
        ar.PutU32(std::uint32_t(i));
        ar.PutU64(std::uint64_t(i) * 0x100000001ULL);
        ar.PutString(kText);
        ar.PutU16Array(kArray, 8);
    }
    ar.Flush();
}

std::uint64_t loadRecords(CQXArchive &ar, std::size_t records)
{
    std::uint64_t sum = 0;
    QString s;
    std::uint16_t a[8];
    for (std::size_t i = 0; i < records; ++i) {
        sum += ar.GetU8();
        sum += ar.GetU16();
        sum += ar.GetU32();
        sum += ar.GetU64();
        ar.GetString(s);
        sum += std::uint64_t(s.size());
        ar.GetU16Array(a, 8);
        sum += a[7];
    }
    return sum;
}

struct Figures
{
    double store = 0, load = 0;
    std::uint32_t length = 0, capacity = 0;
};

Figures throughRam(std::size_t records, std::uint32_t bufferSize = kBufferSize)
{
    Figures f;
    CRamStream ram;
    ram.Open(QStringLiteral("RAM:bench"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
    CQXArchive store(ram.GetHandle(), CQXArchive::MODE_STORE, bufferSize);
    auto t0 = Clock::now();
    storeRecords(store, records);
    f.store = seconds(t0);
    f.length = ram.GetLength();
    f.capacity = ram.GetCapacity();
    t0 = Clock::now();
    CQXArchive load(ram.GetHandle(), CQXArchive::MODE_LOAD, bufferSize);
    if (loadRecords(load, records) == 0)
        std::abort();
    f.load = seconds(t0);
    return f;
}

Figures throughFile(const QString &path, std::size_t records, std::uint32_t bufferSize = kBufferSize)
{
    Figures f;
    auto t0 = Clock::now();
    {
        CQXArchive store(path, CQXArchive::MODE_STORE, bufferSize);
        storeRecords(store, records);
        f.store = seconds(t0);   // the close syncs the file to disk; the plain write does not
    }
    t0 = Clock::now();
    CQXArchive load(path, CQXArchive::MODE_LOAD, bufferSize);
    if (loadRecords(load, records) == 0)
        std::abort();
    f.load = seconds(t0);
    return f;
}

Figures plainMemcpy(const std::vector<std::uint8_t> &bytes)
{
    Figures f;
    auto t0 = Clock::now();
    std::unique_ptr<std::uint8_t[]> target(new std::uint8_t[bytes.size()]);
    std::memcpy(target.get(), bytes.data(), bytes.size());
    f.store = seconds(t0);
    t0 = Clock::now();
    std::unique_ptr<std::uint8_t[]> back(new std::uint8_t[bytes.size()]);
    std::memcpy(back.get(), target.get(), bytes.size());
    f.load = seconds(t0);
    if (back[bytes.size() / 2] != bytes[bytes.size() / 2])
        std::abort();
    return f;
}

Figures plainWrite(const QString &path, const std::vector<std::uint8_t> &bytes)
{
    Figures f;
    const QByteArray name = path.toLocal8Bit();
    auto t0 = Clock::now();
    int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
        std::abort();
    ::close(fd);
    f.store = seconds(t0);
    t0 = Clock::now();
    std::unique_ptr<std::uint8_t[]> back(new std::uint8_t[bytes.size()]);
    fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0 || ::read(fd, back.get(), bytes.size()) != ssize_t(bytes.size()))
        std::abort();
    ::close(fd);
    f.load = seconds(t0);
    return f;
}

template <class F>
Figures best(int runs, F &&f)
{
    Figures b;
    b.store = b.load = 1e9;
    for (int i = 0; i < runs; ++i) {
        const Figures x = f();
        b.store = std::min(b.store, x.store);
        b.load = std::min(b.load, x.load);
        b.length = x.length;
        b.capacity = x.capacity;
    }
    return b;
}

void row(const char *what, double mb, const Figures &f, const Figures &plain)
{
    std::printf("%-22s store %7.1f MB/s  load %7.1f MB/s   (store %.2fx, load %.2fx the plain copy)\n", what,
                mb / f.store, mb / f.load, f.store / plain.store, f.load / plain.load);
}

}   // namespace

int main()
{
    InitStreamLayer();
    QTemporaryDir dir;
    const std::size_t records = 50'000'000 / kRecordBytes;
    const double mb = double(records * kRecordBytes) / 1e6;
    const std::vector<std::uint8_t> bytes(records * kRecordBytes, 0x5A);
    const QString archivePath = dir.filePath(QStringLiteral("archive.bin"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.bin"));

    const Figures memcpyFig = best(3, [&] { return plainMemcpy(bytes); });
    const Figures writeFig = best(3, [&] { return plainWrite(plainPath, bytes); });
    const Figures ram = best(3, [&] { return throughRam(records); });
    const Figures file = best(3, [&] { return throughFile(archivePath, records); });
    const Figures fileLarge = best(3, [&] { return throughFile(archivePath, records, CQXArchive::kFileBufferSize); });

    std::printf("%.1f MB of mixed primitives (%zu records of %zu bytes), archive buffer %u bytes\n", mb, records,
                kRecordBytes, kBufferSize);
    std::printf("%-22s store %7.1f MB/s  load %7.1f MB/s\n", "plain memcpy", mb / memcpyFig.store, mb / memcpyFig.load);
    std::printf("%-22s store %7.1f MB/s  load %7.1f MB/s\n", "plain write()/read()", mb / writeFig.store,
                mb / writeFig.load);
    row("archive on RAM stream", mb, ram, memcpyFig);
    row("archive on file stream", mb, file, writeFig);
    row("  with a 64 KiB buffer", mb, fileLarge, writeFig);

    // Growth of a RAM file stays linear: the cost per MB does not rise with the size.
    std::printf("RAM file growth: %u bytes held in a capacity of %u\n", ram.length, ram.capacity);
    for (std::size_t part : {8, 4, 2, 1}) {
        const Figures f = best(3, [&] { return throughRam(records / part); });
        std::printf("  store %5.1f MB: %6.2f ms per MB\n", mb / double(part), 1000 * f.store / (mb / double(part)));
    }
    ShutdownStreamLayer();
    return 0;
}
