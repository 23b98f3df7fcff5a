#include "project/projectfile.h"

#include "streamio/archive.h"

using namespace StreamIO;

namespace {

// The version is stored as text "A.B.C.D" of its four 16-bit parts.
QString versionText(CVersion v)
{
    return v.toString(CVersion::Style::FourParts);
}

[[noreturn]] void formatError(const CQXArchive &ar)
{
    throw StreamError(ERR_INVALID_DATA, ar.GetStreamName());
}

}   // namespace

void CVetraData::Store(CQXArchive &ar, const Selection *selection) const
{
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        if (!selection || (i < selection->size() && (*selection)[i]))
            ++count;
    ar.PutU32(count);
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        if (selection && !(i < selection->size() && (*selection)[i]))
            continue;
        const object_t &o = *m_objects[i];
        ar.PutString(versionText(o.version));
        ar.PutU8(o.rawDefaultBarDiameter);
        ar.PutString(o.deviceName);
        ar.PutString(o.serialNumber);
        ar.PutString(o.softwareVersion);
        ar.PutString(o.hardwareIndex);
        ar.PutString(o.signature);
        ar.PutU8(o.neighborCorrection);
        ar.PutU16(o.objectNumber);
        ar.PutString(o.comment);
        ar.PutString(o.objectName);
        ar.PutU8(o.regional);
        ar.PutU8(o.storageMode);
        ar.PutU64(std::uint64_t(o.timeStamp));
        ar.PutU32(std::uint32_t(o.measurements.size()));
        // MEAS_T is the stored triple (number, cover, raw diameter), byte for byte.
        ar.PutBytes(o.measurements.data(), std::uint32_t(3 * o.measurements.size()));
        ar.PutU16(std::uint16_t(o.diagramOrder));
        ar.PutU32(o.expanded ? 1 : 0);
        ar.PutU8(m_sortMode);
    }
}

void CVetraData::Load(CQXArchive &ar)
{
    const std::uint32_t count = ar.GetU32();
    const bool hadObjects = !m_objects.empty();
    // Reused across records: the version text is parsed and dropped, and the
    // instrument texts are mostly those of the record before, which are then
    // shared instead of allocated again.
    QString scratch;
    const object_t *previous = nullptr;
    auto readShared = [&](QString object_t::*field, object_t &o) {
        ar.GetString(scratch);
        if (previous && previous->*field == scratch)
            o.*field = previous->*field;
        else
            o.*field = QString(scratch.constData(), scratch.size());
    };
    // No reservation from the stored count: a damaged file must not make us
    // allocate memory that the data never fills.
    for (std::uint32_t i = 0; i < count; ++i) {
        // Joins the list only once read whole: a file that ends inside an
        // object keeps the objects before it, never a half-read one.
        auto read = std::make_unique<object_t>();
        object_t &o = *read;
        ar.GetString(scratch);
        o.version = CVersion::Parse(scratch);
        o.rawDefaultBarDiameter = ar.GetU8();
        readShared(&object_t::deviceName, o);
        readShared(&object_t::serialNumber, o);
        readShared(&object_t::softwareVersion, o);
        readShared(&object_t::hardwareIndex, o);
        readShared(&object_t::signature, o);
        o.neighborCorrection = ar.GetU8();
        o.objectNumber = ar.GetU16();
        ar.GetString(o.comment);
        ar.GetString(o.objectName);
        o.regional = ar.GetU8();
        o.storageMode = ar.GetU8();
        o.timeStamp = std::int64_t(ar.GetU64());
        const std::uint32_t measurements = ar.GetU32();
        if (measurements > std::uint32_t(kMaxMeasurements))
            formatError(ar);
        o.measurements.resize(measurements);
        ar.GetBytes(o.measurements.data(), std::uint16_t(3 * measurements));
        o.diagramOrder = std::int16_t(ar.GetU16());
        o.expanded = ar.GetU32() != 0;
        m_sortMode = ar.GetU8();
        o.selected = hadObjects;
        m_objects.push_back(std::move(read));
        previous = &o;
    }
}

void WriteProjectFile(const CVetraData &originals, const CVetraData &current, CQXArchive &ar,
                      const Selection *selection, const ProgramVersion &version)
{
    ar.PutString(kProjectFileTitle);
    for (std::uint16_t part : version)
        ar.PutU16(part);
    ar.PutU16(kProjectFormatVersion);
    ar.PutU32(selection ? 0 : 1);
    if (!selection)
        originals.Store(ar, nullptr);
    ar.PutU32(1);
    current.Store(ar, selection);
    for (int i = 0; i < kReservedWords; ++i)
        ar.PutU32(0);
}

void ReadProjectFile(CVetraData &originals, CVetraData &current, CQXArchive &ar)
{
    if (ar.GetString() != kProjectFileTitle)
        formatError(ar);
    for (int i = 0; i < 4; ++i)
        ar.GetU16();
    ar.GetU16();
    if (ar.GetU32() != 0)
        originals.Load(ar);
    if (ar.GetU32() != 0)
        current.Load(ar);
}
