// Language libraries are files beside the program that anyone can replace.
#include "app/language.h"
#include "app/resourcebundle.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto files = CResourceBundle::Parse(bytes)) {
        CFileVersionInfo info;
        info.ReadFromDeclaration(files->value(QStringLiteral("version.json")));
        (void)CLanguageLibrary::ParseStrings(files->value(QStringLiteral("strings.txt")));
    }
    (void)CLanguageLibrary::ParseStrings(bytes);
    return 0;
}
