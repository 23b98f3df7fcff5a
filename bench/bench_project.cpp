// Project files at scale: save and load a project of 100 000 objects with 50
// measurements each, deep-copy it (CopyFrom), and run the synchronisation
// search of 549 downloaded objects against it. Loading is compared with
// reading the same file's bytes into memory.
#include "benchobjects.h"
#include "project/vetradoc.h"
#include "streamio/archive.h"
#include "streamio/streamtable.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

using namespace StreamIO;

namespace {

using Clock = std::chrono::steady_clock;

TVetraObject makeObject(int i)
{
    TVetraObject o = Bench::MakeObject(i, 50, [](int n, int m) { return (n * 7 + m * 13) % 200 + 5; });
    o.comment = (i % 5 == 0) ? QStringLiteral("Checked twice, see report") : QString();
    o.timeStamp = 1767225600 + std::int64_t(i) * 61;
    o.objectNumber = std::uint16_t(i % 500);
    return o;
}

// The best of `runs` timings of `f`; `f` may return something to be
// destroyed after the clock stopped (a loaded project, a copy).
template <class F>
double bestOf(int runs, F &&f)
{
    double best = 1e9;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = Clock::now();
        auto keep = f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
        (void)keep;
    }
    return best;
}

}   // namespace

int main()
{
    InitStreamLayer();
    constexpr int kObjects = 100'000;
    constexpr int kIncoming = 549;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.qxs"));

    QList<TVetraObject> objects;
    objects.reserve(kObjects);
    for (int i = 0; i < kObjects; ++i)
        objects.append(makeObject(i));

    Bench::CQuietUi ui;
    CVetraDoc doc(ui);
    doc.AddObjects(objects, false, false);

    const double save = bestOf(3, [&] { return doc.SaveToPath(path); });
    const double mb = double(QFileInfo(path).size()) / 1e6;

    const double readBytes = bestOf(5, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    });
    int loaded = 0;
    const double load = bestOf(5, [&] {
        auto other = std::make_unique<CVetraDoc>(ui);
        other->OpenProject(path, false);
        loaded = other->Current().GetCount();
        return other;
    });
    if (loaded != kObjects)
        return 1;

    const double copy = bestOf(3, [&] {
        auto copy = std::make_unique<CVetraData>();
        copy->CopyFrom(doc.Current());
        if (copy->GetCount() != kObjects)
            std::abort();
        return copy;
    });

    // The instrument still holds the project's last 300 objects and 249 new ones.
    CVetraData incoming;
    QList<TVetraObject> download;
    for (int i = kObjects - 300; i < kObjects + kIncoming - 300; ++i)
        download.append(makeObject(i));
    incoming.AddTransferObjects(download, false);
    SOverlap overlap;
    const double find = bestOf(5, [&] { return overlap = doc.Current().FindOverlap(incoming); });
    if (overlap.count != 300)
        return 1;

    std::printf("project: %d objects x 50 measurements, file %.1f MB\n", kObjects, mb);
    std::printf("save              %8.1f ms  %7.1f MB/s\n", save * 1e3, mb / save);
    std::printf("read file bytes   %8.1f ms  %7.1f MB/s\n", readBytes * 1e3, mb / readBytes);
    std::printf("load (open)       %8.1f ms  %7.1f MB/s  (%.2fx reading the bytes)\n", load * 1e3, mb / load,
                load / readBytes);
    std::printf("CopyFrom          %8.1f ms  %7.1f MB/s\n", copy * 1e3, mb / copy);
    std::printf("FindOverlap(%d)  %8.2f ms  (overlap of %d found)\n", kIncoming, find * 1e3, overlap.count);
    ShutdownStreamLayer();
    return 0;
}
