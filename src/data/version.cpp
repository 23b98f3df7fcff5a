#include "data/version.h"

#include "data/scan.h"
#include "res/textformat.h"

#include <QVarLengthArray>

#include <array>

CVersion CVersion::Parse(QStringView text)
{
    // Blanks do not count and commas are points; read "%I64d.%I64d.%I64d.%I64d"
    // and stop at the first part that does not read.
    std::array<std::int64_t, 4> parts{};
    int count = 0;
    QVarLengthArray<QChar, 64> clean;   // version texts are short: no allocation
    for (QChar c : text)
        if (c != u' ')
            clean.append(c == u',' ? QChar(u'.') : c);
    const QStringView view(clean.constData(), clean.size());
    qsizetype pos = 0;
    while (count < 4) {
        if (count > 0) {
            if (pos >= view.size() || view[pos] != u'.')
                break;
            ++pos;
        }
        if (!Scan::ReadInt(view, pos, parts[count]))
            break;
        ++count;
    }

    auto inRange = [&](std::int64_t max) {
        for (int i = 0; i < count; ++i)
            if (parts[i] < 0 || parts[i] > max)
                return false;
        return true;
    };
    switch (count) {
    case 1: return view.size() <= 19 ? CVersion(std::uint64_t(parts[0])) : CVersion();
    case 2:
        if (!inRange(0xFFFFFFFFLL))
            return {};
        return CVersion((std::uint64_t(parts[0]) << 32) | std::uint64_t(parts[1]));
    case 3:
    case 4:
        if (!inRange(0xFFFF))
            return {};
        return CVersion((std::uint64_t(parts[0]) << 48) | (std::uint64_t(parts[1]) << 32)
                        | (std::uint64_t(parts[2]) << 16) | std::uint64_t(parts[3]));
    default: return {};
    }
}

CVersion CVersion::FromInstallerName(QStringView name)
{
    if (name.size() <= 5 || !name.endsWith(u".exe", Qt::CaseSensitive))
        return {};
    const qsizetype marker = name.indexOf(u"_V_");
    if (marker < 0)
        return {};
    const qsizetype start = marker + 3;
    const qsizetype dot = name.indexOf(u'.');
    if (dot < start)   // a point before the marker leaves no version text
        return {};
    QString text = name.mid(start, dot - start).toString();
    text.replace(u'_', u'.');
    // A single negative number would read as a huge version and win every
    // update check; no installer of ours is numbered below zero.
    if (QString(text).remove(u' ').startsWith(u'-'))
        return {};
    return Parse(text);
}

QString CVersion::toString(Style style) const
{
    switch (style) {
    case Style::Whole: return Res::Format(u"%I64d", {m_value});
    case Style::TwoParts: return Res::Format(u"%I64d.%I64d", {m_value >> 32, m_value & 0xFFFFFFFFu});
    case Style::ThreeParts:
        return Res::Format(u"%I64d.%I64d.%I64d", {unsigned(part(0)), unsigned(part(1)), unsigned(part(2))});
    case Style::FourParts:
        return Res::Format(u"%I64d.%I64d.%I64d.%I64d",
                           {unsigned(part(0)), unsigned(part(1)), unsigned(part(2)), unsigned(part(3))});
    }
    return {};
}
