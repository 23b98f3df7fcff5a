#include "views/assessmentfigures.h"

#include "data/units.h"
#include "render/tablecells.h"
#include "res/resources.h"

namespace {

// A share or quantile in per cent with as few decimals as it needs (5 %, 2.5 %).
QString percent(double share)
{
    return QString::number(share * 100.0, 'g', 3) + QStringLiteral(" %");
}

class CLengthText
{
public:
    explicit CLengthText(bool inch) : m_inch(inch), m_unit(GetUnitText(inch ? Regional_AstmInch : Regional_Metric)) {}

    // Figures carry one decimal more than the instrument's covers: a mean of
    // whole millimetres is not a whole millimetre.
    QString operator()(const std::optional<double> &mm, bool measured = false) const
    {
        if (!mm)
            return QStringLiteral("–");
        const double value = m_inch ? *mm / kMmPerInch : *mm;
        const int decimals = (m_inch ? 2 : 0) + (measured ? 0 : 1);
        return Res::Format(u"%0.*f %s", {decimals, value, m_unit});
    }

private:
    bool m_inch;
    QString m_unit;
};

} // namespace

QString QuantileText(double quantile)
{
    return percent(quantile);
}

std::vector<SFigureRow> AssessmentFigureRows(const SCoverAssessment &a, const SAssessmentSettings &settings, bool inch)
{
    const CLengthText length(inch);
    using Res::LoadString;
    std::vector<SFigureRow> rows{
        {LoadString(Res::IDS_ASSESS_COUNT), QString::number(a.count)},
        {LoadString(Res::IDS_ASSESS_MEAN), length(a.mean)},
        {LoadString(Res::IDS_ASSESS_SD), length(a.sd)},
        {LoadString(Res::IDS_ASSESS_MIN), length(a.min, true)},
        {LoadString(Res::IDS_ASSESS_MAX), length(a.max, true)},
        {LoadString(Res::IDS_ASSESS_REQUIRED),
         settings.requiredCover ? length(settings.requiredCover, true) : LoadString(Res::IDS_SETTINGS_NO_LIMIT)},
    };
    if (settings.requiredCover)
        rows.push_back({LoadString(Res::IDS_ASSESS_BELOW),
                        a.belowShare ? Res::FormatString(Res::IDS_ASSESS_BELOW_VALUE,
                                                         {a.belowCount, a.count, percent(*a.belowShare)})
                                     : QStringLiteral("–")});
    rows.push_back({Res::FormatString(Res::IDS_ASSESS_CHAR_NORMAL, {QuantileText(settings.quantile)}),
                    length(a.characteristicNormal)});
    rows.push_back({LoadString(Res::IDS_ASSESS_CHAR_LOGNORMAL), length(a.characteristicLogNormal)});
    rows.push_back({LoadString(Res::IDS_ASSESS_VERDICT), VerdictText(a.verdict)});
    return rows;
}

QColor VerdictColour(NVerdict verdict)
{
    switch (verdict) {
    case NVerdict::Met: return {0, 118, 54};   // about 5.5:1 on the page's light grey
    case NVerdict::NotMet: return Render::kWarningColour;
    default: return Render::kTextColour;
    }
}
