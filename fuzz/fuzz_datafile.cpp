// Data files come from instruments, other programs and users' editors.
#include "data/datafile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const QList<TVetraObject> objects = ParseCsvText(DecodeDataFileBytes(bytes));
        // What was read must be writable and readable again without faults.
        for (const TVetraObject &o : objects) {
            TVetraObject again;
            ParseDataFile(FormatDataFile(o), again);
        }
    } catch (const DataFileError &) {
        // An out-of-range date is a reported failure, not a fault.
    }
    return 0;
}
