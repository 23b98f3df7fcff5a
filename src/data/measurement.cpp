#include "data/measurement.h"

#include <ctime>

namespace {
template <class To, class From>
void copyFields(To &to, const From &from)
{
    to.version = from.version;
    to.deviceName = from.deviceName;
    to.softwareVersion = from.softwareVersion;
    to.serialNumber = from.serialNumber;
    to.hardwareIndex = from.hardwareIndex;
    to.signature = from.signature;
    to.regional = from.regional;
    to.storageMode = from.storageMode;
    to.rawDefaultBarDiameter = from.rawDefaultBarDiameter;
    to.neighborCorrection = from.neighborCorrection;
    to.comment = from.comment;
    to.objectName = from.objectName;
    to.timeStamp = from.timeStamp;
    to.objectNumber = from.objectNumber;
    to.measurements.clear();
    to.measurements.reserve(from.measurements.size());
    for (const auto &m : from.measurements)
        to.measurements.push_back({m.number, m.cover, m.rawDiameter});
}
}   // namespace

object_t ToProjectObject(const TVetraObject &source, bool added)
{
    object_t o;
    copyFields(o, source);
    o.selected = added;
    if (o.timeStamp == 0)
        o.timeStamp = std::int64_t(std::time(nullptr));
    return o;
}

TVetraObject ToTransferObject(const object_t &source)
{
    TVetraObject t;
    copyFields(t, source);
    return t;
}
