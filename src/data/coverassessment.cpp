#include "data/coverassessment.h"

#include "res/resources.h"

#include <cmath>

double NormalQuantile(double p)
{
    // A rational approximation of the inverse normal distribution (relative
    // error below 1.2e-9), refined by one Halley step on erfc.
    if (!(p > 0.0 && p < 1.0))
        return std::nan("");
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                               1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                               6.680131188771972e+01, -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                               -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    constexpr double low = 0.02425;
    double x;
    if (p < low) {
        const double q = std::sqrt(-2 * std::log(p));
        x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5])
            / ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    } else if (p <= 1 - low) {
        const double q = p - 0.5;
        const double r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q
            / (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    } else {
        const double q = std::sqrt(-2 * std::log(1 - p));
        x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5])
            / ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    }
    const double e = 0.5 * std::erfc(-x / std::sqrt(2.0)) - p;
    const double u = e * std::sqrt(2 * M_PI) * std::exp(x * x / 2);
    return x - u / (1 + x * u / 2);
}

namespace {

struct SMoments
{
    double mean = 0;
    std::optional<double> sd;
};

SMoments moments(const std::vector<double> &values)
{
    SMoments m;
    if (values.empty())
        return m;
    double sum = 0;
    for (double v : values)
        sum += v;
    m.mean = sum / double(values.size());
    if (values.size() >= 2) {
        double squares = 0;
        for (double v : values)
            squares += (v - m.mean) * (v - m.mean);
        m.sd = std::sqrt(squares / double(values.size() - 1));
    }
    return m;
}

}   // namespace

SCoverAssessment AssessCovers(const std::vector<double> &covers, const SAssessmentSettings &settings)
{
    SCoverAssessment a;
    a.count = int(covers.size());
    if (!covers.empty()) {
        const SMoments m = moments(covers);
        a.mean = m.mean;
        a.sd = m.sd;
        a.min = covers.front();
        a.max = covers.front();
        bool positive = true;
        for (double v : covers) {
            a.min = std::min(*a.min, v);
            a.max = std::max(*a.max, v);
            positive = positive && v > 0;
            if (settings.requiredCover && v < *settings.requiredCover)
                ++a.belowCount;
        }
        if (settings.requiredCover)
            a.belowShare = double(a.belowCount) / double(a.count);
        const double z = NormalQuantile(1 - settings.quantile);
        if (m.sd && std::isfinite(z)) {
            a.characteristicNormal = m.mean - z * *m.sd;
            if (positive) {
                std::vector<double> logs;
                logs.reserve(covers.size());
                for (double v : covers)
                    logs.push_back(std::log(v));
                const SMoments l = moments(logs);
                a.characteristicLogNormal = std::exp(l.mean - z * *l.sd);
            }
        }
    }
    if (!settings.requiredCover)
        a.verdict = NVerdict::NoLimit;
    else if (a.count < kAssessmentMinimumCount || !a.characteristicNormal)
        a.verdict = NVerdict::TooFew;
    else
        a.verdict = *a.characteristicNormal >= *settings.requiredCover ? NVerdict::Met : NVerdict::NotMet;
    return a;
}

template <class Meas>
void AppendValidCovers(const ObjectFields<Meas> &object, std::vector<double> &into)
{
    for (const Meas &m : object.measurements)
        if (m.cover != kNoCover)
            into.push_back(double(m.cover));
}

template void AppendValidCovers(const ObjectFields<TMeas> &, std::vector<double> &);
template void AppendValidCovers(const ObjectFields<MEAS_T> &, std::vector<double> &);

template <class Meas>
bool HasCoverBelow(const ObjectFields<Meas> &object, double requiredMm)
{
    for (const Meas &m : object.measurements)
        if (m.cover != kNoCover && double(m.cover) < requiredMm)
            return true;
    return false;
}

template bool HasCoverBelow(const ObjectFields<TMeas> &, double);
template bool HasCoverBelow(const ObjectFields<MEAS_T> &, double);

const char *VerdictKey(NVerdict verdict)
{
    switch (verdict) {
    case NVerdict::Met: return "met";
    case NVerdict::NotMet: return "not met";
    case NVerdict::TooFew: return "too few";
    case NVerdict::NoLimit: return "no limit";
    }
    return "no limit";
}

QString VerdictText(NVerdict verdict)
{
    switch (verdict) {
    case NVerdict::Met: return Res::LoadString(Res::IDS_VERDICT_MET);
    case NVerdict::NotMet: return Res::LoadString(Res::IDS_VERDICT_NOT_MET);
    case NVerdict::TooFew: return Res::LoadString(Res::IDS_VERDICT_TOO_FEW);
    case NVerdict::NoLimit: return Res::LoadString(Res::IDS_VERDICT_NO_LIMIT);
    }
    return Res::LoadString(Res::IDS_VERDICT_NO_LIMIT);
}
