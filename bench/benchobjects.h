#pragma once
// The objects the benchmarks work on: one instrument's identity and settings
// varied by the object's index, and a document that asks nothing.

#include "data/measurement.h"
#include "project/documentui.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace Bench {

// Object `i` with `measurements` values from `cover(i, m)`.
template <class Cover>
TVetraObject MakeObject(int i, int measurements, Cover &&cover)
{
    TVetraObject o;
    o.version = CVersion(std::uint64_t(1) << 32);
    o.deviceName = QStringLiteral("Vetrameter+");
    o.serialNumber = QStringLiteral("VM-20931");
    o.softwareVersion = QStringLiteral("2.11");
    o.hardwareIndex = QStringLiteral("C");
    o.signature = QStringLiteral("A7E2-0091");
    o.regional = std::uint8_t(i % 4);
    o.storageMode = std::uint8_t(i % 2);
    o.rawDefaultBarDiameter = 16;
    o.objectName = QStringLiteral("Object %1").arg(i);
    for (int m = 1; m <= measurements; ++m)
        o.measurements.push_back({std::uint8_t(m), std::uint8_t(cover(i, m)), std::uint8_t(m % 61)});
    return o;
}

class CQuietUi : public IDocumentUi
{
public:
    SaveAnswer AskSaveChanges() override { return SaveAnswer::No; }
    std::optional<QString> AskSavePath(const QString &) override { return std::nullopt; }
    std::optional<QString> AskOpenPath() override { return std::nullopt; }
    SyncAnswer AskSynchronize(int, int) override { return SyncAnswer::AddNewOnly; }
    void ShowError(const QString &m) override { std::fprintf(stderr, "%s\n", qPrintable(m)); }
};

// The best of `runs` timings of `f`, in seconds.
template <class F>
double BestSeconds(int runs, F &&f)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

}   // namespace Bench
