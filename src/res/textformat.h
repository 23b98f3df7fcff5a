#pragma once
// printf-style formatting into QString for the program's format texts
// ("%03d", "%0.*f %s", "%I64d.%I64d", ...).
//
// The format usually comes from a string resource, and a language library may
// supply it, so arguments are typed and checked instead of passed through C
// varargs: a conversion that does not match its argument, or a missing
// argument, prints nothing for that conversion rather than reading garbage,
// and is told to Res::InvalidParameter (two lines on stderr).
// Numbers always use "." as decimal point, whatever the process locale.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <initializer_list>
#include <variant>

namespace Res {

class FormatArg
{
public:
    using Value = std::variant<std::int64_t, std::uint64_t, double, QString>;

    FormatArg(int v) : m_value(std::int64_t(v)) {}
    FormatArg(long v) : m_value(std::int64_t(v)) {}
    FormatArg(long long v) : m_value(std::int64_t(v)) {}
    FormatArg(unsigned v) : m_value(std::uint64_t(v)) {}
    FormatArg(unsigned long v) : m_value(std::uint64_t(v)) {}
    FormatArg(unsigned long long v) : m_value(std::uint64_t(v)) {}
    FormatArg(double v) : m_value(v) {}
    FormatArg(const QString &v) : m_value(v) {}
    FormatArg(QStringView v) : m_value(v.toString()) {}
    FormatArg(const char16_t *v) : m_value(QString::fromUtf16(v)) {}

    const Value &value() const { return m_value; }

private:
    Value m_value;
};

// Formats `format` with `args`. Supported: flags "-+ #0", width and precision
// (numbers or "*"), length modifiers h l ll I64 (ignored: the argument's own
// type counts), conversions d i u x X o c s S f F e E g G and "%%".
QString Format(QStringView format, std::initializer_list<FormatArg> args);

}   // namespace Res
