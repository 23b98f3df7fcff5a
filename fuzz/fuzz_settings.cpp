// The settings file is shared with another program and edited by users.
#include "app/settingsstore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<CSettingsStore::Keys> keys = CSettingsStore::Parse(text);
    // What was read writes out and reads back the same.
    if (keys && CSettingsStore::Parse(CSettingsStore::Serialize(*keys)) != keys)
        __builtin_trap();
    return 0;
}
