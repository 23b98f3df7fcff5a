#include "render/assessmenttext.h"

#include "data/units.h"
#include "render/tablecells.h"
#include "res/resources.h"

#include <cmath>

namespace Render {

QString PercentText(double share)
{
    return QString::number(share * 100.0, 'g', 3) + QStringLiteral(" %");
}

CCoverLength::CCoverLength(bool inch) : m_inch(inch), m_unit(GetUnitText(inch ? Regional_AstmInch : Regional_Metric)) {}

QString CCoverLength::operator()(const std::optional<double> &mm, bool measured) const
{
    if (!mm)
        return QStringLiteral("–");
    const int decimals = (m_inch ? 2 : 0) + (measured ? 0 : 1);
    return Res::Format(u"%0.*f %s", {decimals, m_inch ? *mm / kMmPerInch : *mm, m_unit});
}

QString CCoverLength::Limit(const std::optional<double> &mm) const
{
    if (!mm)
        return Res::LoadString(Res::IDS_SETTINGS_NO_LIMIT);
    if (m_inch)
        return Res::Format(u"%0.*f %s", {3, *mm / kMmPerInch, m_unit});
    return Res::Format(u"%0.*f %s", {std::floor(*mm) == *mm ? 0 : 1, *mm, m_unit});
}

QColor VerdictColour(NVerdict verdict)
{
    switch (verdict) {
    case NVerdict::Met: return {0, 118, 54};   // about 6:1 on white, 5:1 on the window's grey
    case NVerdict::NotMet: return kWarningColour;
    default: return kTextColour;
    }
}

}   // namespace Render
