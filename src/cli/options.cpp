#include "cli/options.h"

namespace Cli {

bool Options::parse(const QStringList &args, const std::vector<OptionDef> &defs, QString &bad)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (optionsEnded || a == u"-" || !a.startsWith(u'-')) {
            m_positional.append(a);
            continue;
        }
        if (a == u"--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype eq = a.startsWith(u"--") ? a.indexOf(u'=') : -1;
        const QString key = eq > 0 ? a.left(eq) : a;
        const OptionDef *def = nullptr;
        for (const OptionDef &s : defs)
            if (key == QStringView(s.name) || (s.alias && key == QStringView(s.alias)))
                def = &s;
        if (!def) {
            bad = a;
            return false;
        }
        const QString canonical = QString::fromUtf16(def->name);
        if (def->value == OptionDef::NoValue) {
            if (eq > 0) {
                bad = a;
                return false;
            }
            m_flags.insert(canonical);
            continue;
        }
        if (def->value == OptionDef::OptionalValue) {
            if (eq > 0)
                m_values.insert(canonical, a.mid(eq + 1));
            m_flags.insert(canonical);
            continue;
        }
        if (eq > 0) {
            m_values.insert(canonical, a.mid(eq + 1));
        } else if (i + 1 < args.size()) {
            m_values.insert(canonical, args[++i]);
        } else {
            bad = a;
            return false;
        }
        m_flags.insert(canonical);
    }
    return true;
}

}   // namespace Cli
