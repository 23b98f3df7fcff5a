#include "data/scan.h"

#include <charconv>
#include <limits>
#include <string>

namespace Scan {

bool IsSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

namespace {
bool isDigit(QStringView t, qsizetype i)
{
    return i < t.size() && t[i].unicode() >= u'0' && t[i].unicode() <= u'9';
}
}   // namespace

bool ReadInt(QStringView text, qsizetype &pos, std::int64_t &value)
{
    qsizetype i = pos;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (!isDigit(text, i))
        return false;
    // Accumulate the magnitude in unsigned 64 bits and saturate.
    constexpr std::uint64_t limit = std::uint64_t(INT64_MAX) + 1;
    std::uint64_t magnitude = 0;
    while (isDigit(text, i)) {
        const unsigned d = text[i].unicode() - u'0';
        if (magnitude <= (limit - d) / 10)
            magnitude = magnitude * 10 + d;
        else
            magnitude = limit;
        ++i;
    }
    if (negative)
        value = magnitude >= limit ? INT64_MIN : -std::int64_t(magnitude);
    else
        value = magnitude >= limit ? INT64_MAX : std::int64_t(magnitude);
    pos = i;
    return true;
}

bool ReadFloat(QStringView text, qsizetype &pos, float &value)
{
    qsizetype i = pos;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    std::string buf;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            buf += '-';
        ++i;
    }
    auto matchWord = [&](QStringView word) { return text.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0; };
    if (matchWord(u"inf") || matchWord(u"nan")) {
        const bool nan = matchWord(u"nan");
        i += matchWord(u"infinity") ? 8 : 3;
        value = nan ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
        if (!buf.empty())
            value = -value;
        pos = i;
        return true;
    }
    bool digits = false;
    while (isDigit(text, i)) {
        buf += char(text[i].unicode());
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == u'.') {
        buf += '.';
        ++i;
        while (isDigit(text, i)) {
            buf += char(text[i].unicode());
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exp = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            exp += char(text[j++].unicode());
        if (isDigit(text, j)) {
            while (isDigit(text, j)) {
                exp += char(text[j].unicode());
                ++j;
            }
            buf += exp;
            i = j;
        }
    }
    float v = 0;
    const auto r = std::from_chars(buf.data(), buf.data() + buf.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Like strtof: overflow gives infinity, underflow zero (with sign).
        double d = 0;
        std::from_chars(buf.data(), buf.data() + buf.size(), d);
        const bool neg = buf[0] == '-';
        const float mag = (d > -1.0 && d < 1.0) ? 0.0f : std::numeric_limits<float>::infinity();
        v = neg ? -mag : mag;
    } else if (r.ec != std::errc()) {
        return false;
    }
    value = v;
    pos = i;
    return true;
}

}   // namespace Scan
