#include "cli/jsonwriter.h"

#include <charconv>
#include <cmath>

namespace Cli {

QString JsonWriter::Quote(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'"': out += u"\\\""; break;
        case u'\\': out += u"\\\\"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u'\t': out += u"\\t"; break;
        case u'\b': out += u"\\b"; break;
        case u'\f': out += u"\\f"; break;
        default:
            // Control characters and lone halves of surrogate pairs as escapes,
            // so that every UTF-16 code unit survives the UTF-8 output.
            if (u < 0x20 || c.isSurrogate())
                out += QString::asprintf("\\u%04x", unsigned(u));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

void JsonWriter::newline()
{
    m_out << u'\n' << QString(qsizetype(m_levels.size()) * 2, u' ');
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    Level &l = m_levels.back();
    if (!l.empty)
        m_out << (l.compact ? QStringView(u", ") : QStringView(u","));
    l.empty = false;
    if (!l.compact)
        newline();
}

void JsonWriter::beginObject(bool compact)
{
    beforeValue();
    m_out << u'{';
    m_levels.push_back({true, compact || (!m_levels.empty() && m_levels.back().compact)});
}

void JsonWriter::beginArray(bool compact)
{
    beforeValue();
    m_out << u'[';
    m_levels.push_back({true, compact || (!m_levels.empty() && m_levels.back().compact)});
}

void JsonWriter::endObject()
{
    const Level l = m_levels.back();
    m_levels.pop_back();
    if (!l.empty && !l.compact)
        newline();
    m_out << u'}';
    if (m_levels.empty())
        m_out << u'\n';
}

void JsonWriter::endArray()
{
    const Level l = m_levels.back();
    m_levels.pop_back();
    if (!l.empty && !l.compact)
        newline();
    m_out << u']';
    if (m_levels.empty())
        m_out << u'\n';
}

void JsonWriter::key(QStringView name)
{
    beforeValue();
    m_out << Quote(name) << QStringView(u": ");
    m_afterKey = true;
}

void JsonWriter::value(QStringView text)
{
    beforeValue();
    m_out << Quote(text);
}

void JsonWriter::value(std::int64_t number)
{
    beforeValue();
    m_out << number;
}

void JsonWriter::value(std::uint64_t number)
{
    beforeValue();
    m_out << qulonglong(number);
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    m_out << (flag ? "true" : "false");
}

void JsonWriter::null()
{
    beforeValue();
    m_out << "null";
}

void JsonWriter::value(double number)
{
    beforeValue();
    if (!std::isfinite(number)) {
        m_out << "null";
        return;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, number);
    m_out << QLatin1String(buf, r.ptr - buf);
}

}   // namespace Cli
