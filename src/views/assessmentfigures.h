#pragma once
// The figures of a cover assessment as the window lists them: a label and
// its value, in millimetres or, for a set of inch objects only, in inches.

#include "data/coverassessment.h"

#include <QColor>
#include <QString>

#include <vector>

struct SFigureRow
{
    QString label;
    QString value;
};

std::vector<SFigureRow> AssessmentFigureRows(const SCoverAssessment &assessment, const SAssessmentSettings &settings,
                                             bool inch);

// "met" green, "not met" in the warning colour, the others in the text colour.
QColor VerdictColour(NVerdict verdict);

// "5 %" for 0.05: the quantile as the user reads it.
QString QuantileText(double quantile);
