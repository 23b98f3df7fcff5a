// Project files come from disk, from other program versions and from users.
#include "project/projectfile.h"
#include "streamio/archive.h"
#include "streamio/ramstream.h"
#include "streamio/streamtable.h"

#include <cstddef>
#include <cstdint>

using namespace StreamIO;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    InitStreamLayer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CVetraData originals, current;
    try {
        CRamStream stream;
        stream.Open(QStringLiteral("RAM:fuzz"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
        stream.Write(data, int(size));
        CQXArchive archive(stream.GetHandle(), CQXArchive::MODE_LOAD);
        ReadProjectFile(originals, current, archive);
    } catch (const StreamError &) {
        // Damaged files are refused with a stream error; the objects read so far stay.
    }
    for (int i = 0; i < current.GetCount(); ++i)
        if (current.GetObject(i).measurements.size() > std::size_t(kMaxMeasurements))
            __builtin_trap();
    return 0;
}
