#pragma once
// CFileVersionInfo: what a program or language library declares about itself
// — a fixed part (file and product version, four 16-bit parts each) and the
// thirteen version strings of the translation chosen for the user.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

class CFileVersionInfo
{
public:
    enum NString : int {
        CompanyName,
        FileDescription,
        FileVersion,
        InternalName,
        LegalCopyright,
        OriginalFileName,
        ProductName,
        ProductVersion,
        Comments,
        LegalTrademarks,
        PrivateBuild,
        SpecialBuild,
        RequiredOSVersion,
        StringCount
    };
    static constexpr int kFixedSize = 52;

    // A language library; false when it declares no version information (or
    // is not a library at all).
    bool ReadFromFile(const QString &path);
    // The running program's own information (compiled in).
    bool ReadFromModule();
    // The declaration itself ("version.json" of a library).
    bool ReadFromDeclaration(const QByteArray &json);
    void Clear();

    // A non-empty FileVersion string marks a record that holds information.
    bool HasInfo() const { return !m_strings[FileVersion].isEmpty(); }
    // i = 3 gives a, 2 b, 1 c, 0 d of a.b.c.d.
    std::uint16_t GetProductVersionPart(int i) const { return part(m_product, i); }
    std::uint16_t GetFileVersionPart(int i) const { return part(m_file, i); }
    const QString &String(NString which) const { return m_strings[which]; }
    const QString &GetInternalName() const { return m_strings[InternalName]; }
    const QString &GetOriginalFileName() const { return m_strings[OriginalFileName]; }
    const QString &GetProductName() const { return m_strings[ProductName]; }
    const QString &GetProductVersion() const { return m_strings[ProductVersion]; }
    // The same major and minor product version as `other`.
    bool SameMajorMinor(const CFileVersionInfo &other) const;
    QString ProductVersionText() const;   // "a.b.c.d" of the fixed part

    static const char *const kStringNames[StringCount];
    // The user's language as a 16-bit language id (0x0407 German, 0x0409 English, ...).
    static std::uint16_t UserLanguage();

private:
    static std::uint16_t part(std::uint64_t v, int i) { return std::uint16_t(v >> (16 * (i & 3))); }

    std::uint64_t m_file = 0;
    std::uint64_t m_product = 0;
    std::array<QString, StringCount> m_strings;
};
