#include "views/assessmentfigures.h"

#include "render/assessmenttext.h"
#include "res/resources.h"

std::vector<SFigureRow> AssessmentFigureRows(const SCoverAssessment &a, const SAssessmentSettings &settings, bool inch)
{
    const Render::CCoverLength length(inch);
    using Res::LoadString;
    std::vector<SFigureRow> rows{
        {LoadString(Res::IDS_ASSESS_COUNT), QString::number(a.count)},
        {LoadString(Res::IDS_ASSESS_MEAN), length(a.mean)},
        {LoadString(Res::IDS_ASSESS_SD), length(a.sd)},
        {LoadString(Res::IDS_ASSESS_MIN), length(a.min, true)},
        {LoadString(Res::IDS_ASSESS_MAX), length(a.max, true)},
        {LoadString(Res::IDS_ASSESS_REQUIRED), length.Limit(settings.requiredCover)},
    };
    if (settings.requiredCover)
        rows.push_back({LoadString(Res::IDS_ASSESS_BELOW),
                        a.belowShare ? Res::FormatString(Res::IDS_ASSESS_BELOW_VALUE,
                                                         {a.belowCount, a.count, Render::PercentText(*a.belowShare)})
                                     : QStringLiteral("–")});
    rows.push_back({Res::FormatString(Res::IDS_ASSESS_CHAR_NORMAL, {Render::PercentText(settings.quantile)}),
                    length(a.characteristicNormal)});
    rows.push_back({LoadString(Res::IDS_ASSESS_CHAR_LOGNORMAL), length(a.characteristicLogNormal)});
    rows.push_back({LoadString(Res::IDS_ASSESS_VERDICT), VerdictText(a.verdict)});
    return rows;
}
