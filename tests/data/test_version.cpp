#include "data/version.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint64_t V(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0, std::uint64_t d = 0)
{
    return a << 48 | b << 32 | c << 16 | d;
}
constexpr std::uint64_t V2(std::uint64_t a, std::uint64_t b)
{
    return a << 32 | b;
}
constexpr std::uint64_t kMax = ~std::uint64_t(0);
}   // namespace

TEST(Version, ParseForms)
{
    const std::pair<const char16_t *, std::uint64_t> cases[] = {
        {u"1.0", V2(1, 0)},
        {u"1,5", V2(1, 5)},
        {u" 1 . 2 ", V2(1, 2)},
        {u"4294967295.4294967295", kMax},
        {u"4294967296.0", 0},
        {u"-1.0", 0},
        {u"1.2rc", V2(1, 2)},
        {u"1.0.2", V(1, 0, 2)},
        {u"1.0.2.0", V(1, 0, 2)},
        {u"1.2.3.4", V(1, 2, 3, 4)},
        {u"65535.65535.65535.65535", kMax},
        {u"1.65536.0", 0},
        {u"1.0.65536", 0},
        {u"1.2.3.-4", 0},
        {u"1.2.3.4.5", V(1, 2, 3, 4)},
        // One number: the value itself, for texts of at most 19 characters.
        {u"42", 42},
        {u"1234567890123456789", 1234567890123456789u},
        {u"12345678901234567890", 0},
        {u"-1", kMax},
        {u"3.x", 3},
        {u"", 0},
        {u"abc", 0},
        {u".5", 0}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(CVersion::Parse(QStringView(text)).value(), value) << QStringView(text).toString().toStdString();
}

TEST(Version, FromInstallerName)
{
    const std::pair<const char16_t *, std::uint64_t> cases[] = {
        {u"Vetradesk_V_1_0_2_0.exe", V(1, 0, 2)},
        {u"Vetradesk_V_1_1.exe", V2(1, 1)},
        {u"Vetradesk_V_1_0_2_0_V_9.exe", V(1, 0, 2)},
        {u"Vetradesk_V_1_0_2_0.EXE", 0},
        {u"Vetradesk_V_1_0_2_0.exe.txt", 0},
        {u"Vetradesk_1_0_2_0.exe", 0},
        {u"Setup.2_V_1_0_2_0.exe", 0},
        {u"_V_.exe", 0},
        {u"a.exe", 0},
        // A negative single number is no version, not the highest one.
        {u"Vetradesk_V_-1.exe", 0},
        {u"Vetradesk_V_ -7.exe", 0},
        {u"Vetradesk_V_1_-1_0_0.exe", 0}};
    for (const auto &[name, value] : cases)
        EXPECT_EQ(CVersion::FromInstallerName(QStringView(name)).value(), value)
            << QStringView(name).toString().toStdString();
}

TEST(Version, ToStringStylesAndOrder)
{
    using S = CVersion::Style;
    const CVersion v(V(1, 0, 2, 7));
    EXPECT_EQ(v.toString(S::ThreeParts), QStringLiteral("1.0.2"));
    EXPECT_EQ(v.toString(S::FourParts), QStringLiteral("1.0.2.7"));
    EXPECT_EQ(v.toString(S::TwoParts), QStringLiteral("65536.131079"));
    EXPECT_EQ(v.toString(S::Whole), QString::number(V(1, 0, 2, 7)));
    EXPECT_EQ(CVersion(V2(1, 0)).toString(S::TwoParts), QStringLiteral("1.0"));
    // Versions are unsigned everywhere, also in the whole-value style.
    EXPECT_EQ(CVersion(kMax).toString(S::Whole), QStringLiteral("18446744073709551615"));
    EXPECT_EQ(CVersion(kMax).toString(S::TwoParts), QStringLiteral("4294967295.4294967295"));
    EXPECT_EQ(CVersion(kMax).toString(S::FourParts), QStringLiteral("65535.65535.65535.65535"));
    for (std::uint64_t value : {V(0, 0, 0, 1), V(1, 0, 2), V(65535, 1, 65535, 0)})
        EXPECT_EQ(CVersion::Parse(CVersion(value).toString(S::FourParts)).value(), value);

    EXPECT_LT(CVersion::Parse(u"1.0.2"), CVersion::Parse(u"1.0.10"));
    EXPECT_LT(CVersion(1), CVersion(kMax));
}
