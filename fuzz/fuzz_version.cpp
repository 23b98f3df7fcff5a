// Version texts come from data files and from installer names on the server.
#include "data/version.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const CVersion v = CVersion::Parse(text);
    for (auto style :
         {CVersion::Style::Whole, CVersion::Style::TwoParts, CVersion::Style::ThreeParts, CVersion::Style::FourParts})
        (void)v.toString(style);
    // The four-part text of any version reads back as the same version.
    if (CVersion::Parse(v.toString(CVersion::Style::FourParts)) != v)
        __builtin_trap();
    (void)CVersion::FromInstallerName(text);
    return 0;
}
