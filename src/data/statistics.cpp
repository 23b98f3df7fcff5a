#include "data/statistics.h"

#include "data/units.h"

#include <cmath>

template <class Meas>
SStatistics GetStatistics(const ObjectFields<Meas> &object)
{
    SStatistics s;
    s.count = std::int32_t(object.measurements.size());
    std::int64_t n = 0, sum = 0, squares = 0;
    int lo = 255, hi = -1;
    for (const Meas &m : object.measurements) {
        if (m.cover == kNoCover)
            continue;
        ++n;
        sum += m.cover;
        squares += std::int64_t(m.cover) * m.cover;
        lo = std::min<int>(lo, m.cover);
        hi = std::max<int>(hi, m.cover);
    }
    if (n == 0)
        return s;
    s.mean = std::trunc(double(sum) / double(n));
    s.min = lo;
    s.max = hi;
    if (n >= 2) {
        const double variance = double(n * squares - sum * sum) / double(n * (n - 1));
        s.stdDev = std::trunc(std::sqrt(variance));
    }
    if (object.regional == Regional_AstmInch) {
        for (double *v : {&s.mean, &s.min, &s.max, &s.stdDev})
            if (*v != kNoValue)
                *v /= kMmPerInch;
    }
    return s;
}

template <class Meas>
SCoverValue GetCoverValue(const ObjectFields<Meas> &object, int index)
{
    const Meas &m = object.measurements.at(std::size_t(index));
    if (m.cover == kNoCover)
        return {};
    return {object.regional == Regional_AstmInch ? m.cover / kMmPerInch : double(m.cover), true};
}

template <class A, class B>
bool IsSameObject(const ObjectFields<A> &a, const ObjectFields<B> &b)
{
    if (a.rawDefaultBarDiameter != b.rawDefaultBarDiameter || a.objectNumber != b.objectNumber
        || a.serialNumber != b.serialNumber || a.deviceName != b.deviceName || a.hardwareIndex != b.hardwareIndex
        || a.neighborCorrection != b.neighborCorrection || a.storageMode != b.storageMode
        || a.measurements.size() != b.measurements.size())
        return false;
    for (std::size_t i = 0; i < a.measurements.size(); ++i) {
        const auto &x = a.measurements[i];
        const auto &y = b.measurements[i];
        if (x.cover != y.cover || x.rawDiameter != y.rawDiameter || x.number != y.number)
            return false;
    }
    return true;
}

template SStatistics GetStatistics(const ObjectFields<TMeas> &);
template SStatistics GetStatistics(const ObjectFields<MEAS_T> &);
template SCoverValue GetCoverValue(const ObjectFields<TMeas> &, int);
template SCoverValue GetCoverValue(const ObjectFields<MEAS_T> &, int);
template bool IsSameObject(const ObjectFields<TMeas> &, const ObjectFields<TMeas> &);
template bool IsSameObject(const ObjectFields<MEAS_T> &, const ObjectFields<MEAS_T> &);
template bool IsSameObject(const ObjectFields<TMeas> &, const ObjectFields<MEAS_T> &);
template bool IsSameObject(const ObjectFields<MEAS_T> &, const ObjectFields<TMeas> &);

namespace {

template <class T>
int cmp(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

using KeyCompare = int (*)(const object_t &, const object_t &);

// One comparison per key pair; the descending mode of a pair negates it, so
// main and secondary key both run descending.
constexpr KeyCompare kKeys[] = {
    [](const object_t &a, const object_t &b) {
        const int c = cmp(a.objectNumber, b.objectNumber);
        return c ? c : cmp(a.timeStamp, b.timeStamp);
    },
    [](const object_t &a, const object_t &b) {
        const int c = cmp(a.timeStamp, b.timeStamp);
        return c ? c : cmp(a.objectNumber, b.objectNumber);
    },
    [](const object_t &a, const object_t &b) {
        const int c = a.objectName.compare(b.objectName, Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    },
    [](const object_t &a, const object_t &b) { return cmp(GetStatistics(a).min, GetStatistics(b).min); },
    [](const object_t &a, const object_t &b) { return cmp(GetStatistics(a).max, GetStatistics(b).max); },
    [](const object_t &a, const object_t &b) { return cmp(a.regional, b.regional); },
    [](const object_t &a, const object_t &b) { return cmp(a.measurements.size(), b.measurements.size()); },
    [](const object_t &a, const object_t &b) { return cmp(a.storageMode, b.storageMode); },
};
static_assert(std::size(kKeys) * 2 == kSortModeCount);

}   // namespace

bool IsDescendingMode(int sortMode)
{
    return sortMode >= 1 && sortMode <= kSortModeCount && sortMode % 2 == 0;
}

int CompareObjects(int sortMode, const object_t &a, const object_t &b)
{
    if (sortMode < 1 || sortMode > kSortModeCount)
        return 0;
    const int c = kKeys[(sortMode - 1) / 2](a, b);
    return IsDescendingMode(sortMode) ? -c : c;
}
