#pragma once
// A small argument parser: flags, options with a value ("-o OUT" or
// "--output=OUT"), positional arguments; "--" ends the options.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace Cli {

struct OptionDef
{
    enum NValue { NoValue, Value, OptionalValue };   // an optional value only as --name=VALUE

    const char16_t *name;    // "--json", "-o"
    const char16_t *alias;   // other spelling or nullptr
    NValue value;
};

class Options
{
public:
    // False when an argument is unknown or a value is missing; `bad` names it.
    bool parse(const QStringList &args, const std::vector<OptionDef> &defs, QString &bad);

    bool has(QStringView name) const { return m_flags.contains(name.toString()); }
    QString value(QStringView name) const { return m_values.value(name.toString()); }
    const QStringList &positional() const { return m_positional; }

private:
    QSet<QString> m_flags;
    QHash<QString, QString> m_values;
    QStringList m_positional;
};

}   // namespace Cli
