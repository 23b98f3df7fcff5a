#include "res/textformat.h"

#include "res/invalidparam.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace Res {
namespace {

struct Conversion
{
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = 0;
    int precision = -1;
    bool wide64 = false;   // ll or I64: unsigned conversions of negatives use 64 bits
    char16_t conv = 0;
};

class ArgCursor
{
public:
    ArgCursor(const FormatArg *begin, const FormatArg *end) : m_it(begin), m_end(end) {}
    const FormatArg *next() { return m_it == m_end ? nullptr : m_it++; }

private:
    const FormatArg *m_it;
    const FormatArg *m_end;
};

bool asInt64(const FormatArg *a, std::int64_t &out)
{
    if (!a)
        return false;
    const auto &v = a->value();
    if (auto p = std::get_if<std::int64_t>(&v)) {
        out = *p;
        return true;
    }
    if (auto p = std::get_if<std::uint64_t>(&v)) {
        out = std::int64_t(*p);
        return true;
    }
    if (auto p = std::get_if<double>(&v)) {
        if (!std::isfinite(*p))
            return false;
        out = *p >= 9.2e18 ? INT64_MAX : *p <= -9.2e18 ? INT64_MIN : std::int64_t(*p);
        return true;
    }
    return false;
}

bool asDouble(const FormatArg *a, double &out)
{
    if (!a)
        return false;
    const auto &v = a->value();
    if (auto p = std::get_if<double>(&v)) {
        out = *p;
        return true;
    }
    if (auto p = std::get_if<std::int64_t>(&v)) {
        out = double(*p);
        return true;
    }
    if (auto p = std::get_if<std::uint64_t>(&v)) {
        out = double(*p);
        return true;
    }
    return false;
}

QString pad(QString body, const Conversion &s, bool numeric)
{
    const int fill = s.width - int(body.size());
    if (fill <= 0)
        return body;
    if (s.left)
        return body + QString(fill, u' ');
    if (s.zero && numeric) {
        // Zeros go after any sign or 0x prefix.
        qsizetype at = 0;
        if (!body.isEmpty() && (body[0] == u'-' || body[0] == u'+' || body[0] == u' '))
            at = 1;
        if (body.mid(at, 2).compare(u"0x", Qt::CaseInsensitive) == 0)
            at += 2;
        body.insert(at, QString(fill, u'0'));
        return body;
    }
    return QString(fill, u' ') + body;
}

// The formatters give nothing when the argument is missing or does not fit.
std::optional<QString> formatInteger(const Conversion &s, const FormatArg *arg)
{
    std::int64_t v = 0;
    if (!asInt64(arg, v))
        return std::nullopt;
    const bool isUnsignedArg = arg && std::holds_alternative<std::uint64_t>(arg->value());
    std::string digits;
    char sign = 0;
    char buf[32];
    if (s.conv == u'd' || s.conv == u'i') {
        std::uint64_t mag;
        if (isUnsignedArg) {
            mag = std::get<std::uint64_t>(arg->value());
        } else if (v < 0) {
            sign = '-';
            mag = std::uint64_t(0) - std::uint64_t(v);
        } else {
            mag = std::uint64_t(v);
        }
        if (!sign && s.plus)
            sign = '+';
        else if (!sign && s.space)
            sign = ' ';
        auto r = std::to_chars(buf, buf + sizeof buf, mag);
        digits.assign(buf, r.ptr);
    } else {
        std::uint64_t u = isUnsignedArg ? std::get<std::uint64_t>(arg->value()) : std::uint64_t(v);
        if (!isUnsignedArg && v < 0 && !s.wide64)
            u &= 0xFFFFFFFFu;
        const int base = (s.conv == u'x' || s.conv == u'X') ? 16 : s.conv == u'o' ? 8 : 10;
        auto r = std::to_chars(buf, buf + sizeof buf, u, base);
        digits.assign(buf, r.ptr);
        if (s.conv == u'X')
            for (char &c : digits)
                c = char(std::toupper(static_cast<unsigned char>(c)));
        if (s.alt && u != 0 && base == 16)
            digits.insert(0, s.conv == u'X' ? "0X" : "0x");
        else if (s.alt && base == 8)
            digits.insert(0, "0");
    }
    if (s.precision >= 0) {
        if (s.precision == 0 && digits == "0")
            digits.clear();
        while (int(digits.size()) < s.precision)
            digits.insert(digits.begin(), '0');
    }
    if (sign)
        digits.insert(digits.begin(), sign);
    Conversion padded = s;
    if (s.precision >= 0)
        padded.zero = false;
    return pad(QString::fromLatin1(digits.data(), qsizetype(digits.size())), padded, true);
}

std::optional<QString> formatFloat(const Conversion &s, const FormatArg *arg)
{
    double v = 0;
    if (!asDouble(arg, v))
        return std::nullopt;
    const char16_t c = s.conv;
    const bool upper = c == u'F' || c == u'E' || c == u'G';
    std::string out;
    if (!std::isfinite(v)) {
        out = std::isnan(v) ? "nan" : "inf";
    } else {
        std::chars_format fmt = std::chars_format::fixed;
        if (c == u'e' || c == u'E')
            fmt = std::chars_format::scientific;
        if (c == u'g' || c == u'G')
            fmt = std::chars_format::general;
        const int prec = s.precision < 0 ? 6 : s.precision;
        std::string buf(std::size_t(400 + prec), '\0');
        auto r = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(v), fmt,
                               (fmt == std::chars_format::general && prec == 0) ? 1 : prec);
        out.assign(buf.data(), r.ptr);
        if (fmt == std::chars_format::scientific || fmt == std::chars_format::general) {
            // printf writes at least two exponent digits ("1e+05").
            auto e = out.find('e');
            if (e != std::string::npos && out.size() - e == 3)
                out.insert(e + 2, "0");
        }
        if (s.alt && prec == 0 && out.find('.') == std::string::npos && fmt == std::chars_format::fixed)
            out += '.';
    }
    if (upper)
        for (char &ch : out)
            ch = char(std::toupper(static_cast<unsigned char>(ch)));
    if (std::signbit(v))
        out.insert(out.begin(), '-');
    else if (s.plus)
        out.insert(out.begin(), '+');
    else if (s.space)
        out.insert(out.begin(), ' ');
    return pad(QString::fromLatin1(out.data(), qsizetype(out.size())), s, std::isfinite(v));
}

