#include "data/units.h"
#include "res/textformat.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {
QString S(const char *text)
{
    return QString::fromUtf8(text);
}

// A table as (last code of a range, size), walked from code 1.
void ExpectTable(std::uint8_t regional, const std::vector<std::pair<int, int>> &ranges)
{
    int code = 1;
    for (const auto &[last, size] : ranges)
        for (; code <= last; ++code)
            EXPECT_EQ(LookupBarSize(regional, code), size) << "regional " << int(regional) << " code " << code;
    EXPECT_EQ(code, 61);
    for (int outside : {0, 61, -1, 255})
        EXPECT_EQ(LookupBarSize(regional, outside), 0);
}
}   // namespace

TEST(Units, BarSizeTables)
{
    // clang-format off
    ExpectTable(Regional_Metric, {{5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}, {11, 11}, {13, 12}, {15, 14},
                                  {17, 16}, {19, 18}, {21, 20}, {23, 22}, {26, 25}, {30, 28}, {34, 32}, {38, 36},
                                  {42, 40}, {47, 44}, {60, 50}});
    for (std::uint8_t astm : {Regional_AstmInch, Regional_AstmMm})
        ExpectTable(astm, {{8, 2}, {11, 3}, {14, 4}, {17, 5}, {20, 6}, {23, 7}, {27, 8}, {30, 9}, {33, 10},
                           {36, 11}, {39, 12}, {42, 13}, {46, 14}, {49, 15}, {54, 16}, {60, 18}});
    ExpectTable(Regional_Japanese, {{7, 6}, {9, 9}, {11, 10}, {14, 13}, {17, 16}, {20, 19}, {23, 22}, {27, 25},
                                    {30, 29}, {33, 32}, {36, 35}, {39, 38}, {42, 41}, {46, 44}, {49, 48},
                                    {54, 51}, {60, 57}});
    // clang-format on
    for (int code = 0; code <= 60; ++code)
        EXPECT_EQ(LookupBarSize(255, code), 0);
}

TEST(Units, Decimals)
{
    const int inch[] = {3, 2, 2, 1, 3, 0};
    const int mm[] = {1, 0, 0, 0, 1, 0};
    for (int kind = 0; kind < 6; ++kind) {
        EXPECT_EQ(GetDecimals(Regional_AstmInch, kind), inch[kind]) << kind;
        for (std::uint8_t r : {0, 2, 3})
            EXPECT_EQ(GetDecimals(r, kind), mm[kind]) << int(r) << "/" << kind;
        EXPECT_EQ(GetDecimals(255, kind), 0);
    }
    EXPECT_EQ(GetDecimals(Regional_AstmInch, -1), 0);
}

TEST(Units, ValueTexts)
{
    for (std::uint8_t r : {0, 1, 2, 3, 255})
        EXPECT_EQ(FormatCoverValue(r, 255), S("n/a"));
    EXPECT_EQ(FormatCoverValue(Regional_AstmInch, 35), S("1.38 inch"));
    EXPECT_EQ(FormatCoverValue(Regional_AstmInch, 254), S("10.00 inch"));
    EXPECT_EQ(FormatCoverValue(Regional_Metric, 35), S("35 mm"));
    const TVetraObject o = TestSupport::MakeObject(1, {20, 255}, Regional_AstmMm);
    EXPECT_EQ(FormatCover(o, 0) + u'|' + FormatCover(o, 1), S("20 mm|n/a"));

    const std::pair<std::pair<int, int>, const char *> diameters[] = {
        {{0, 16}, "16 mm"}, {{1, 16}, "#5"}, {{2, 16}, "#5"},  {{3, 16}, "16 mm"}, {{3, 3}, "6 mm"},
        {{2, 60}, "#18"},   {{0, 0}, "n/a"}, {{0, 61}, "n/a"}, {{255, 16}, "n/a"}};
    for (const auto &[in, text] : diameters)
        EXPECT_EQ(FormatBarDiameter(std::uint8_t(in.first), in.second), S(text)) << text;

    const std::pair<std::pair<int, int>, const char *> corrections[] = {
        {{0, 0}, "-"},         {{1, 0}, "-"},          {{0, 50}, "50 mm"},    {{1, 50}, "2.0 inch"},
        {{1, 45}, "0.0 inch"}, {{1, 139}, "5.2 inch"}, {{1, 140}, "0.0 inch"}};
    for (const auto &[in, text] : corrections)
        EXPECT_EQ(FormatNeighborCorrection(std::uint8_t(in.first), in.second), S(text)) << text;

    EXPECT_EQ(GetRegionalText(4), S("Unknown regional setting"));
    EXPECT_EQ(GetUnitText(255) + GetStorageModeText(2), QString());
}

TEST(Units, Parsers)
{
    const std::pair<const char16_t *, int> inchCovers[] = {{u"1.57", 40},   {u"  1.38  ", 35}, {u"10.04", 255},
                                                           {u"10.045", -1}, {u"10.05", -1},    {u"-1", -24},
                                                           {u"n/a", 255},   {u"x", -1}};
    for (const auto &[text, cover] : inchCovers)
        EXPECT_EQ(ParseCover(Regional_AstmInch, text), cover) << cover;
    const std::pair<const char16_t *, int> mmCovers[] = {{u"254", 254}, {u" 35 ", 35},    {u"256", -1}, {u"-5", -5},
                                                         {u"abc", -1},  {u" n/a  ", 255}, {u"12.9", 12}};
    for (const auto &[text, cover] : mmCovers)
        EXPECT_EQ(ParseCover(Regional_Metric, text), cover) << cover;
    EXPECT_LT(ParseCover(Regional_Japanese, u"-99999999999999999999"), 0);

    const std::pair<const char16_t *, int> inchCorrections[] = {
        {u"1.9", 0}, {u"2.0", 50}, {u"2.8", 70}, {u"3.6", 90}, {u"5.2", 130}, {u"5.3", -1}, {u"-", 0}, {u"abc", -1}};
    for (const auto &[text, mm] : inchCorrections)
        EXPECT_EQ(ParseNeighborCorrection(Regional_AstmInch, text), mm) << mm;
    const std::pair<const char16_t *, int> mmCorrections[] = {{u"150", 150}, {u"151", -1}, {u"-5", 0}, {u"", -1}};
    for (const auto &[text, mm] : mmCorrections)
        EXPECT_EQ(ParseNeighborCorrection(Regional_Metric, text), mm) << mm;

    // What the writer prints in inches reads back as the same millimetres.
    for (int cover = 0; cover < 255; ++cover)
        EXPECT_EQ(ParseCover(Regional_AstmInch, Res::Format(u"%4.2f", {cover / 25.4})), cover) << cover;
    for (int mm = 50; mm <= 130; mm += 10)
        EXPECT_EQ(ParseNeighborCorrection(Regional_AstmInch, Res::Format(u"%0.1f", {NeighborCorrectionInches(mm)})),
                  mm);
}
