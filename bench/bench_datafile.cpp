// Data-file reader throughput against a plain split of the same bytes.
//
// Generates 5000 objects of 99 measurements, writes them as one data file and
// reads it back several times; prints MB/s and objects/s of the reader and of
// a pass that only splits the bytes at ';' and line ends, and their ratio.
#include "benchobjects.h"
#include "data/datafile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

QList<TVetraObject> makeObjects(int count)
{
    QList<TVetraObject> objects;
    objects.reserve(count);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int i = 0; i < count; ++i) {
        TVetraObject o = Bench::MakeObject(i, 99, [&](int, int) { return next() % 200 + 5; });
        for (TMeas &m : o.measurements)
            m.rawDiameter = std::uint8_t(next() % 61);
        o.neighborCorrection = std::uint8_t((i % 3) * 30);
        o.comment = QStringLiteral("Site inspection, level %1\r\nsecond line & more").arg(i % 7);
        o.timeStamp = 1767225600 + std::int64_t(i) * 3607;
        o.objectNumber = std::uint16_t(i % 500);
        objects.append(std::move(o));
    }
    return objects;
}

// The baseline: read the file and split it into fields at ';', CR and LF.
std::size_t plainSplit(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = f.readAll();
    std::size_t fields = 0, fieldChars = 0;
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    const char *start = p;
    for (; p < end; ++p) {
        if (*p == ';' || *p == '\n' || *p == '\r') {
            if (p > start) {
                ++fields;
                fieldChars += std::size_t(p - start);
            }
            start = p + 1;
        }
    }
    return fields + (fieldChars & 1);
}

}   // namespace

int main()
{
    constexpr int kObjects = 5000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.csv"));
    {
        const QList<TVetraObject> objects = makeObjects(kObjects);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        const QString separator = DataFileSeparator();
        for (int i = 0; i < objects.size(); ++i) {
            if (i)
                f.write(EncodeDataFileText(separator));
            f.write(EncodeDataFileText(FormatDataFile(objects[i])));
        }
    }
    const double mb = double(QFileInfo(path).size()) / 1e6;

    std::size_t read = 0, fields = 0;
    const double reader = Bench::BestSeconds(5, [&] { read = std::size_t(ReadCsvFile(path).size()); });
    const double split = Bench::BestSeconds(5, [&] { fields = plainSplit(path); });
    if (read != kObjects) {
        std::fprintf(stderr, "reader returned %zu objects, expected %d\n", read, kObjects);
        return 1;
    }

    std::printf("data file: %d objects x 99 measurements, %.1f MB\n", kObjects, mb);
    std::printf("reader:      %8.1f MB/s  %9.0f objects/s\n", mb / reader, kObjects / reader);
    std::printf("plain split: %8.1f MB/s  %9.0f objects/s  (%zu fields)\n", mb / split, kObjects / split, fields);
    std::printf("ratio reader/plain split: %.2f\n", reader / split);
    return 0;
}