std::optional<QString> formatText(const Conversion &s, const FormatArg *arg)
{
    if (!arg)
        return std::nullopt;
    QString text;
    if (auto p = std::get_if<QString>(&arg->value())) {
        text = *p;
    } else {
        Conversion asNumber = s;
        asNumber.conv = std::holds_alternative<double>(arg->value()) ? u'g' : u'd';
        asNumber.width = 0;
        const std::optional<QString> number = asNumber.conv == u'g' ? formatFloat(asNumber, arg)
                                                                    : formatInteger(asNumber, arg);
        if (!number)
            return std::nullopt;
        text = *number;
    }
    if (s.precision >= 0 && text.size() > s.precision)
        text.truncate(s.precision);
    return pad(text, s, false);
}

std::optional<QString> formatChar(const Conversion &s, const FormatArg *arg)
{
    std::int64_t v = 0;
    if (!asInt64(arg, v))
        return std::nullopt;
    return pad(QString(QChar(char16_t(v & 0xFFFF))), s, false);
}

// What is wrong with the argument a conversion could not use.
QString whatIsWrong(const FormatArg *arg)
{
    if (!arg)
        return QStringLiteral("no argument");
    if (std::holds_alternative<QString>(arg->value()))
        return QStringLiteral("the argument is text");
    return QStringLiteral("the argument is not a finite number");
}

void reportArgument(QStringView conversion, QStringView part, const FormatArg *arg)
{
    InvalidParameter("Res::Format", __FILE__, __LINE__,
                     conversion.toString() + QStringLiteral(": ") + part.toString() + whatIsWrong(arg));
}

}   // namespace

QString Format(QStringView format, std::initializer_list<FormatArg> args)
{
    ArgCursor cursor(args.begin(), args.end());
    QString out;
    out.reserve(format.size() + 16);
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar ch = format[i];
        if (ch != u'%') {
            out += ch;
            ++i;
            continue;
        }
        const qsizetype start = i++;
        Conversion s;
        // A "*" whose argument is missing or not a number; told once the
        // whole conversion is known.
        std::optional<std::pair<QStringView, const FormatArg *>> badStar;
        for (; i < n; ++i) {
            const char16_t f = format[i].unicode();
            if (f == u'-')
                s.left = true;
            else if (f == u'+')
                s.plus = true;
            else if (f == u' ')
                s.space = true;
            else if (f == u'#')
                s.alt = true;
            else if (f == u'0')
                s.zero = true;
            else
                break;
        }
        auto readNumber = [&](int &target, QStringView what) {
            if (i < n && format[i] == u'*') {
                std::int64_t v = 0;
                const FormatArg *arg = cursor.next();
                if (asInt64(arg, v))
                    target = int(std::clamp<std::int64_t>(v, -1000, 1000));
                else if (!badStar)
                    badStar.emplace(what, arg);
                ++i;
                return;
            }
            int v = 0;
            bool any = false;
            while (i < n && format[i].isDigit() && format[i].unicode() < 128) {
                v = std::min(v * 10 + (format[i].unicode() - u'0'), 1000);
                ++i;
                any = true;
            }
            if (any)
                target = v;
        };
        readNumber(s.width, u"width: ");
        if (s.width < 0) {
            s.left = true;
            s.width = -s.width;
        }
        if (i < n && format[i] == u'.') {
            ++i;
            s.precision = 0;
            readNumber(s.precision, u"precision: ");
        }
        // Length modifiers.
        while (i < n) {
            if (format.mid(i, 3) == u"I64") {
                s.wide64 = true;
                i += 3;
                continue;
            }
            if (format.mid(i, 2) == u"ll") {
                s.wide64 = true;
                i += 2;
                continue;
            }
            const char16_t m = format[i].unicode();
            if (m == u'h' || m == u'l' || m == u'L' || m == u'z' || m == u'j' || m == u't') {
                ++i;
                continue;
            }
            break;
        }
        if (i >= n) {
            out += format.mid(start);   // an incomplete conversion prints as it stands
            break;
        }
        s.conv = format[i++].unicode();
        const QStringView conversion = format.mid(start, i - start);
        if (badStar)
            reportArgument(conversion, badStar->first, badStar->second);
        const FormatArg *arg = nullptr;
        std::optional<QString> text;
        switch (s.conv) {
        case u'%': out += u'%'; continue;
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
        case u'o': text = formatInteger(s, arg = cursor.next()); break;
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G': text = formatFloat(s, arg = cursor.next()); break;
        case u's':
        case u'S': text = formatText(s, arg = cursor.next()); break;
        case u'c':
        case u'C': text = formatChar(s, arg = cursor.next()); break;
        default:
            out += conversion;   // unknown conversion: keep its text
            continue;
        }
        // Nothing is printed for it; the rest of the text still is.
        if (text)
            out += *text;
        else
            reportArgument(conversion, {}, arg);
    }
    return out;
}

}   // namespace Res
