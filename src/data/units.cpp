#include "data/units.h"

#include "data/scan.h"
#include "res/resources.h"

#include <array>
#include <cmath>

namespace {

struct RegionalInfo
{
    Res::StrId text;
    Res::StrId unit;
    const std::array<std::uint8_t, 61> *barSizes;
};

// Expands "first code of each range → size" into a 61-entry table.
struct Range
{
    int firstCode;
    std::uint8_t size;
};
template <std::size_t N>
constexpr std::array<std::uint8_t, 61> makeTable(const Range (&ranges)[N])
{
    std::array<std::uint8_t, 61> t{};
    for (std::size_t r = 0; r < N; ++r) {
        const int end = r + 1 < N ? ranges[r + 1].firstCode : 61;
        for (int c = ranges[r].firstCode; c < end; ++c)
            t[std::size_t(c)] = ranges[r].size;
    }
    return t;
}

constexpr Range kMetricRanges[] = {{0, 0},   {1, 5},   {6, 6},   {7, 7},   {8, 8},   {9, 9},   {10, 10},
                                   {11, 11}, {12, 12}, {14, 14}, {16, 16}, {18, 18}, {20, 20}, {22, 22},
                                   {24, 25}, {27, 28}, {31, 32}, {35, 36}, {39, 40}, {43, 44}, {48, 50}};
constexpr Range kAstmRanges[] = {{0, 0},   {1, 2},   {9, 3},   {12, 4},  {15, 5},  {18, 6},  {21, 7},  {24, 8}, {28, 9},
                                 {31, 10}, {34, 11}, {37, 12}, {40, 13}, {43, 14}, {47, 15}, {50, 16}, {55, 18}};
constexpr Range kJapaneseRanges[] = {{0, 0},   {1, 6},   {8, 9},   {10, 10}, {12, 13}, {15, 16},
                                     {18, 19}, {21, 22}, {24, 25}, {28, 29}, {31, 32}, {34, 35},
                                     {37, 38}, {40, 41}, {43, 44}, {47, 48}, {50, 51}, {55, 57}};

constexpr auto kMetricSizes = makeTable(kMetricRanges);
constexpr auto kAstmSizes = makeTable(kAstmRanges);
constexpr auto kJapaneseSizes = makeTable(kJapaneseRanges);

constexpr RegionalInfo kRegionals[] = {
    {Res::IDS_REGIONAL_METRIC, Res::IDS_UNIT_MM, &kMetricSizes},
    {Res::IDS_REGIONAL_ASTM_INCH, Res::IDS_UNIT_INCH, &kAstmSizes},
    {Res::IDS_REGIONAL_ASTM_MM, Res::IDS_UNIT_MM, &kAstmSizes},
    {Res::IDS_REGIONAL_JAPANESE, Res::IDS_UNIT_MM, &kJapaneseSizes},
};

// Decimals per value kind 0..4: ASTM inch, then the millimetre settings.
constexpr int kInchDecimals[] = {3, 2, 2, 1, 3};
constexpr int kMmDecimals[] = {1, 0, 0, 0, 1};

constexpr double kCorrectionInches[14] = {0.0, 0.0, 0.0, 0.0, 0.0, 2.0, 2.4, 2.8, 3.2, 3.6, 4.0, 4.4, 4.8, 5.2};

const RegionalInfo *info(std::uint8_t regional)
{
    return regional < std::size(kRegionals) ? &kRegionals[regional] : nullptr;
}

// printf "%d"-style truncation toward zero of a double into int, clamped so
// that absurd inputs cannot overflow.
int truncClamp(double v)
{
    if (!(v > -2147483648.0))
        return INT32_MIN;
    if (!(v < 2147483647.0))
        return INT32_MAX;
    return int(v);
}

}   // namespace

bool IsKnownRegional(std::uint8_t regional)
{
    return info(regional) != nullptr;
}

QString GetRegionalText(std::uint8_t regional)
{
    const RegionalInfo *i = info(regional);
    return Res::LoadString(i ? i->text : Res::IDS_REGIONAL_UNKNOWN);
}

