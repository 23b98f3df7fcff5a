#pragma once
// scanf-style number readers over UTF-16 text ("%d", "%I64d", "%f"), without
// the C library's locale and overflow pitfalls: the decimal point is always
// ".", and integers saturate instead of overflowing.

#include <QStringView>

#include <cstdint>

namespace Scan {

bool IsSpace(QChar c);

// Reads an integer at `pos` (leading white space skipped, optional sign).
// On success `pos` moves past the digits. Values beyond 64 bits saturate.
bool ReadInt(QStringView text, qsizetype &pos, std::int64_t &value);

// Reads a decimal floating-point number at `pos` like "%f" into a float:
// white space skipped, optional sign, digits with an optional point and
// exponent, or "inf"/"nan".
bool ReadFloat(QStringView text, qsizetype &pos, float &value);

// Whole-token conveniences: the number at the start, trailing text ignored.
inline bool ToInt(QStringView text, std::int64_t &value)
{
    qsizetype pos = 0;
    return ReadInt(text, pos, value);
}
inline bool ToFloat(QStringView text, float &value)
{
    qsizetype pos = 0;
    return ReadFloat(text, pos, value);
}

}   // namespace Scan
