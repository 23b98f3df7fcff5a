#pragma once
// The assessment of measured covers against a required minimum cover: the
// figures of a set of valid covers in millimetres (one object, a selection
// or all), the characteristic value at a quantile from a normal and a
// log-normal distribution fitted to them, and the verdict. The object
// statistics beside it stay as they are (whole millimetres, n).

#include "data/measurement.h"

#include <QString>

#include <optional>
#include <vector>

struct SAssessmentSettings
{
    std::optional<double> requiredCover;   // mm; none: no limit
    double quantile = 0.05;                // the share allowed below the characteristic value
};

enum class NVerdict { Met, NotMet, TooFew, NoLimit };

struct SCoverAssessment
{
    int count = 0;
    std::optional<double> mean;
    std::optional<double> sd;   // sample standard deviation (n − 1)
    std::optional<double> min;
    std::optional<double> max;
    int belowCount = 0;   // below the required cover
    std::optional<double> belowShare;
    std::optional<double> characteristicNormal;
    std::optional<double> characteristicLogNormal;   // none when a cover is 0 mm
    NVerdict verdict = NVerdict::NoLimit;
};

// Fewer values than this say too little for a verdict (the figures still count).
inline constexpr int kAssessmentMinimumCount = 20;

// The standard normal quantile: z with Φ(z) = p, for 0 < p < 1.
double NormalQuantile(double p);

SCoverAssessment AssessCovers(const std::vector<double> &coversMm, const SAssessmentSettings &settings);

// The valid covers of an object in millimetres, whatever its regional setting, appended to `into`.
template <class Meas>
void AppendValidCovers(const ObjectFields<Meas> &object, std::vector<double> &into);
// Whether a valid cover of the object lies below `requiredMm`.
template <class Meas>
bool HasCoverBelow(const ObjectFields<Meas> &object, double requiredMm);

// "met", "not met", "too few", "no limit": the words of files and the tool.
const char *VerdictKey(NVerdict verdict);

// The verdict in the user's language, for windows and reports.
QString VerdictText(NVerdict verdict);
