#pragma once
// A 64-bit version number read from texts of one to four parts.

#include <QString>
#include <QStringView>

#include <cstdint>

class CVersion
{
public:
    enum class Style {
        Whole,        // "%I64d"               the whole value
        TwoParts,     // "%I64d.%I64d"         upper and lower 32 bits
        ThreeParts,   // "%I64d.%I64d.%I64d"   upper three 16-bit parts
        FourParts,    // all four 16-bit parts
    };

    constexpr CVersion() = default;
    constexpr explicit CVersion(std::uint64_t value) : m_value(value) {}

    // 0 for texts that do not follow one of the forms.
    static CVersion Parse(QStringView text);
    // Version from an installer name such as "Vetradesk_V_1_0_2_0.exe"; 0 otherwise.
    static CVersion FromInstallerName(QStringView fileName);

    constexpr std::uint64_t value() const { return m_value; }
    constexpr bool isNull() const { return m_value == 0; }
    constexpr std::uint16_t part(int index) const   // 0 = most significant
    {
        return std::uint16_t(m_value >> (16 * (3 - index)));
    }

    QString toString(Style style) const;

    friend constexpr auto operator<=>(CVersion, CVersion) = default;

private:
    std::uint64_t m_value = 0;
};
