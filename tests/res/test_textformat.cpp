#include "res/textformat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {
std::string F(QStringView format, std::initializer_list<Res::FormatArg> args)
{
    return Res::Format(format, args).toStdString();
}
}   // namespace

TEST(TextFormat, Integers)
{
    EXPECT_EQ(F(u"%03d|%03d|%03d", {7, 65535, -5}), "007|65535|-05");
    EXPECT_EQ(F(u"%2d|%-4d|%+d|% d|%.3d|%.0d|", {3, 3, 5, 5, 5, 0}), " 3|3   |+5| 5|005||");
    EXPECT_EQ(F(u"%*d|%*d", {5, 42, -5, 42}), "   42|42   ");
    EXPECT_EQ(F(u"%x %X %#x %o %ld %hd %lld", {255, 255, 255, 8, 1, 2, 3}), "ff FF 0xff 10 1 2 3");
    // Unsigned conversions of a negative int use 32 bits unless the format asks for 64.
    EXPECT_EQ(F(u"%u %x %I64x", {-1, -1, -1}), "4294967295 ffffffff ffffffffffffffff");
    EXPECT_EQ(F(u"%I64d.%I64d", {std::uint64_t(1), std::uint64_t(0)}), "1.0");
    EXPECT_EQ(F(u"%I64d %I64d", {std::numeric_limits<std::uint64_t>::max(), std::numeric_limits<std::int64_t>::min()}),
              "18446744073709551615 -9223372036854775808");
}

TEST(TextFormat, FloatingPoint)
{
    EXPECT_EQ(F(u"%0.*f %s", {2, 35 / 25.4, QStringLiteral("inch")}), "1.38 inch");
    EXPECT_EQ(F(u"%0.*f %s|%0.*f", {0, 35.0, QStringLiteral("mm"), 3, 0.8267716}), "35 mm|0.827");
    EXPECT_EQ(F(u"%0.0f|%4.2f|%5.1f|%-6.1f|%05.1f|%+.1f", {16.0, 0.5, 3.14159, 3.14159, -3.14159, 2.26}),
              "16|0.50|  3.1|3.1   |-03.1|+2.3");
    EXPECT_EQ(F(u"%f %e %E", {1.5, 12345.678, 0.00012}), "1.500000 1.234568e+04 1.200000E-04");
    EXPECT_EQ(F(u"%g %g %g %g", {0.0001, 1e-5, 100000.0, 1e6}), "0.0001 1e-05 100000 1e+06");
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(F(u"%f %F %0.1f", {inf, inf, 2}), "inf INF 2.0");
}

TEST(TextFormat, TextAndLiterals)
{
    EXPECT_EQ(F(u"%s/%S|%5s|%-5s|%.2s", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("ab"),
                                         QStringLiteral("ab"), QStringLiteral("abcdef")}),
              "a/b|   ab|ab   |ab");
    EXPECT_EQ(F(u"%c%c 100%% done", {65, 0x42}), "AB 100% done");
    EXPECT_EQ(Res::Format(u"%s", {QStringLiteral("\u0141\u00e9")}), QStringLiteral("\u0141\u00e9"));
    // Incomplete and unknown conversions print as they stand.
    EXPECT_EQ(F(u"%q%d 50%", {4}), "%q4 50%");
}

// Format texts may come from a language library, so a wrong or missing
// argument must never read garbage.
TEST(TextFormat, MissingAndMismatchedArgumentsAreHarmless)
{
    EXPECT_EQ(F(u"%d and %s", {}), " and ");
    EXPECT_EQ(F(u"[%d][%f][%c]", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}), "[][][]");
    EXPECT_EQ(F(u"[%0.*f][%0.*f]", {2}), "[][]");
    EXPECT_EQ(F(u"%s %d %d", {42, 1, 2, 3}), "42 1 2");
    EXPECT_EQ(F(u"%f", {std::numeric_limits<double>::max()}).substr(0, 4), "1797");
}
