#pragma once
// The figures of a cover assessment as the window lists them: a label and
// its value, in millimetres or, for a set of inch objects only, in inches.

#include "data/coverassessment.h"

#include <QString>

#include <vector>

struct SFigureRow
{
    QString label;
    QString value;
};

std::vector<SFigureRow> AssessmentFigureRows(const SCoverAssessment &assessment, const SAssessmentSettings &settings,
                                             bool inch);