QString GetUnitText(std::uint8_t regional)
{
    const RegionalInfo *i = info(regional);
    return i ? Res::LoadString(i->unit) : QString();
}

QString GetStorageModeText(std::uint8_t storageMode)
{
    switch (storageMode) {
    case Storage_Manual: return Res::LoadString(Res::IDS_STORAGE_MANUAL);
    case Storage_Auto: return Res::LoadString(Res::IDS_STORAGE_AUTO);
    default: return {};
    }
}

QString NotAvailableText()
{
    return Res::LoadString(Res::IDS_NOT_AVAILABLE);
}

int GetDecimals(std::uint8_t regional, int kind)
{
    if (!IsKnownRegional(regional) || kind < 0 || kind > Kind_StdDev)
        return 0;
    return regional == Regional_AstmInch ? kInchDecimals[kind] : kMmDecimals[kind];
}

int LookupBarSize(std::uint8_t regional, int code)
{
    const RegionalInfo *i = info(regional);
    if (!i || code < 0 || code > 60)
        return 0;
    return (*i->barSizes)[std::size_t(code)];
}

double NeighborCorrectionInches(int millimetres)
{
    const int index = millimetres / 10;
    return (index >= 0 && index <= 13) ? kCorrectionInches[index] : 0.0;
}

QString FormatCoverValue(std::uint8_t regional, std::uint8_t cover)
{
    if (cover == kNoCover)
        return NotAvailableText();
    const bool inch = regional == Regional_AstmInch;
    return Res::Format(u"%0.*f %s", {inch ? 2 : 0, inch ? cover / kMmPerInch : double(cover), GetUnitText(regional)});
}

QString FormatBarDiameter(std::uint8_t regional, int code)
{
    const int size = LookupBarSize(regional, code);
    if (size == 0)
        return NotAvailableText();
    const QString number = Res::Format(u"%0.0f", {double(size)});
    if (regional == Regional_AstmInch || regional == Regional_AstmMm)
        return u'#' + number;
    return number + u' ' + Res::LoadString(Res::IDS_UNIT_MM);
}

QString FormatNeighborCorrection(std::uint8_t regional, int millimetres)
{
    if (millimetres == 0)
        return QStringLiteral("-");
    if (regional == Regional_AstmInch)
        return Res::Format(u"%0.*f %s", {1, NeighborCorrectionInches(millimetres), GetUnitText(regional)});
    return Res::Format(u"%0.*f %s", {0, double(millimetres), GetUnitText(regional)});
}

bool ContainsNotAvailable(QStringView text)
{
    // Tokens are short; a plain scan beats a general substring search here.
    for (qsizetype i = 0; i + 2 < text.size(); ++i)
        if (text[i] == u'n' && text[i + 1] == u'/' && text[i + 2] == u'a')
            return true;
    return false;
}

int ParseCover(std::uint8_t regional, QStringView text)
{
    if (ContainsNotAvailable(text))
        return kNoCover;
    if (regional == Regional_AstmInch) {
        float x = 0;
        if (!Scan::ToFloat(text, x) || std::isnan(x) || x > 10.04)
            return -1;
        return truncClamp(x * kMmPerInch + 0.5);
    }
    std::int64_t v = 0;
    if (!Scan::ToInt(text, v) || v > 255)
        return -1;
    return v < INT32_MIN ? INT32_MIN : int(v);
}

int ParseNeighborCorrection(std::uint8_t regional, QStringView text)
{
    if (text.contains(u'-'))
        return 0;
    if (regional == Regional_AstmInch) {
        float x = 0;
        if (!Scan::ToFloat(text, x) || std::isnan(x) || x > 5.2)
            return -1;
        if (x < 2.0)
            return 0;
        return int(std::floor(double(x) * 25.0 + 0.5));
    }
    std::int64_t v = 0;
    if (!Scan::ToInt(text, v) || v > 150)
        return -1;
    return v < INT32_MIN ? INT32_MIN : int(v);
}
