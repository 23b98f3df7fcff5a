#pragma once
// A streaming JSON writer: a large listing goes out as it is made instead of
// as one document in memory, and every integer is written exactly — QJsonValue
// holds a 64-bit signed integer exactly but an unsigned one above 2^63 only as
// a double.

#include <QString>
#include <QTextStream>

#include <cstdint>
#include <vector>

namespace Cli {

class JsonWriter
{
public:
    explicit JsonWriter(QTextStream &out) : m_out(out) {}

    // A compact container keeps its elements (and theirs) on one line.
    void beginObject(bool compact = false);
    void endObject();
    void beginArray(bool compact = false);
    void endArray();
    void key(QStringView name);

    void value(QStringView text);
    void value(std::int64_t number);
    void value(std::uint64_t number);
    void value(int number) { value(std::int64_t(number)); }
    void value(unsigned number) { value(std::uint64_t(number)); }
    void value(double number);
    void value(bool flag);
    void null();
    // A key and its value, the usual pair of an object.
    template <typename T>
    void field(QStringView name, const T &v)
    {
        key(name);
        value(v);
    }

    static QString Quote(QStringView text);

private:
    void beforeValue();
    void newline();

    QTextStream &m_out;
    struct Level
    {
        bool empty;
        bool compact;
    };
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

}   // namespace Cli
