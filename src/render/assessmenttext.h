#pragma once
// How the cover assessment's figures read wherever they are shown (the
// window's page, the inspection report): lengths in millimetres or inches,
// shares in per cent, the verdict's colour.

#include "data/coverassessment.h"

#include <QColor>
#include <QString>

#include <optional>

namespace Render {

// "5 %", "2.5 %": a share or quantile with as few decimals as it needs.
QString PercentText(double share);

// Lengths in millimetres or, for ASTM inch objects, in inches. Figures
// derived from covers carry one decimal more than a measured cover: a mean of
// whole millimetres is not a whole millimetre.
class CCoverLength
{
public:
    explicit CCoverLength(bool inch);

    // "–" without a value.
    QString operator()(const std::optional<double> &mm, bool measured = false) const;
    // The required cover as the user typed it (up to one decimal), or "none".
    QString Limit(const std::optional<double> &mm) const;

private:
    bool m_inch;
    QString m_unit;
};

// "met" green, "not met" in the warning colour, the others in the text colour.
QColor VerdictColour(NVerdict verdict);

}   // namespace Render
